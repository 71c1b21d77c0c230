#include "platform/LanguageRecognizer.h"
#include "platform/linux/Cld2LanguageRecognizer.h"

#include <cld2/public/compact_lang_det.h>

#include <algorithm>
#include <atomic>

namespace {
std::atomic<LanguageRecognizer*> g_shared{nullptr};
}

LanguageRecognizer& LanguageRecognizer::shared() {
    static Cld2LanguageRecognizer real;
    LanguageRecognizer* p = g_shared.load();
    return p ? *p : real;
}

void LanguageRecognizer::setShared(LanguageRecognizer* recognizer) {
    g_shared.store(recognizer);
}

std::optional<QString> Cld2LanguageRecognizer::dominantLanguage(const QString& text) const {
    // Without letters the library falls back to English; there is no
    // language to tell then.
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    bool reliable = false;
    const CLD2::Language lang =
        CLD2::DetectLanguage(utf8.constData(), int(utf8.size()), /*is_plain_text=*/true, &reliable);
    switch (lang) {
        case CLD2::UNKNOWN_LANGUAGE:
        case CLD2::TG_UNKNOWN_LANGUAGE:
            return std::nullopt;
        case CLD2::CHINESE:
            return QStringLiteral("zh-Hans");
        case CLD2::CHINESE_T:
            return QStringLiteral("zh-Hant");
        case CLD2::HEBREW:
            return QStringLiteral("he");  // the library still says "iw"
        default:
            break;
    }
    const char* code = CLD2::LanguageCode(lang);
    if (!code || !*code) return std::nullopt;
    return QString::fromLatin1(code);
}
