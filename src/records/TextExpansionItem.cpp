#include "records/TextExpansionItem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>

namespace {
const QString kId = QStringLiteral("id");
const QString kTrigger = QStringLiteral("trigger");
const QString kExpandedText = QStringLiteral("expanded_text");
const QString kExpandedTextWindows = QStringLiteral("expanded_text_windows");
const QString kDescription = QStringLiteral("description");
const QString kMatchBothLayouts = QStringLiteral("match_both_layouts");
const QString kIsEnabled = QStringLiteral("is_enabled");

// Absent and null both mean "not set"; any other non-string is malformed.
bool readOptionalString(const QJsonObject& o, const QString& key, std::optional<QString>& out,
                        QString* error) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined() || v.isNull()) {
        out.reset();
        return true;
    }
    if (!v.isString()) {
        if (error) *error = QStringLiteral("\"%1\" is not a string").arg(key);
        return false;
    }
    out = v.toString();
    return true;
}
}  // namespace

QString TextExpansionItem::idString(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString TextExpansionItem::idString() const {
    return idString(id);
}

QJsonObject TextExpansionItem::toJson() const {
    QJsonObject o;
    o.insert(kId, idString());
    o.insert(kTrigger, trigger);
    o.insert(kExpandedText, expandedText);
    if (expandedTextWindows) o.insert(kExpandedTextWindows, *expandedTextWindows);
    if (description) o.insert(kDescription, *description);
    o.insert(kMatchBothLayouts, matchBothLayouts);
    o.insert(kIsEnabled, isEnabled);
    return o;
}

std::optional<TextExpansionItem> TextExpansionItem::fromJson(const QJsonValue& value,
                                                             QString* error) {
    auto fail = [error](const QString& why) -> std::optional<TextExpansionItem> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!value.isObject()) return fail(QStringLiteral("not an object"));
    const QJsonObject o = value.toObject();
    for (const QString& key : {kId, kTrigger, kExpandedText})
        if (!o.value(key).isString())
            return fail(QStringLiteral("\"%1\" is not a string").arg(key));
    for (const QString& key : {kMatchBothLayouts, kIsEnabled})
        if (!o.value(key).isBool()) return fail(QStringLiteral("\"%1\" is not a Boolean").arg(key));
    TextExpansionItem item;
    // Only the canonical 36-character form (braces are not part of it).
    const QString idText = o.value(kId).toString();
    item.id = QUuid::fromString(idText);
    if (idText.size() != 36 || item.id.isNull())
        return fail(QStringLiteral("\"id\" is not a UUID"));
    item.trigger = o.value(kTrigger).toString();
    item.expandedText = o.value(kExpandedText).toString();
    if (!readOptionalString(o, kExpandedTextWindows, item.expandedTextWindows, error) ||
        !readOptionalString(o, kDescription, item.description, error))
        return std::nullopt;
    item.matchBothLayouts = o.value(kMatchBothLayouts).toBool();
    item.isEnabled = o.value(kIsEnabled).toBool();
    return item;
}

QList<TextExpansionItem> TextExpansionItem::listFromJson(const QJsonArray& array,
                                                         QStringList* skipped) {
    QList<TextExpansionItem> items;
    for (qsizetype i = 0; i < array.size(); ++i) {
        QString why;
        if (auto item = fromJson(array.at(i), &why))
            items.append(*item);
        else if (skipped)
            skipped->append(QStringLiteral("item %1: %2").arg(i).arg(why));
    }
    return items;
}

bool TextExpansionItem::writeIndentedList(QIODevice& out, const QList<TextExpansionItem>& items) {
    const auto put = [&out](const QByteArray& bytes) { return out.write(bytes) == bytes.size(); };
    if (!put("[\n")) return false;
    for (qsizetype i = 0; i < items.size(); ++i) {
        QByteArray object = QJsonDocument(items[i].toJson()).toJson(QJsonDocument::Indented);
        // One level deeper inside the array: every line moves right by four
        // spaces (line breaks inside strings are escaped, never raw).
        object.chop(1);
        object.replace("\n", "\n    ");
        if (!put("    " + object + (i + 1 < items.size() ? ",\n" : "\n"))) return false;
    }
    return put("]\n");
}

QJsonArray TextExpansionItem::listToJson(const QList<TextExpansionItem>& items) {
    QJsonArray array;
    for (const TextExpansionItem& item : items) array.append(item.toJson());
    return array;
}
