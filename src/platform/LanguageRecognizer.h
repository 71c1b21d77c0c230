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

// Compact Language Detector 2 (offline tables in the library).
class Cld2LanguageRecognizer : public LanguageRecognizer {
public:
    std::optional<QString> dominantLanguage(const QString& text) const override;
};

class FakeLanguageRecognizer : public LanguageRecognizer {
public:
    std::optional<QString> dominantLanguage(const QString&) const override {
        ++calls;
        return language;
    }
    std::optional<QString> language;
    mutable int calls = 0;
};
