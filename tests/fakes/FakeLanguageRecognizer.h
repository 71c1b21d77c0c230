#pragma once

#include "platform/LanguageRecognizer.h"

class FakeLanguageRecognizer : public LanguageRecognizer {
public:
    std::optional<QString> dominantLanguage(const QString&) const override {
        ++calls;
        return language;
    }
    std::optional<QString> language;
    mutable int calls = 0;
};
