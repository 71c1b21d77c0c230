#pragma once

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QUuid>
#include <optional>

#include "records/HistoryRecord.h"

class Clock;
class HistoryDatabase;

// The personal dictionary and the voice snippets of the history store: two
// collections of key/value entries (trigger/replacement, shortcut/text), and
// the replacement rules compiled from them. Main thread only.
class CollectionStore {
public:
    enum class Kind { Dictionary, Snippets };

    CollectionStore(HistoryDatabase& database, Clock& clock);

    // Sorted by key in plain code-point order (capitals first).
    QList<HistoryRecord> fetch(Kind kind);
    void insert(Kind kind, const QString& key, const QString& value);
    void remove(Kind kind, const QUuid& id);
    void update(Kind kind, const QUuid& id, const QString& key, const QString& value);
    void replaceAll(Kind kind, const QList<QPair<QString, QString>>& entries);
    // Every whole-word, case-insensitive occurrence of each key replaced by
    // its value, entries in ascending key order.
    QString apply(Kind kind, const QString& text);

private:
    struct Collection;  // table, column names, messages
    struct Rule {
        QString trigger;
        QString replacement;
        QRegularExpression pattern;
    };
    static const Collection& collection(Kind kind);
    std::optional<QList<Rule>>& cacheFor(Kind kind);
    void write(Kind kind, const QList<QPair<QString, QString>>& entries, bool clearFirst);
    const QList<Rule>& rules(Kind kind);

    HistoryDatabase& m_database;
    Clock& m_clock;
    // Compiled rules per collection; dropped when the collection changes.
    std::optional<QList<Rule>> m_dictionaryRules;
    std::optional<QList<Rule>> m_snippetRules;
    // SQLite's count of commits by other connections when the rules were made.
    qint64 m_dataVersion = -1;
};
