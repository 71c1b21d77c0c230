#include "records/SavedPromptTab.h"

#include <QJsonDocument>

#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"

namespace {

// A flag of the stored form: missing or null gives the fallback, a Boolean
// itself, anything else is a fault.
std::optional<bool> storedFlag(const QJsonObject& o, const char* key, bool fallback) {
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isUndefined() || v.isNull()) return fallback;
    if (v.isBool()) return v.toBool();
    return std::nullopt;
}

}  // namespace

QJsonObject SavedPromptTab::toJson() const {
    return QJsonObject{{"name", name},
                       {"prompt", prompt},
                       {"sameLanguage", sameLanguage},
                       {"dontChangeMeaning", dontChangeMeaning}};
}

std::optional<SavedPromptTab> SavedPromptTab::fromJson(const QJsonValue& value, QString* why) {
    const auto fail = [why](const char* reason) -> std::optional<SavedPromptTab> {
        if (why) *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    if (!value.isObject()) return fail("not an object");
    const QJsonObject o = value.toObject();
    if (!o.value("name").isString()) return fail("\"name\" is not a string");
    if (!o.value("prompt").isString()) return fail("\"prompt\" is not a string");
    const auto same = storedFlag(o, "sameLanguage", true);
    if (!same) return fail("\"sameLanguage\" is not a Boolean");
    const auto keep = storedFlag(o, "dontChangeMeaning", false);
    if (!keep) return fail("\"dontChangeMeaning\" is not a Boolean");
    return SavedPromptTab{o.value("name").toString(), o.value("prompt").toString(), *same, *keep};
}

QJsonObject SavedPromptTab::toWire() const {
    return QJsonObject{{"Name", name},
                       {"Prompt", prompt},
                       {"SameLanguage", sameLanguage},
                       {"DontChangeMeaning", dontChangeMeaning}};
}

std::optional<SavedPromptTab> SavedPromptTab::fromWire(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    if (!o.value("Name").isString() || !o.value("Prompt").isString()) return std::nullopt;
    const QJsonValue same = o.value("SameLanguage");
    const QJsonValue keep = o.value("DontChangeMeaning");
    return SavedPromptTab{o.value("Name").toString(), o.value("Prompt").toString(),
                          same.isBool() ? same.toBool() : true,
                          keep.isBool() ? keep.toBool() : false};
}

namespace SavedPrompts {

QByteArray encode(const QList<SavedPromptTab>& tabs) {
    QJsonArray array;
    for (const SavedPromptTab& tab : tabs) array.append(tab.toJson());
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<SavedPromptTab>> decode(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) return std::nullopt;
    QList<SavedPromptTab> tabs;
    const QJsonArray array = doc.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString why;
        if (auto tab = SavedPromptTab::fromJson(array.at(i), &why)) {
            tabs.append(*tab);
        } else {
            // One damaged prompt must not take the user's other prompts with it.
            debugLog(QStringLiteral("[SavedPrompts] Dropped saved prompt #%1: ").arg(i) + why);
        }
    }
    return tabs;
}

std::optional<QList<SavedPromptTab>> load(const SettingsStore& settings) {
    const QString key = QString::fromLatin1(kSettingsKey);
    if (!settings.contains(key)) return QList<SavedPromptTab>{};
    if (settings.isString(key)) return decode(settings.string(key)->toUtf8());
    const auto bytes = settings.data(key);
    if (!bytes) return std::nullopt;
    return decode(*bytes);
}

QList<SavedPromptTab> loadOrEmpty(const SettingsStore& settings) {
    return load(settings).value_or(QList<SavedPromptTab>{});
}

void save(SettingsStore& settings, const QList<SavedPromptTab>& tabs) {
    settings.setData(QString::fromLatin1(kSettingsKey), encode(tabs));
}

bool convertStoredText(SettingsStore& settings) {
    const QString key = QString::fromLatin1(kSettingsKey);
    if (!settings.isString(key)) return false;
    const auto tabs = load(settings);
    if (!tabs) {
        debugLog(QStringLiteral("[SavedPrompts] Stored text is not a list of prompts; left as is"));
        return false;
    }
    save(settings, *tabs);
    debugLog(
        QStringLiteral("[SavedPrompts] Converted %1 saved prompts from text").arg(tabs->size()));
    return true;
}

QJsonArray toWire(const QList<SavedPromptTab>& tabs) {
    QJsonArray array;
    for (const SavedPromptTab& tab : tabs) array.append(tab.toWire());
    return array;
}

QList<SavedPromptTab> fromWire(const QJsonArray& array) {
    QList<SavedPromptTab> tabs;
    for (const QJsonValue& value : array)
        if (auto tab = SavedPromptTab::fromWire(value)) tabs.append(*tab);
    return tabs;
}

}  // namespace SavedPrompts
