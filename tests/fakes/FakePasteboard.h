#pragma once

#include "platform/Pasteboard.h"

// The in-memory pasteboard that also reads its text as a pasting
// application would.
class FakePasteboard : public MemoryPasteboard {
public:
    // Reads the text as a pasting application would (counted as a fetch).
    QString fetchString() {
        ++m_textFetches;
        return string();
    }
};
