#include "pipeline/TextExpansionPlaceholders.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/unistr.h>

namespace {

struct Placeholder {
    const char16_t* name;
    const char16_t* pattern;
    bool russian;  // else the current locale
};

constexpr Placeholder kPlaceholders[] = {
    {u"{DATE}", u"d MMMM yyyy", true},
    {u"{DATE_SHORT}", u"dd.MM.yyyy", true},
    {u"{DATE_ISO}", u"yyyy-MM-dd", false},
    {u"{TIME}", u"HH:mm", false},
    {u"{TIME_FULL}", u"HH:mm:ss", false},
    {u"{DATETIME}", u"d MMMM yyyy HH:mm", true},
    {u"{YEAR}", u"yyyy", false},
    {u"{MONTH}", u"MMMM", true},
    {u"{DAY}", u"d", false},
    {u"{WEEKDAY}", u"EEEE", true},
};

QString format(const char16_t* pattern, const icu::Locale& locale, UDate when) {
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat formatter(icu::UnicodeString(pattern), locale, status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString out;
    formatter.format(when, out);
    return QString(reinterpret_cast<const QChar*>(out.getBuffer()), out.length());
}

}  // namespace

QString TextExpansionPlaceholders::expand(const QString& text, const QDateTime& now,
                                          const QString& clipboardText,
                                          const QString& currentLocale) {
    if (!text.contains(QLatin1Char('{'))) return text;
    const UDate when = static_cast<UDate>(now.toMSecsSinceEpoch());
    const icu::Locale russian("ru_RU");
    const icu::Locale current = currentLocale.isEmpty()
                                    ? icu::Locale::getDefault()
                                    : icu::Locale(currentLocale.toUtf8().constData());
    QString result = text;
    for (const Placeholder& p : kPlaceholders) {
        const QString name = QString::fromUtf16(p.name);
        if (!result.contains(name)) continue;
        result.replace(name, format(p.pattern, p.russian ? russian : current, when));
    }
    result.replace(QStringLiteral("{CLIPBOARD}"), clipboardText);
    return result;
}
