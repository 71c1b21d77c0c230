#pragma once

#include <QMap>
#include <QString>
#include <functional>
#include <optional>
#include <stop_token>

class Clock;
class FrontmostApp;
class SettingsStore;

// The user's changes to the built-in tone prompts (replacements, hidden
// tones) and the cache of their translations, all kept in the settings
// store. Static members only; the collaborators below are installed once.
namespace BuiltinTonePromptStore {

// What the store needs from the rest of the application.
struct Collaborators {
    // Starts the account's settings push and returns at once (the push
    // runs in its own task, in the order pushes were asked for; never
    // awaited).
    std::function<void()> pushSettings;
    // True when an access token is stored.
    std::function<bool()> hasAccessToken;
    // Free-text translation through the service; nothing on any failure.
    std::function<std::optional<QString>(const QString& text, const QString& targetLanguage,
                                         bool literal, bool isRetry)>
        translateArbitraryText;
    // The clock of the launch delay (the system clock when null).
    Clock* clock = nullptr;
    // The settings store (the shared one when null).
    SettingsStore* settings = nullptr;
};
void setCollaborators(Collaborators collaborators);

// "builtinToneOverrides" when it is a dictionary of strings, else empty.
QMap<QString, QString> overrides();
// The tone's replacement prompt when present and not empty.
std::optional<QString> override(const QString& tone);
void setOverride(const QString& text, const QString& tone);
void removeOverride(const QString& tone);

// "hiddenBuiltinTones": hide adds the tone once, restore removes every copy.
void hide(const QString& tone);
void restore(const QString& tone);

std::optional<QString> cachedTranslation(const QString& key);
void setCachedTranslation(const QString& translation, const QString& key);

// Translates the prompts (the user's replacements where there are any) into
// the interface language and caches them. Blocking: run it on a worker
// thread once per launch. Ends early when stop is requested during the
// launch delay.
void warmUp(std::stop_token stop = {});

}  // namespace BuiltinTonePromptStore

// The tone for the dictation about to be sent: the global "toneStyle", or
// the per-application rule for the frontmost application when those are on.
QString resolveEffectiveDictationTone();
QString resolveEffectiveDictationTone(const SettingsStore& settings, const FrontmostApp& frontmost);
