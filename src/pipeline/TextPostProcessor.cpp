#include "pipeline/TextPostProcessor.h"

#include <atomic>

#include "pipeline/HallucinationFilter.h"

namespace {
std::atomic<const TextReplacements*> g_sharedReplacements{nullptr};

// The replacements of the shared processor, looked up at each call so that
// they can be installed after the processor was first used.
class SharedReplacements : public TextReplacements {
public:
    QString applyDictionary(const QString& text) const override {
        const TextReplacements* r = g_sharedReplacements.load();
        return r ? r->applyDictionary(text) : text;
    }
    QString applySnippets(const QString& text) const override {
        const TextReplacements* r = g_sharedReplacements.load();
        return r ? r->applySnippets(text) : text;
    }
};

QString balance(const QString& text, QChar open, QChar close) {
    const qsizetype opens = text.count(open);
    const qsizetype closes = text.count(close);
    if (closes < opens) return text + QString(opens - closes, close);
    if (opens < closes) return QString(closes - opens, open) + text;
    return text;
}
}  // namespace

TextPostProcessor::TextPostProcessor(const HallucinationFilter& filter,
                                     const TextReplacements* replacements)
    : m_filter(filter), m_replacements(replacements) {}

TextPostProcessor& TextPostProcessor::shared() {
    static SharedReplacements replacements;
    static TextPostProcessor instance(HallucinationFilter::shared(), &replacements);
    return instance;
}

void TextPostProcessor::setSharedReplacements(const TextReplacements* replacements) {
    g_sharedReplacements.store(replacements);
}

std::optional<QString> TextPostProcessor::process(const QString& text) const {
    std::optional<QString> filtered = m_filter.filter(text);
    if (!filtered) return std::nullopt;
    QString r = fixUnclosedQuotes(*filtered);
    if (m_replacements) {
        r = m_replacements->applyDictionary(r);
        r = m_replacements->applySnippets(r);
    }
    r = r.trimmed();
    if (r.isEmpty()) return std::nullopt;
    return r + QLatin1Char(' ');
}

QString TextPostProcessor::fixUnclosedQuotes(const QString& text) {
    const QString r = balance(text, QChar(0x00AB), QChar(0x00BB));
    return balance(r, QChar(0x201C), QChar(0x201D));
}
