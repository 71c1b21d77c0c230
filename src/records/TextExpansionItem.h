#pragma once

#include <QIODevice>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

// One typed-trigger snippet: typing `trigger` anywhere replaces it with
// `expandedText`. The JSON form is shared by the items file and the account.
struct TextExpansionItem {
    QUuid id;
    QString trigger;
    QString expandedText;
    std::optional<QString> expandedTextWindows;  // kept and synchronised, never typed here
    std::optional<QString> description;          // kept and synchronised only
    bool matchBothLayouts = true;
    bool isEnabled = true;

    bool operator==(const TextExpansionItem&) const = default;

    // The id as stored: upper-case, without braces.
    QString idString() const;
    static QString idString(const QUuid& id);

    // Every field; "expanded_text_windows" and "description" only when set.
    QJsonObject toJson() const;
    // Nothing when a required key is missing or of the wrong type, or the id
    // is not a UUID; `error` then says what was wrong.
    static std::optional<TextExpansionItem> fromJson(const QJsonValue& value,
                                                     QString* error = nullptr);

    // A list in JSON; `skipped` receives one reason per object left out.
    static QList<TextExpansionItem> listFromJson(const QJsonArray& array,
                                                 QStringList* skipped = nullptr);
    static QJsonArray listToJson(const QList<TextExpansionItem>& items);
    // The list's indented JSON (the bytes of listToJson's indented document),
    // written one item at a time so a long list is never held twice more.
    static bool writeIndentedList(QIODevice& out, const QList<TextExpansionItem>& items);
};
