#pragma once

#include <QString>
#include <optional>

class HallucinationFilter;

// The user's own replacements, kept by the history store: dictionary entries
// and voice snippets, each matched as a whole word in any case.
class TextReplacements {
public:
    virtual ~TextReplacements() = default;
    virtual QString applyDictionary(const QString& text) const = 0;
    virtual QString applySnippets(const QString& text) const = 0;
};

// Turns a transcript into the text to insert: drops inventions, repairs
// unbalanced quotation marks, applies the user's replacements, and ends the
// text with one space so consecutive dictations do not run together.
class TextPostProcessor {
public:
    // Without replacements only the filters run.
    explicit TextPostProcessor(const HallucinationFilter& filter,
                               const TextReplacements* replacements = nullptr);

    // Uses HallucinationFilter::shared() and the replacements installed with
    // setSharedReplacements().
    static TextPostProcessor& shared();
    static void setSharedReplacements(const TextReplacements* replacements);

    // Nothing when there is nothing to insert.
    std::optional<QString> process(const QString& text) const;

    // Appends missing closing (or prepends missing opening) «» and “” marks.
    static QString fixUnclosedQuotes(const QString& text);

private:
    const HallucinationFilter& m_filter;
    const TextReplacements* m_replacements;
};
