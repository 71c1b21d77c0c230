#include "records/HistoryDatabase.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "platform/DebugLog.h"
#include "platform/NotificationCenter.h"
#include "platform/PrivateFiles.h"
#include "records/HistoryServiceSql.h"
#include "records/TranscriptionStore.h"

using namespace historysql;

namespace {

// 1: the first store. 2: every record has its folded text, the trigram
// index covers exactly those.
constexpr int kSchemaVersion = 2;

QAtomicInteger<int> g_connectionSeq;

}  // namespace

QString HistoryDatabase::uniqueConnectionName(const QString& prefix) {
    return prefix + QString::number(g_connectionSeq.fetchAndAddRelaxed(1));
}

HistoryDatabase::HistoryDatabase(QString path)
    : m_path(std::move(path)),
      m_connection(uniqueConnectionName(QStringLiteral("ormil-history-"))) {}

HistoryDatabase::~HistoryDatabase() {
    if (m_built) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QSqlDatabase HistoryDatabase::connection() const {
    return QSqlDatabase::database(m_connection, false);
}

bool HistoryDatabase::ensureOpen() {
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

bool HistoryDatabase::createSchema(QString* error) {
    QSqlDatabase db = connection();
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
    if (ok && version > 0) ok = TranscriptionStore::foldExistingTexts(db, error);
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

bool HistoryDatabase::write(const std::function<bool(int& changes, QString& error)>& body) {
    QSqlDatabase db = connection();
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

bool HistoryDatabase::writeStatement(const QString& sql, const QVariantList& values) {
    return write([&](int& changes, QString& error) {
        QSqlQuery q(connection());
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

qint64 HistoryDatabase::dataVersion() const {
    QSqlQuery version(connection());
    return version.exec(QStringLiteral("PRAGMA data_version")) && version.next()
               ? version.value(0).toLongLong()
               : -1;
}
