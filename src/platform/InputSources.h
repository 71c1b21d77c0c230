#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// A keyboard input source the user enabled: on X11 one XKB group (a layout
// with its variant) and the languages xkeyboard-config gives it.
struct InputSource {
    QString identifier;  // "ru", "ru(phonetic)"
    QString category;    // InputSources::keyboardCategory() for layouts
    bool selectCapable = true;
    std::optional<QStringList> languages;  // ISO 639-1 where one exists
    int group = 0;
};

class InputSources {
public:
    static const QString& keyboardCategory();

    virtual ~InputSources() = default;
    // The enabled sources in the system's order; nothing when unavailable.
    virtual std::optional<QList<InputSource>> enabledSources() const = 0;
    virtual bool select(const InputSource& source) = 0;

    static InputSources& shared();
    static void setShared(InputSources* sources);

    // Layout (and "layout(variant)") -> languages, read from an
    // xkeyboard-config rules file such as evdev.xml.
    using LanguageTable = QMap<QString, QStringList>;
    static LanguageTable readLanguageTable(const QString& xmlPath);
};
