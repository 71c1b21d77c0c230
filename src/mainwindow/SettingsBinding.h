#pragma once

#include <vector>

#include <QJsonValue>
#include <QList>
#include <QString>
#include <functional>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QComboBox;
class QObject;
class SettingsStore;

// How the Settings page shows and writes its keys. A control shows the
// stored value, or the key's default (SettingsDefaults) when the key is
// absent or holds something the control cannot show as that type; it writes
// only when the user changes it, and never writes a default back.
namespace SettingsBinding {
bool boolean(const SettingsStore& store, const QString& key);
qint64 integer(const SettingsStore& store, const QString& key);
double real(const SettingsStore& store, const QString& key);
QString string(const SettingsStore& store, const QString& key);

// One entry of a picker: its title (looked up when the picker is filled)
// and the value it stores.
struct Choice {
    std::function<QString()> title;
    QJsonValue value;
};

// Entries whose titles are fixed texts (language names, shown the same in
// every interface language), from (value, title) pairs.
QList<Choice> fixedChoices(const std::vector<std::pair<const char*, const char*>>& list);

// Fills `combo` (keeps the entries when only titles changed) and marks the
// entry whose value is `current`; a value no entry has marks none.
void showChoices(QComboBox* combo, const QList<Choice>& choices, const QJsonValue& current);

// Writes `key` whenever the user picks an entry of `combo` / flips
// `button`; changes made by the page itself (under a QSignalBlocker, or
// through setters of activated-only pickers) write nothing.
void writeOnPick(QComboBox* combo, SettingsStore& store, const QString& key);
void writeOnToggle(QAbstractButton* button, SettingsStore& store, const QString& key);
}  // namespace SettingsBinding
