#include "mainwindow/SettingsBinding.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QSignalBlocker>

#include "platform/SettingsStore.h"

namespace SettingsBinding {

bool boolean(const SettingsStore& store, const QString& key) {
    const QJsonValue v = store.value(key);
    if (v.isBool()) return v.toBool();
    if (v.isDouble()) return v.toDouble() != 0;
    if (v.isString()) {
        const QString s = v.toString().trimmed().toLower();
        if (s == u"true" || s == u"yes" || s == u"1") return true;
        if (s == u"false" || s == u"no" || s == u"0") return false;
    }
    return SettingsDefaults::value(key).toBool(false);
}

qint64 integer(const SettingsStore& store, const QString& key) {
    if (const auto v = store.integerValue(key)) return *v;
    return SettingsDefaults::value(key).toInteger(0);
}

double real(const SettingsStore& store, const QString& key) {
    if (const auto v = store.finiteDouble(key)) return *v;
    return SettingsDefaults::value(key).toDouble(0);
}

QString string(const SettingsStore& store, const QString& key) {
    const QJsonValue v = store.value(key);
    if (v.isString()) return v.toString();
    return SettingsDefaults::value(key).toString();
}

QList<Choice> fixedChoices(const std::vector<std::pair<const char*, const char*>>& list) {
    QList<Choice> out;
    for (const auto& [value, name] : list) {
        const QString title = QString::fromUtf8(name);
        out.append({[title] { return title; }, QString::fromLatin1(value)});
    }
    return out;
}

void showChoices(QComboBox* combo, const QList<Choice>& choices, const QJsonValue& current) {
    const QSignalBlocker blocker(combo);
    if (combo->count() != choices.size()) {
        combo->clear();
        for (const Choice& c : choices) combo->addItem(c.title(), c.value.toVariant());
    }
    int selected = -1;
    for (int i = 0; i < choices.size(); ++i) {
        const QString title = choices[i].title();
        if (combo->itemText(i) != title) combo->setItemText(i, title);
        if (combo->itemData(i) != choices[i].value.toVariant())
            combo->setItemData(i, choices[i].value.toVariant());
        if (choices[i].value == current) selected = i;
    }
    if (combo->currentIndex() != selected) combo->setCurrentIndex(selected);
}

void writeOnPick(QComboBox* combo, SettingsStore& store, const QString& key) {
    // activated: only the user's choice, never a change the page made.
    QObject::connect(combo, &QComboBox::activated, combo, [combo, &store, key](int index) {
        if (index < 0) return;
        store.set(key, QJsonValue::fromVariant(combo->itemData(index)));
    });
}

void writeOnToggle(QAbstractButton* button, SettingsStore& store, const QString& key) {
    QObject::connect(button, &QAbstractButton::toggled, button,
                     [&store, key](bool on) { store.set(key, on); });
}
}  // namespace SettingsBinding
