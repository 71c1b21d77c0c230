#include "platform/linux/Cld2LanguageRecognizer.h"

#include <cld2/public/compact_lang_det.h>

#include <algorithm>
#include <atomic>

#include "platform/LanguageRecognizer.h"
#include "platform/OnDemandLibrary.h"

namespace {
std::atomic<LanguageRecognizer*> g_shared{nullptr};

// libcld2 and its tables are opened on the first text to recognise, not at
// start. Its functions are C++ ones, looked up by their linker names.
OnDemandLibrary& cld2() {
    static OnDemandLibrary l(
        "libcld2.so.0",
        {"_ZN4CLD214DetectLanguageEPKcibPb", "_ZN4CLD212LanguageCodeENS_8LanguageE"}, "[Language]",
        "the language of texts is not recognised");
    return l;
}
using DetectLanguage = decltype(&CLD2::DetectLanguage);
using LanguageCode = decltype(&CLD2::LanguageCode);
}  // namespace

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
    if (!cld2().load()) return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    bool reliable = false;
    const CLD2::Language lang = cld2().function<DetectLanguage>(0)(
        utf8.constData(), int(utf8.size()), /*is_plain_text=*/true, &reliable);
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
    const char* code = cld2().function<LanguageCode>(1)(lang);
    if (!code || !*code) return std::nullopt;
    return QString::fromLatin1(code);
}
