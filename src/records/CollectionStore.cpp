#include "records/CollectionStore.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "records/HistoryDatabase.h"
#include "records/HistoryServiceSql.h"

using namespace historysql;

// What differs between the dictionary and the snippets.
struct CollectionStore::Collection {
    QString table;
    QString keyColumn;    // trigger / shortcut
    QString valueColumn;  // replacement / text
    QString fetchFailed;
    QString deleteFailed;
    QString updateFailed;
    QString clearFailed;
};

const CollectionStore::Collection& CollectionStore::collection(Kind kind) {
    static const Collection dictionary{QStringLiteral("dictionary_entries"),
                                       QStringLiteral("trigger"),
                                       QStringLiteral("replacement"),
                                       QStringLiteral("❌ Failed to fetch dictionary: "),
                                       QStringLiteral("Failed to delete dictionary entry: "),
                                       QStringLiteral("Failed to update dictionary entry: "),
                                       QStringLiteral("[CoreData] Failed to clear dictionary: ")};
    static const Collection snippets{QStringLiteral("snippets"),
                                     QStringLiteral("shortcut"),
                                     QStringLiteral("text"),
                                     QStringLiteral("❌ Failed to fetch snippets: "),
                                     QStringLiteral("Failed to delete snippet: "),
                                     QStringLiteral("Failed to update snippet: "),
                                     QStringLiteral("[CoreData] Failed to clear snippets: ")};
    return kind == Kind::Dictionary ? dictionary : snippets;
}

CollectionStore::CollectionStore(HistoryDatabase& database, Clock& clock)
    : m_database(database), m_clock(clock) {}

std::optional<QList<CollectionStore::Rule>>& CollectionStore::cacheFor(Kind kind) {
    return kind == Kind::Dictionary ? m_dictionaryRules : m_snippetRules;
}

QList<HistoryRecord> CollectionStore::fetch(Kind kind) {
    const Collection& c = collection(kind);
    if (!m_database.ensureOpen()) {
        printLine(c.fetchFailed + QStringLiteral("the store is not loaded"));
        return {};
    }
    QSqlQuery q(m_database.connection());
    q.setForwardOnly(true);
    // BINARY collation compares UTF-8 bytes: plain code-point order.
    if (!q.exec(QStringLiteral("SELECT id, \"%2\", \"%3\" FROM %1 ORDER BY \"%2\" ASC, rowid ASC")
                    .arg(c.table, c.keyColumn, c.valueColumn))) {
        printLine(c.fetchFailed + errorText(q));
        return {};
    }
    QList<HistoryRecord> out;
    while (q.next()) {
        HistoryRecord r;
        r.insert(QStringLiteral("id"), uuidOrFresh(q.value(0)));
        r.insert(c.keyColumn, stringOrEmpty(q.value(1)));
        r.insert(c.valueColumn, stringOrEmpty(q.value(2)));
        out.append(r);
    }
    return out;
}

void CollectionStore::insert(Kind kind, const QString& key, const QString& value) {
    write(kind, {{key, value}}, false);
}

void CollectionStore::replaceAll(Kind kind, const QList<QPair<QString, QString>>& entries) {
    write(kind, entries, true);
}

void CollectionStore::write(Kind kind, const QList<QPair<QString, QString>>& entries,
                            bool clearFirst) {
    const Collection& c = collection(kind);
    // A write before anything opened the store opens it first.
    if (!m_database.ensureOpen()) return;
    const double now = toStoredTime(m_clock.currentDateTime());
    const bool saved = m_database.write([&](int& changes, QString& error) {
        QSqlDatabase db = m_database.connection();
        if (clearFirst) {
            QSqlQuery clear(db);
            if (!clear.exec(QStringLiteral("DELETE FROM %1").arg(c.table))) {
                // Keeping the old entries beside the new ones would double the
                // collection: the whole replacement is given up instead.
                debugLog(c.clearFailed + errorText(clear));
                error = errorText(clear);
                return false;
            }
            changes += clear.numRowsAffected();
        }
        QSqlQuery q(db);
        q.prepare(
            QStringLiteral("INSERT INTO %1 (id, \"%2\", \"%3\", createdAt) VALUES (?, ?, ?, ?)")
                .arg(c.table, c.keyColumn, c.valueColumn));
        for (const auto& [key, value] : entries) {
            q.addBindValue(idText(QUuid::createUuid()));
            q.addBindValue(key);
            q.addBindValue(value);
            q.addBindValue(now);
            if (!q.exec()) {
                error = errorText(q);
                return false;
            }
            ++changes;
        }
        return true;
    });
    if (saved) cacheFor(kind).reset();
}

