#include "records/TranscriptionStore.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "records/HistoryDatabase.h"
#include "records/HistoryServiceSql.h"

using namespace historysql;

TranscriptionStore::TranscriptionStore(HistoryDatabase& database, Clock& clock)
    : m_database(database), m_clock(clock) {}

void TranscriptionStore::save(const QString& text, const QString& language, double duration) {
    // A save that comes before anything else opened the store opens it.
    const bool loaded = m_database.ensureOpen();
    debugLog(QStringLiteral("[CoreData] saveTranscription called, isStoreLoaded=") +
             boolText(loaded));
    if (!loaded) {
        debugLog(QStringLiteral("[CoreData] Store NOT loaded, skipping save!"));
        return;
    }
    const bool saved = m_database.write([&](int& changes, QString& error) {
        QSqlQuery q(m_database.connection());
        q.prepare(QStringLiteral(
            "INSERT INTO transcriptions (id, text, language, timestamp, duration, wordCount) "
            "VALUES (?, ?, ?, ?, ?, ?)"));
        q.addBindValue(idText(QUuid::createUuid()));
        q.addBindValue(text);
        q.addBindValue(language);
        q.addBindValue(toStoredTime(m_clock.currentDateTime()));
        q.addBindValue(duration);
        q.addBindValue(wordCount(text));
        if (!q.exec()) {
            error = errorText(q);
            return false;
        }
        QSqlQuery index(m_database.connection());
        index.prepare(
            QStringLiteral("INSERT INTO transcription_text (id, searchText) VALUES (?, ?)"));
        index.addBindValue(q.lastInsertId());
        index.addBindValue(foldForSearch(text));
        if (!index.exec()) {
            error = errorText(index);
            return false;
        }
        changes = 1;
        return true;
    });
    if (saved) debugLog(QStringLiteral("[CoreData] Transcription saved OK"));
}

// `now` stands in for a record without a time.
static HistoryRecord transcriptionRecord(const QSqlQuery& q, const QDateTime& now) {
    HistoryRecord r;
    r.insert(QStringLiteral("id"), uuidOrFresh(q.value(0)));
    r.insert(QStringLiteral("text"), stringOrEmpty(q.value(1)));
    const QVariant language = q.value(2);
    r.insert(QStringLiteral("language"),
             language.isNull() ? QStringLiteral("unknown") : language.toString());
    r.insert(QStringLiteral("timestamp"), fromStoredTime(q.value(3), now));
    r.insert(QStringLiteral("duration"), q.value(4).toDouble());
    r.insert(QStringLiteral("wordCount"), q.value(5).toInt());
    return r;
}

QList<HistoryRecord> TranscriptionStore::fetch(int limit, int offset) {
    const bool loaded = m_database.ensureOpen();
    debugLog(QStringLiteral("[CoreData] fetchTranscriptions called, isStoreLoaded=") +
             boolText(loaded));
    if (!loaded) {
        debugLog(QStringLiteral("[CoreData] fetchTranscriptions FAILED: the store is not loaded"));
        return {};
    }
    QSqlQuery q(m_database.connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral(
        "SELECT id, text, language, timestamp, duration, wordCount FROM transcriptions "
        "ORDER BY timestamp DESC, rowid DESC LIMIT ? OFFSET ?"));
    q.addBindValue(limit > 0 ? limit : -1);
    q.addBindValue(qMax(0, offset));
    if (!q.exec()) {
        debugLog(QStringLiteral("[CoreData] fetchTranscriptions FAILED: ") + errorText(q));
        return {};
    }
    QList<HistoryRecord> out;
    const QDateTime now = m_clock.currentDateTime();
    while (q.next()) out.append(transcriptionRecord(q, now));
    debugLog(QStringLiteral("[CoreData] fetchTranscriptions: %1 results").arg(out.size()));
    return out;
}

QList<HistoryRecord> TranscriptionStore::search(const QString& query) {
    if (!m_database.ensureOpen()) {
        printLine(QStringLiteral("Failed to search transcriptions: the store is not loaded"));
        return {};
    }
    return searchOn(m_database.connection(), m_database.hasContains(), query,
                    m_clock.currentDateTime(), 0);
}

