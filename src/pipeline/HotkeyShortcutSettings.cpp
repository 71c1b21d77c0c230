#include "pipeline/HotkeyShortcutSettings.h"

#include "pipeline/KeyNames.h"
#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"

const HotkeyShortcutSettings::Keys& HotkeyShortcutSettings::mainKeys() {
    static const Keys keys{"hotkeyKeyCode", "hotkeyModifiers", "hotkeyIsModifier"};
    return keys;
}

const HotkeyShortcutSettings::Keys& HotkeyShortcutSettings::translateKeys() {
    static const Keys keys{"translateKeyCode", "translateModifiers", "translateIsModifier"};
    return keys;
}

const HotkeyShortcutSettings::Keys& HotkeyShortcutSettings::pasteLastKeys() {
    static const Keys keys{"pasteLastKeyCode", "pasteLastModifiers", "pasteLastIsModifier"};
    return keys;
}

std::optional<HotkeyShortcutSettings::Shortcut> HotkeyShortcutSettings::load(
    const Keys& keys, quint64 modifiersWhenAbsent, quint64 currentModifiers) const {
    // A code that is no integer (1e300, a list) counts as not stored.
    const std::optional<qint64> code = m_settings.integerValue(keys.keyCode);
    if (!code) return std::nullopt;
    Shortcut shortcut;
    shortcut.keyCode = *code;
    shortcut.modifiers = modifiersWhenAbsent;
    if (const std::optional<qint64> v = m_settings.integerValue(keys.modifiers)) {
        if (*v < 0) {
            debugLog("[Hotkey] Ignoring negative " + keys.modifiers + "=" + QString::number(*v));
            shortcut.modifiers = currentModifiers;
        } else {
            shortcut.modifiers = static_cast<quint64>(*v);
        }
    }
    shortcut.isModifierOnly = m_settings.boolean(keys.isModifier);
    return shortcut;
}

void HotkeyShortcutSettings::save(const Keys& keys, const QString& which, const Shortcut& shortcut,
                                  bool logName) const {
    m_settings.set(keys.keyCode, static_cast<double>(shortcut.keyCode));
    m_settings.set(keys.isModifier, shortcut.isModifierOnly);
    m_settings.set(keys.modifiers, static_cast<double>(shortcut.modifiers));
    QString line = logLine("Saved " + which, shortcut);
    if (logName)
        line +=
            " (" +
            KeyNames::displayName(shortcut.keyCode, shortcut.modifiers, shortcut.isModifierOnly) +
            ")";
    debugLog(line);
}

void HotkeyShortcutSettings::remove(const Keys& keys) const {
    m_settings.remove(keys.keyCode);
    m_settings.remove(keys.isModifier);
    m_settings.remove(keys.modifiers);
}

QString HotkeyShortcutSettings::logLine(const QString& what, const Shortcut& shortcut) {
    return "[Hotkey] " + what + ": keyCode=" + QString::number(shortcut.keyCode) +
           " isModifierOnly=" + (shortcut.isModifierOnly ? "true" : "false") +
           " modifiers=" + QString::number(shortcut.modifiers);
}