void CollectionStore::remove(Kind kind, const QUuid& id) {
    const Collection& c = collection(kind);
    if (!m_database.ensureOpen()) {
        printLine(c.deleteFailed + QStringLiteral("the store is not loaded"));
        return;
    }
    if (m_database.writeStatement(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(c.table),
                                  {idText(id)}))
        cacheFor(kind).reset();
}

void CollectionStore::update(Kind kind, const QUuid& id, const QString& key, const QString& value) {
    const Collection& c = collection(kind);
    if (!m_database.ensureOpen()) {
        printLine(c.updateFailed + QStringLiteral("the store is not loaded"));
        return;
    }
    // The first entry with that id; setting the values it already has is no
    // change.
    const QString sql =
        QStringLiteral(
            "UPDATE %1 SET \"%2\" = ?, \"%3\" = ? WHERE rowid = (SELECT rowid FROM %1 "
            "WHERE id = ? ORDER BY rowid LIMIT 1) AND (\"%2\" IS NOT ? OR \"%3\" IS NOT ?)")
            .arg(c.table, c.keyColumn, c.valueColumn);
    if (m_database.writeStatement(sql, {key, value, idText(id), key, value}))
        cacheFor(kind).reset();
}

const QList<CollectionStore::Rule>& CollectionStore::rules(Kind kind) {
    if (m_database.isLoaded()) {
        // Another connection (a second window of the same store, a tool)
        // may have changed the collections since the rules were compiled.
        const qint64 seen = m_database.dataVersion();
        if (seen != m_dataVersion) {
            m_dictionaryRules.reset();
            m_snippetRules.reset();
            m_dataVersion = seen;
        }
    }
    std::optional<QList<Rule>>& cache = cacheFor(kind);
    if (cache) return *cache;
    const Collection& c = collection(kind);
    QList<Rule> out;
    for (const HistoryRecord& r : fetch(kind)) {
        const QVariant key = r.value(c.keyColumn);
        const QVariant value = r.value(c.valueColumn);
        if (key.typeId() != QMetaType::QString || value.typeId() != QMetaType::QString) continue;
        const QString trigger = key.toString();
        // A blank trigger would match at every gap between two spaces.
        if (trigger.trimmed().isEmpty()) continue;
        // The trigger framed by word boundaries, where word characters are
        // letters, combining marks, decimal digits and connector punctuation
        // of any script. A boundary lies between a word character and a
        // non-word one, so a trigger that ends in punctuation ("c++") needs a
        // word character after it and one that begins with it (".net") one
        // before it.
        static const QString boundary = QStringLiteral(
            "(?:(?<=[\\p{L}\\p{M}\\p{Nd}\\p{Pc}])(?![\\p{L}\\p{M}\\p{Nd}\\p{Pc}])"
            "|(?<![\\p{L}\\p{M}\\p{Nd}\\p{Pc}])(?=[\\p{L}\\p{M}\\p{Nd}\\p{Pc}]))");
        QRegularExpression pattern(boundary + QRegularExpression::escape(trigger) + boundary,
                                   QRegularExpression::CaseInsensitiveOption |
                                       QRegularExpression::UseUnicodePropertiesOption);
        if (!pattern.isValid()) continue;
        pattern.optimize();
        out.append(Rule{trigger, value.toString(), std::move(pattern)});
    }
    // A store that is not loaded has nothing to cache: ask again next time.
    if (!m_database.isLoaded()) {
        static const QList<Rule> none;
        return none;
    }
    cache = std::move(out);
    return *cache;
}

QString CollectionStore::apply(Kind kind, const QString& text) {
    QString current = text;
    for (const Rule& rule : rules(kind)) {
        // Cheap test first; the expression decides about word boundaries.
        if (!current.contains(rule.trigger, Qt::CaseInsensitive)) continue;
        QRegularExpressionMatchIterator it = rule.pattern.globalMatch(current);
        if (!it.hasNext()) continue;
        QString result;
        result.reserve(current.size());
        qsizetype last = 0;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            result += QStringView(current).mid(last, m.capturedStart() - last);
            // Inserted as typed: "$5" or "C:\dir" are text, not a template.
            result += rule.replacement;
            last = m.capturedEnd();
        }
        result += QStringView(current).mid(last);
        current = std::move(result);
    }
    return current;
}
