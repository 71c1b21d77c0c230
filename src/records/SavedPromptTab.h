#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

class SettingsStore;

// One custom prompt of the text editor, as the editor stores it and as the
// account's settings carry it.
//
// Stored form (settings key "savedPrompts", bytes of compact UTF-8 JSON): an
// array of {"name", "prompt", "sameLanguage", "dontChangeMeaning"}.
// Synchronised form: the same objects with the keys capitalised ("Name",
// "Prompt", "SameLanguage", "DontChangeMeaning").
struct SavedPromptTab {
    QString name;
    QString prompt;
    bool sameLanguage = true;
    bool dontChangeMeaning = false;

    bool operator==(const SavedPromptTab&) const = default;

    // The editor's key of this tab.
    QString key() const { return QStringLiteral("custom:") + name; }

    // Stored form: all four keys, always.
    QJsonObject toJson() const;
    // "name" and "prompt" must be strings; a missing or null "sameLanguage"
    // reads as true and a missing or null "dontChangeMeaning" as false; any
    // other type of those two makes the element unreadable. `why` names
    // the fault when there is one.
    static std::optional<SavedPromptTab> fromJson(const QJsonValue& value, QString* why = nullptr);

    QJsonObject toWire() const;
    // "Name" and "Prompt" must be strings; a "SameLanguage" that is not a
    // Boolean reads as true, a "DontChangeMeaning" that is not one as false.
    static std::optional<SavedPromptTab> fromWire(const QJsonValue& value);
};

namespace SavedPrompts {

inline constexpr const char* kSettingsKey = "savedPrompts";

// The stored bytes of a list, in list order, without extra whitespace.
QByteArray encode(const QList<SavedPromptTab>& tabs);
// The readable elements of stored bytes; an unreadable element is dropped
// and logged, the others are kept. None when the bytes as a whole are not a
// JSON array.
std::optional<QList<SavedPromptTab>> decode(const QByteArray& bytes);

// The stored list: empty when the key is absent, none when the stored value
// is unreadable as a whole (not bytes or text, not a JSON array). Earlier
// editors stored the same JSON as a text value; it reads like the bytes.
std::optional<QList<SavedPromptTab>> load(const SettingsStore& settings);
// Like load(), but unreadable data gives an empty list (the editor's view:
// no custom tabs, and the next save overwrites it).
QList<SavedPromptTab> loadOrEmpty(const SettingsStore& settings);
void save(SettingsStore& settings, const QList<SavedPromptTab>& tabs);
// Rewrites a text value left by an earlier editor as the stored bytes,
// keeping its readable prompts; true when it did. Unreadable text is left
// as it is.
bool convertStoredText(SettingsStore& settings);

QJsonArray toWire(const QList<SavedPromptTab>& tabs);
// Every object that makes a record, in order; the others are dropped.
QList<SavedPromptTab> fromWire(const QJsonArray& array);

}  // namespace SavedPrompts
