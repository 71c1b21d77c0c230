#pragma once

#include "platform/LanguageRecognizer.h"

// Compact Language Detector 2 (offline tables in the library).
class Cld2LanguageRecognizer : public LanguageRecognizer {
public:
    std::optional<QString> dominantLanguage(const QString& text) const override;
};
