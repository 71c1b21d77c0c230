#pragma once

#include <functional>
#include <vector>

#include "platform/KeySynthesizer.h"

class FakeKeySynthesizer : public KeySynthesizer {
public:
    bool isAvailable() const override { return available; }
    // Reports held modifiers for the first `heldPolls` looks.
    bool modifiersHeld() const override { return polls++ < heldPolls; }
    bool postPaste(PasteChord chord) override {
        posted.push_back({chord, polls});
        if (onPaste) onPaste();
        return true;
    }
    struct Post {
        PasteChord chord;
        int pollsBefore;  // looks at the modifiers before the chord was posted
    };
    bool available = true;
    int heldPolls = 0;
    mutable int polls = 0;
    std::vector<Post> posted;
    std::function<void()> onPaste;
};
