#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class InputSources;
class LanguageRecognizer;
class SettingsStore;

// After dictated text is inserted, selects the first enabled keyboard layout
// for the language that was spoken, so that the user goes on typing in it.
// Switched on by "autoSwitchLayout"; every failure is only logged.
class InputSourceService {
public:
    InputSourceService(const SettingsStore& settings, const LanguageRecognizer& recognizer,
                       InputSources& sources);
    static InputSourceService& shared();

    void switchToMatchingLayout(const QString& text);
    // When the layout follows the language, readies the recognizer on a
    // worker (its library is opened and its tables read on first use), so
    // that the first dictation's paste does not wait for it.
    void prepareForDictation();

    // Language prefixes an input source must offer for a language code.
    static QStringList prefixesFor(const QString& code);

private:
    std::optional<QString> detectLanguage(const QString& text) const;
    void switchInputSource(const QString& code);

    const SettingsStore& m_settings;
    const LanguageRecognizer& m_recognizer;
    InputSources& m_sources;
    bool m_prepared = false;  // the recognizer was readied once
};
