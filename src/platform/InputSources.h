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

// The groups of the core keyboard (from _XKB_RULES_NAMES), selected with an
// XKB group lock.
class X11InputSources : public InputSources {
public:
    explicit X11InputSources(QString rulesDirectory = "/usr/share/X11/xkb/rules");
    ~X11InputSources() override;
    std::optional<QList<InputSource>> enabledSources() const override;
    bool select(const InputSource& source) override;
    // The locked group now in effect.
    std::optional<int> currentGroup() const;

private:
    struct Private;
    Private* d;
};

class FakeInputSources : public InputSources {
public:
    std::optional<QList<InputSource>> enabledSources() const override { return sources; }
    bool select(const InputSource& source) override {
        selected.append(source.identifier);
        return true;
    }
    std::optional<QList<InputSource>> sources;
    QStringList selected;
};
