#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// Drops transcripts that are nothing but an invention of the recogniser (a
// closing phrase, a subtitle credit, a lone punctuation mark) and cuts such
// inventions (sound tags, credits) out of longer ones. Offline, constant
// lists, usable from any thread.
class HallucinationFilter {
public:
    HallucinationFilter();
    static HallucinationFilter& shared();

    // Nothing when the whole transcript is invented or nothing is left after
    // cleaning; else the cleaned, trimmed text.
    std::optional<QString> filter(const QString& text) const;

    // Whole transcripts that only ever come from the recogniser.
    const QStringList fullMatchPhrases;
    // Sound tags removed wherever they occur (literal, any case).
    const QStringList inlinePatterns;
    // Regular-expression fragments, one credited name each.
    const QStringList creditArtifactNames;
    // Words that introduce a credit (escaped before use).
    const QStringList creditKeywords;

private:
    QString stripCreditArtifacts(const QString& text) const;

    // The credit and punctuation rules, compiled once, in the order they
    // apply: (expression, replacement). Expressions that do not compile are
    // left out.
    std::vector<std::pair<QRegularExpression, QString>> m_creditRules;
};
