// The dictionary and the voice snippets of the history store, and the
// replacement rules made from them.
#include <QSqlDatabase>
#include <QSqlQuery>

#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "records/HistoryService.h"
#include "records/HistoryServiceSql.h"
#include "platform/Threading.h"

using namespace historysql;

// What differs between the dictionary and the snippets.
struct HistoryService::Collection {
    QString table;
    QString keyColumn;    // trigger / shortcut
    QString valueColumn;  // replacement / text
    QString fetchFailed;
    QString deleteFailed;
    QString updateFailed;
    QString clearFailed;
    bool isDictionary;
};


const HistoryService::Collection& HistoryService::dictionary() {
    static const Collection c{QStringLiteral("dictionary_entries"),
                              QStringLiteral("trigger"),
                              QStringLiteral("replacement"),
                              QStringLiteral("❌ Failed to fetch dictionary: "),
                              QStringLiteral("Failed to delete dictionary entry: "),
                              QStringLiteral("Failed to update dictionary entry: "),
                              QStringLiteral("[CoreData] Failed to clear dictionary: "),
                              true};
    return c;
}

const HistoryService::Collection& HistoryService::snippets() {
    static const Collection c{QStringLiteral("snippets"),
                              QStringLiteral("shortcut"),
                              QStringLiteral("text"),
                              QStringLiteral("❌ Failed to fetch snippets: "),
                              QStringLiteral("Failed to delete snippet: "),
                              QStringLiteral("Failed to update snippet: "),
                              QStringLiteral("[CoreData] Failed to clear snippets: "),
                              false};
    return c;
}

std::optional<QList<HistoryService::Rule>>& HistoryService::cacheFor(const Collection& c) {
    return c.isDictionary ? m_dictionaryRules : m_snippetRules;
}

QList<HistoryRecord> HistoryService::fetchCollection(const Collection& c) {
    if (!ensureOpen()) {
        printLine(c.fetchFailed + QStringLiteral("the store is not loaded"));
        return {};
    }
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
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

void HistoryService::insertEntry(const Collection& c, const QString& key, const QString& value) {
    replaceAll(c, {{key, value}}, false);
}

void HistoryService::replaceAll(const Collection& c, const QList<QPair<QString, QString>>& entries,
                                bool clearFirst) {
    // A write before anything opened the store opens it first.
    if (!ensureOpen()) return;
    const double now = toStoredTime(m_clock.currentDateTime());
    const bool saved = write([&](int& changes, QString& error) {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
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
    if (saved) cacheFor(c).reset();
}

void HistoryService::deleteEntry(const Collection& c, const QUuid& id) {
    if (!ensureOpen()) {
        printLine(c.deleteFailed + QStringLiteral("the store is not loaded"));
        return;
    }
    if (writeStatement(QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(c.table), {idText(id)}))
        cacheFor(c).reset();
}

void HistoryService::updateEntry(const Collection& c, const QUuid& id, const QString& key,
                                 const QString& value) {
    if (!ensureOpen()) {
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
    if (writeStatement(sql, {key, value, idText(id), key, value})) cacheFor(c).reset();
}

const QList<HistoryService::Rule>& HistoryService::rules(const Collection& c) {
    if (m_loaded) {
        // Another connection (a second window of the same store, a tool)
        // may have changed the collections since the rules were compiled.
        QSqlQuery version(QSqlDatabase::database(m_connection, false));
        const qint64 seen = version.exec(QStringLiteral("PRAGMA data_version")) && version.next()
                                ? version.value(0).toLongLong()
                                : -1;
        if (seen != m_dataVersion) {
            m_dictionaryRules.reset();
            m_snippetRules.reset();
            m_dataVersion = seen;
        }
    }
    std::optional<QList<Rule>>& cache = cacheFor(c);
    if (cache) return *cache;
    QList<Rule> out;
    for (const HistoryRecord& r : fetchCollection(c)) {
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
    if (!m_loaded) {
        static const QList<Rule> none;
        return none;
    }
    cache = std::move(out);
    return *cache;
}

QString HistoryService::applyRules(const Collection& c, const QString& text) {
    QString current = text;
    for (const Rule& rule : rules(c)) {
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

void HistoryService::saveDictionaryEntry(const QString& trigger, const QString& replacement) {
    ORMIL_ASSERT_MAIN_THREAD();
    insertEntry(dictionary(), trigger, replacement);
}
QList<HistoryRecord> HistoryService::fetchDictionary() {
    ORMIL_ASSERT_MAIN_THREAD();
    return fetchCollection(dictionary());
}
void HistoryService::deleteDictionaryEntry(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    deleteEntry(dictionary(), id);
}
void HistoryService::updateDictionaryEntry(const QUuid& id, const QString& trigger,
                                           const QString& replacement) {
    ORMIL_ASSERT_MAIN_THREAD();
    updateEntry(dictionary(), id, trigger, replacement);
}
void HistoryService::replaceAllDictionaryEntries(const QList<QPair<QString, QString>>& entries) {
    ORMIL_ASSERT_MAIN_THREAD();
    replaceAll(dictionary(), entries, true);
}
QString HistoryService::applyDictionary(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    return applyRules(dictionary(), text);
}

void HistoryService::saveSnippet(const QString& shortcut, const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    insertEntry(snippets(), shortcut, text);
}
QList<HistoryRecord> HistoryService::fetchSnippets() {
    ORMIL_ASSERT_MAIN_THREAD();
    return fetchCollection(snippets());
}
void HistoryService::deleteSnippet(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    deleteEntry(snippets(), id);
}
void HistoryService::updateSnippet(const QUuid& id, const QString& shortcut, const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    updateEntry(snippets(), id, shortcut, text);
}
void HistoryService::replaceAllSnippets(const QList<QPair<QString, QString>>& entries) {
    ORMIL_ASSERT_MAIN_THREAD();
    replaceAll(snippets(), entries, true);
}
QString HistoryService::applySnippets(const QString& text) {
    ORMIL_ASSERT_MAIN_THREAD();
    return applyRules(snippets(), text);
}