QList<HistoryRecord> TranscriptionStore::searchStore(const QString& databasePath,
                                                     const QString& query, const QDateTime& now,
                                                     int limit) {
    // A connection belongs to the thread that opened it: one per call.
    const QString name =
        HistoryDatabase::uniqueConnectionName(QStringLiteral("ormil-history-search-"));
    QList<HistoryRecord> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!QFileInfo::exists(databasePath) || !db.open()) {
            printLine(QStringLiteral("Failed to search transcriptions: the store is not loaded"));
        } else {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
            out = searchOn(db, HistoryDatabase::registerContains(db), query, now, limit);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QList<HistoryRecord> TranscriptionStore::searchOn(const QSqlDatabase& db, bool hasContains,
                                                  const QString& query, const QDateTime& now,
                                                  int limit) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString folded = foldForSearch(query);
    QString sql = QStringLiteral(
        "SELECT id, text, language, timestamp, duration, wordCount FROM transcriptions ");
    QString argument;
    if (!query.isEmpty() && limit > 0) {
        // The newest few: the records are walked newest first and each
        // folded text is tested until enough matched, so a query that
        // matches most records stops early.
        sql += hasContains
                   ? QStringLiteral(
                         "WHERE EXISTS (SELECT 1 FROM transcription_text t WHERE "
                         "t.id = transcriptions.rowid AND ormil_contains(t.searchText, ?)) ")
                   : QStringLiteral(
                         "WHERE EXISTS (SELECT 1 FROM transcription_text t WHERE "
                         "t.id = transcriptions.rowid AND instr(t.searchText, ?) > 0) ");
        argument = folded;
    } else if (!query.isEmpty()) {
        // Three characters or more: the trigram index finds the substring
        // (quoted, so the query is taken literally). Shorter queries have no
        // trigram and scan the folded texts.
        if (folded.toUcs4().size() >= 3) {
            sql += QStringLiteral(
                "WHERE rowid IN (SELECT rowid FROM transcription_search WHERE "
                "transcription_search MATCH ?) ");
            argument = QLatin1Char('"') +
                       QString(folded).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
                       QLatin1Char('"');
        } else {
            // A plain byte search over the folded texts (SQLite's own instr
            // steps through them one byte at a time).
            sql += hasContains ? QStringLiteral(
                                     "WHERE rowid IN (SELECT id FROM transcription_text "
                                     "WHERE ormil_contains(searchText, ?)) ")
                               : QStringLiteral(
                                     "WHERE rowid IN (SELECT id FROM transcription_text "
                                     "WHERE instr(searchText, ?) > 0) ");
            argument = folded;
        }
    }
    sql += QStringLiteral("ORDER BY timestamp DESC, rowid DESC");
    if (limit > 0) sql += QStringLiteral(" LIMIT %1").arg(limit);
    q.prepare(sql);
    if (!query.isEmpty()) q.addBindValue(argument);
    if (!q.exec()) {
        printLine(QStringLiteral("Failed to search transcriptions: ") + errorText(q));
        return {};
    }
    QList<HistoryRecord> out;
    while (q.next()) out.append(transcriptionRecord(q, now));
    return out;
}

void TranscriptionStore::remove(const QUuid& id) {
    if (!m_database.ensureOpen()) {
        printLine(QStringLiteral("❌ Failed to delete transcription: the store is not loaded"));
        return;
    }
    m_database.writeStatement(QStringLiteral("DELETE FROM transcriptions WHERE id = ?"),
                              {idText(id)});
}

void TranscriptionStore::clearAll() {
    if (!m_database.ensureOpen()) {
        printLine(QStringLiteral("Failed to clear transcriptions: the store is not loaded"));
        return;
    }
    m_database.writeStatement(QStringLiteral("DELETE FROM transcriptions"), {});
}

bool TranscriptionStore::foldExistingTexts(const QSqlDatabase& db, QString* error) {
    QSqlQuery orphans(db);
    if (!orphans.exec(QStringLiteral("DELETE FROM transcription_text WHERE id NOT IN (SELECT "
                                     "rowid FROM transcriptions)"))) {
        *error = errorText(orphans);
        return false;
    }
    QSqlQuery missing(db);
    missing.setForwardOnly(true);
    if (!missing.exec(QStringLiteral("SELECT rowid, text FROM transcriptions WHERE rowid NOT IN "
                                     "(SELECT id FROM transcription_text)"))) {
        *error = errorText(missing);
        return false;
    }
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO transcription_text (id, searchText) VALUES (?, ?)"));
    int folded = 0;
    while (missing.next()) {
        insert.addBindValue(missing.value(0));
        insert.addBindValue(foldForSearch(stringOrEmpty(missing.value(1))));
        if (!insert.exec()) {
            *error = errorText(insert);
            return false;
        }
        ++folded;
    }
    if (folded > 0)
        debugLog(QStringLiteral("[CoreData] Search texts folded for %1 stored transcriptions")
                     .arg(folded));
    return true;
}

int TranscriptionStore::wordCount(const QString& text) {
    return int(text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}

QString TranscriptionStore::foldForSearch(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar ch : decomposed) {
        const QChar::Category cat = ch.category();
        if (cat == QChar::Mark_NonSpacing || cat == QChar::Mark_Enclosing) continue;
        out.append(ch);
    }
    return out.toCaseFolded();
}
