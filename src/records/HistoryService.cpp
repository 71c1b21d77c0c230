#include "records/HistoryService.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>

#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/NotificationCenter.h"
#include "platform/PrivateFiles.h"
#include "platform/Threading.h"
#include "records/HistoryServiceSql.h"

using namespace historysql;

namespace {

// 1: the first store. 2: every record has its folded text, the trigram
// index covers exactly those.
constexpr int kSchemaVersion = 2;

QAtomicInteger<int> g_connectionSeq;

}  // namespace

HistoryService& HistoryService::shared() {
    static HistoryService* instance = new HistoryService(defaultDatabasePath(), Clock::system());
    return *instance;
}

QString HistoryService::defaultDatabasePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Ormil/Ormil.sqlite");
}

HistoryService::HistoryService(QString databasePath, Clock& clock)
    : m_path(std::move(databasePath)),
      m_clock(clock),
      m_connection(QStringLiteral("ormil-history-%1").arg(g_connectionSeq.fetchAndAddRelaxed(1))) {}

HistoryService::~HistoryService() {
    if (m_built) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
}

bool HistoryService::isStoreLoaded() {
    ORMIL_ASSERT_MAIN_THREAD();
    ensureOpen();
    return m_loaded;
}

bool HistoryService::ensureOpen() {
    if (m_built) return m_loaded;
    m_built = true;
    debugLog(
        QStringLiteral("[CoreData] Model created programmatically, entities: [\"Transcription\", "
                       "\"DictionaryEntry\", \"Snippet\"]"));
    debugLog(QStringLiteral("[CoreData] Loading persistent stores..."));

    QString error;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    const QFileInfo info(m_path);
    if (!PrivateFiles::ensureDir(info.absolutePath())) {
        error = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
    } else {
        if (!info.exists()) {
            // Dictated text: private to the user from the first byte on.
            QFile file(m_path);
            if (file.open(QIODevice::WriteOnly))
                file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        if (!db.open())
            error = db.lastError().text();
        else if (!createSchema(&error))
            db.close();
        else
            m_hasContains = registerContains(db);
    }

    if (!error.isEmpty()) {
        debugLog(QStringLiteral("[CoreData] FAILED to load: ") + error);
        m_loaded = false;
    } else {
        debugLog(QStringLiteral("[CoreData] Store loaded OK: ") + m_path);
        m_loaded = true;
    }
    debugLog(QStringLiteral("[CoreData] After loadPersistentStores, isStoreLoaded=") +
             boolText(m_loaded));
    return m_loaded;
}

bool HistoryService::createSchema(QString* error) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    auto exec = [&](const QString& sql) {
        if (q.exec(sql)) return true;
        *error = errorText(q);
        return false;
    };
    // WAL keeps readers and the one writer apart and makes each commit cheap.
    if (!exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
        !exec(QStringLiteral("PRAGMA synchronous=NORMAL")) ||
        // Searches read the folded texts of every record: mapped, they are
        // read in place instead of copied page by page into a small cache.
        !exec(QStringLiteral("PRAGMA mmap_size = 268435456")) ||
        !exec(QStringLiteral("PRAGMA user_version")))
        return false;
    const int version = q.next() ? q.value(0).toInt() : 0;
    if (version > kSchemaVersion) {
        *error = QStringLiteral("the store was written by a newer version (%1)").arg(version);
        return false;
    }
    if (version == kSchemaVersion) return true;

    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    bool ok =
        exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS transcriptions (id TEXT NOT NULL, text TEXT NOT NULL, "
            "language TEXT NOT NULL, timestamp REAL NOT NULL, duration REAL NOT NULL DEFAULT 0, "
            "wordCount INTEGER NOT NULL DEFAULT 0)")) &&
        // The folded text of each record under the record's rowid, written
        // with the record: a search compares with it and never folds a
        // stored text again.
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS transcription_text (id INTEGER PRIMARY "
                            "KEY, searchText TEXT NOT NULL)")) &&
        exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS transcriptions_delete AFTER DELETE ON "
                            "transcriptions BEGIN DELETE FROM transcription_text WHERE id = "
                            "OLD.rowid; END")) &&
        exec(QStringLiteral("CREATE INDEX IF NOT EXISTS transcriptions_by_time ON "
                            "transcriptions (timestamp)")) &&
        exec(QStringLiteral(
            "CREATE INDEX IF NOT EXISTS transcriptions_by_id ON transcriptions (id)")) &&
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS dictionary_entries (id TEXT NOT NULL, "
                            "\"trigger\" TEXT NOT NULL, replacement TEXT NOT NULL, "
                            "createdAt REAL NOT NULL)")) &&
        exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS snippets (id TEXT NOT NULL, "
            "shortcut TEXT NOT NULL, text TEXT NOT NULL, createdAt REAL NOT NULL)")) &&
        // The trigram index is made anew below (an older store's may cover
        // other texts); without it, folding the older records is quick.
        exec(QStringLiteral("DROP TRIGGER IF EXISTS transcription_search_delete")) &&
        exec(QStringLiteral("DROP TRIGGER IF EXISTS transcription_text_insert")) &&
        exec(QStringLiteral("DROP TRIGGER IF EXISTS transcription_text_delete")) &&
        exec(QStringLiteral("DROP TABLE IF EXISTS transcription_search"));
    // An older store may hold records without a folded text (or folded
    // texts of records that are gone): made once here, so every record is
    // found from now on.
    if (ok && version > 0) ok = foldExistingTexts(error);
    ok = ok &&
         // A trigram index over the folded texts: a substring search of three
         // characters or more is an index lookup instead of a scan. Filled
         // from the folded texts.
         exec(QStringLiteral("CREATE VIRTUAL TABLE transcription_search USING "
                             "fts5(searchText, content = 'transcription_text', content_rowid = "
                             "'id', tokenize = 'trigram case_sensitive 1')")) &&
         exec(QStringLiteral("CREATE TRIGGER transcription_text_insert AFTER INSERT "
                             "ON transcription_text BEGIN INSERT INTO transcription_search "
                             "(rowid, searchText) VALUES (NEW.id, NEW.searchText); END")) &&
         exec(QStringLiteral("CREATE TRIGGER transcription_text_delete AFTER DELETE "
                             "ON transcription_text BEGIN INSERT INTO transcription_search "
                             "(transcription_search, rowid, searchText) VALUES ('delete', "
                             "OLD.id, OLD.searchText); END")) &&
         exec(QStringLiteral("INSERT INTO transcription_search (transcription_search) "
                             "VALUES ('rebuild')")) &&
         exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    if (!ok || !db.commit()) {
        if (ok) *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

bool HistoryService::foldExistingTexts(QString* error) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
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

bool HistoryService::write(const std::function<bool(int& changes, QString& error)>& body) {
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    int changes = 0;
    QString error;
    if (!db.transaction()) {
        printLine(QStringLiteral("Failed to save context: ") + db.lastError().text());
        return false;
    }
    if (!body(changes, error)) {
        db.rollback();
        printLine(QStringLiteral("Failed to save context: ") + error);
        return false;
    }
    if (changes == 0) {
        db.rollback();
        return true;
    }
    if (!db.commit()) {
        printLine(QStringLiteral("Failed to save context: ") + db.lastError().text());
        db.rollback();
        return false;
    }
    NotificationCenter::shared().postDataChanged();
    return true;
}

bool HistoryService::writeStatement(const QString& sql, const QVariantList& values) {
    return write([&](int& changes, QString& error) {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
        q.prepare(sql);
        for (const QVariant& v : values) q.addBindValue(v);
        if (!q.exec()) {
            error = errorText(q);
            return false;
        }
        changes = q.numRowsAffected();
        return true;
    });
}

// ---- transcriptions ----

void HistoryService::saveTranscription(const QString& text, const QString& language,
                                       double duration) {
    ORMIL_ASSERT_MAIN_THREAD();
    // A save that comes before anything else opened the store opens it.
    const bool loaded = ensureOpen();
    debugLog(QStringLiteral("[CoreData] saveTranscription called, isStoreLoaded=") +
             boolText(loaded));
    if (!loaded) {
        debugLog(QStringLiteral("[CoreData] Store NOT loaded, skipping save!"));
        return;
    }
    const bool saved = write([&](int& changes, QString& error) {
        QSqlQuery q(QSqlDatabase::database(m_connection, false));
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
        QSqlQuery index(QSqlDatabase::database(m_connection, false));
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

QList<HistoryRecord> HistoryService::fetchTranscriptions(int limit, int offset) {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool loaded = ensureOpen();
    debugLog(QStringLiteral("[CoreData] fetchTranscriptions called, isStoreLoaded=") +
             boolText(loaded));
    if (!loaded) {
        debugLog(QStringLiteral("[CoreData] fetchTranscriptions FAILED: the store is not loaded"));
        return {};
    }
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
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

QList<HistoryRecord> HistoryService::searchTranscriptions(const QString& query) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!ensureOpen()) {
        printLine(QStringLiteral("Failed to search transcriptions: the store is not loaded"));
        return {};
    }
    return searchOn(QSqlDatabase::database(m_connection, false), m_hasContains, query,
                    m_clock.currentDateTime(), 0);
}

QList<HistoryRecord> HistoryService::searchStore(const QString& databasePath, const QString& query,
                                                 const QDateTime& now, int limit) {
    // A connection belongs to the thread that opened it: one per call.
    const QString name =
        QStringLiteral("ormil-history-search-%1").arg(g_connectionSeq.fetchAndAddRelaxed(1));
    QList<HistoryRecord> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(databasePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
        if (!QFileInfo::exists(databasePath) || !db.open()) {
            printLine(QStringLiteral("Failed to search transcriptions: the store is not loaded"));
        } else {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA mmap_size = 268435456"));
            out = searchOn(db, registerContains(db), query, now, limit);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

QList<HistoryRecord> HistoryService::searchOn(const QSqlDatabase& db, bool hasContains,
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

void HistoryService::deleteTranscription(const QUuid& id) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!ensureOpen()) {
        printLine(QStringLiteral("❌ Failed to delete transcription: the store is not loaded"));
        return;
    }
    writeStatement(QStringLiteral("DELETE FROM transcriptions WHERE id = ?"), {idText(id)});
}

void HistoryService::clearAllTranscriptions() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!ensureOpen()) {
        printLine(QStringLiteral("Failed to clear transcriptions: the store is not loaded"));
        return;
    }
    writeStatement(QStringLiteral("DELETE FROM transcriptions"), {});
}

// ---- helpers ----

int HistoryService::wordCount(const QString& text) {
    return int(text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size());
}

QString HistoryService::foldForSearch(const QString& text) {
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
