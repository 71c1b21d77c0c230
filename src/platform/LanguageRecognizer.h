#pragma once

#include <QString>
#include <optional>

// The dominant language of a text, as a BCP-47 style code ("ru", "en",
// "zh-Hans" for Chinese in simplified and "zh-Hant" in traditional script).
// Safe to use from any thread.
class LanguageRecognizer {
public:
    virtual ~LanguageRecognizer() = default;
    // Nothing when no language can be told.
    virtual std::optional<QString> dominantLanguage(const QString& text) const = 0;

    static LanguageRecognizer& shared();
    static void setShared(LanguageRecognizer* recognizer);
};
