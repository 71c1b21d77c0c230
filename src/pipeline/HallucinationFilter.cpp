#include "pipeline/HallucinationFilter.h"

#include <QRegularExpression>

namespace {

// The names the recogniser puts into the subtitle credits it invents.
const QString kNick1 = QStringLiteral("SubtitleFox");
const QString kNick2 = QStringLiteral("TitrMaster");
const QString kSite = QStringLiteral("SubCommunity.org");
const QString kEditor = QStringLiteral("А.Иванова");
const QString kEditor2 = QStringLiteral("Б.Петрова");
const QString kTranslator = QStringLiteral("Глеб Заглушкин");
const QString kSubtitler = QStringLiteral("Ева Образцова");

QStringList makeFullMatchPhrases() {
    return {
        "продолжение следует", "спасибо за просмотр", "спасибо за внимание",
        "подписывайтесь на канал", "ставьте лайки", "не забудьте подписаться", "до свидания",
        "до новых встреч", "всем пока", "благодарю за внимание", "конец",
        // Subtitle credits.
        "субтитры сделал " + kNick1, "субтитры создавал " + kNick1, "редактор субтитров " + kEditor,
        "субтитры добавил " + kNick1, "Субтитры сделаны сообществом " + kSite,
        "Субтитры подготовлены сообществом " + kSite, "Субтитры подготовил " + kNick1,
        "Субтитры делал " + kNick2, "Субтитры добавил " + kNick2, "Субтитры сделал " + kNick2,
        "Продолжение следует...", "Спасибо за подписку!",
        // Credit lines.
        "Переводчик: " + kTranslator, "Редактор субтитров " + kEditor2, "Субтитры: " + kSubtitler,
        "Спасибо", "Пока!", "Хорошего дня!", "to be continued", "thanks for watching",
        "thank you for watching", "please subscribe", "like and subscribe",
        "don't forget to subscribe", "goodbye", "see you next time", "bye bye",
        "thank you for listening", "the end", "subtitles by the " + kSite.toLower() + " community",
        "Thanks for watching!", "Thank you.", "Bye!", "Have a nice day!", "See you!", "Goodbye.",
        "...", "…", ".", "!", "?", "♪", "♪♪", "♪ ♪", "♫", "🎵", "--", "—", "you", "Вы"};
}

QStringList makeInlinePatterns() {
    return {"[музыка]",   "[music]",  "[аплодисменты]", "[applause]",     "[смех]",
            "[laughter]", "[тишина]", "[silence]",      "[неразборчиво]", "[inaudible]",
            "[звук]",     "[sound]",  "[шум]",          "[noise]",        "[вздох]",
            "[sigh]",     "[кашель]", "[cough]",        "[пауза]",        "[pause]",
            "(музыка)",   "(music)",  "(аплодисменты)", "(applause)",     "(смех)",
            "(laughter)", "(тишина)", "(silence)",      "(неразборчиво)", "(inaudible)",
            "*музыка*",   "*music*",  "*аплодисменты*", "*applause*"};
}

QStringList makeCreditArtifactNames() {
    return {kNick1,
            kNick2,
            QRegularExpression::escape(kSite),
            QStringLiteral("А\\.\\s*Иванова"),
            QStringLiteral("Б\\.\\s*Петрова"),
            kTranslator,
            kSubtitler};
}

QStringList makeCreditKeywords() {
    return {"редактор субтитров", "субтитры",  "субтитр", "переводчик",
            "корректор",          "subtitles", "subs by"};
}

// Case-insensitive and Unicode aware, so that \s and \b see Cyrillic text.
void addRule(std::vector<std::pair<QRegularExpression, QString>>& rules, const QString& pattern,
             const QString& with) {
    QRegularExpression re(pattern, QRegularExpression::CaseInsensitiveOption |
                                       QRegularExpression::UseUnicodePropertiesOption);
    if (!re.isValid()) return;
    re.optimize();
    rules.emplace_back(std::move(re), with);
}

}  // namespace

HallucinationFilter::HallucinationFilter()
    : fullMatchPhrases(makeFullMatchPhrases()),
      inlinePatterns(makeInlinePatterns()),
      creditArtifactNames(makeCreditArtifactNames()),
      creditKeywords(makeCreditKeywords()) {
    static const QString kTrailer = QStringLiteral("(?:\\s+(?:community|channel))?");
    for (const QString& name : creditArtifactNames) {
        for (const QString& keyword : creditKeywords)
            addRule(m_creditRules,
                    QRegularExpression::escape(keyword) + "[^.!?\\n]{0,40}?" + name + kTrailer,
                    QString());
        addRule(m_creditRules, name + kTrailer, QString());
    }
    addRule(m_creditRules, "\\s+([.,!?;:])", "\\1");
    addRule(m_creditRules, "([.!?])\\s*\\1+", "\\1");
    addRule(m_creditRules, "\\s{2,}", " ");
    addRule(m_creditRules, "^[\\s.,;:!?]+", QString());
}

HallucinationFilter& HallucinationFilter::shared() {
    static HallucinationFilter instance;
    return instance;
}

std::optional<QString> HallucinationFilter::filter(const QString& text) const {
    QString t = text.trimmed();
    if (t.isEmpty()) return std::nullopt;

    const QString lower = t.toLower();
    for (const QString& phrase : fullMatchPhrases)
        if (lower == phrase.toLower()) return std::nullopt;

    for (const QString& tag : inlinePatterns) t.replace(tag, QString(), Qt::CaseInsensitive);

    t = stripCreditArtifacts(t);
    while (t.contains(QLatin1String("  "))) t.replace(QLatin1String("  "), QLatin1String(" "));

    t = t.trimmed();
    if (t.isEmpty()) return std::nullopt;
    return t;
}

QString HallucinationFilter::stripCreditArtifacts(const QString& text) const {
    QString t = text;
    for (const auto& [re, with] : m_creditRules) t.replace(re, with);
    return t;
}
