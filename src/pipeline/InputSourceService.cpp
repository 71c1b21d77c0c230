#include "pipeline/InputSourceService.h"

#include <QTextBoundaryFinder>

#include "platform/Characters.h"
#include "platform/DebugLog.h"
#include "platform/InputSources.h"
#include "platform/LanguageRecognizer.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {}  // namespace

InputSourceService::InputSourceService(const SettingsStore& settings,
                                       const LanguageRecognizer& recognizer, InputSources& sources)
    : m_settings(settings), m_recognizer(recognizer), m_sources(sources) {}

InputSourceService& InputSourceService::shared() {
    static InputSourceService instance(SettingsStore::shared(), LanguageRecognizer::shared(),
                                       InputSources::shared());
    return instance;
}

void InputSourceService::switchToMatchingLayout(const QString& text) {
    if (!m_settings.boolOrDefault("autoSwitchLayout")) return;
    const std::optional<QString> code = detectLanguage(text);
    if (!code) {
        debugLog("[InputSource] Could not detect language for: " + Characters::leading(text, 30) +
                 "...");
        return;
    }
    debugLog("[InputSource] Detected language: " + *code);
    switchInputSource(*code);
}

void InputSourceService::prepareForDictation() {
    if (m_prepared || !m_settings.boolOrDefault("autoSwitchLayout")) return;
    m_prepared = true;
    const LanguageRecognizer* recognizer = &m_recognizer;
    runAsync([recognizer] { recognizer->dominantLanguage(QStringLiteral("ready")); });
}

std::optional<QString> InputSourceService::detectLanguage(const QString& text) const {
    const std::optional<QString> lang = m_recognizer.dominantLanguage(text);
    if (!lang) return std::nullopt;
    // Both Chinese scripts share one code: the layouts offer "zh" either way.
    if (*lang == "zh-Hans" || *lang == "zh-Hant") return QStringLiteral("zh-Hans");
    return lang;
}

QStringList InputSourceService::prefixesFor(const QString& code) {
    if (code == "zh-Hans") return {"zh-Hans", "zh-Hant", "zh"};
    return {code};
}

void InputSourceService::switchInputSource(const QString& code) {
    const std::optional<QList<InputSource>> sources = m_sources.enabledSources();
    if (!sources) {
        debugLog("[InputSource] Failed to get input source list");
        return;
    }
    const QStringList prefixes = prefixesFor(code);
    for (const InputSource& source : *sources) {
        if (source.category != InputSources::keyboardCategory() || !source.selectCapable ||
            !source.languages)
            continue;
        for (const QString& prefix : prefixes) {
            for (const QString& lang : *source.languages) {
                if (!lang.startsWith(prefix)) continue;
                debugLog("[InputSource] Switching to: " +
                         (source.identifier.isEmpty() ? QStringLiteral("?") : source.identifier) +
                         " for lang: " + code);
                m_sources.select(source);
                return;
            }
        }
    }
    debugLog("[InputSource] No matching input source found for: " + code);
}
