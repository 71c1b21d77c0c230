#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class SettingsStore;

// The global shortcuts as the settings keep them: each is a key code, the
// modifier flags that must be held and whether it is a lone modifier key,
// under three keys of its own.
class HotkeyShortcutSettings {
public:
    // The settings keys of one shortcut.
    struct Keys {
        QString keyCode, modifiers, isModifier;
    };
    static const Keys& mainKeys();
    static const Keys& translateKeys();
    static const Keys& pasteLastKeys();

    struct Shortcut {
        qint64 keyCode = -1;
        quint64 modifiers = 0;
        bool isModifierOnly = true;
    };

    explicit HotkeyShortcutSettings(SettingsStore& settings) : m_settings(settings) {}

    // The stored shortcut; none when no integer key code is stored. Absent
    // modifiers read as `modifiersWhenAbsent`; a negative value is no flag
    // set at all, so `currentModifiers` stays.
    std::optional<Shortcut> load(const Keys& keys, quint64 modifiersWhenAbsent,
                                 quint64 currentModifiers) const;
    // Stores the shortcut and logs it as "Saved <which>" (with its display
    // name when `logName`).
    void save(const Keys& keys, const QString& which, const Shortcut& shortcut, bool logName) const;
    void remove(const Keys& keys) const;

    // "[Hotkey] <what>: keyCode=... isModifierOnly=... modifiers=..."
    static QString logLine(const QString& what, const Shortcut& shortcut);

private:
    SettingsStore& m_settings;
};
