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
#include <cstdio>

#include "platform/DebugLog.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"

namespace {

constexpr int kSchemaVersion = 1;

QAtomicInteger<int> g_connectionSeq;

void printLine(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

double toStoredTime(const QDateTime& t) {
    return double(t.toMSecsSinceEpoch()) / 1000.0;
}

QDateTime fromStoredTime(const QVariant& v, Clock& clock) {
    bool ok = false;
    const double seconds = v.toDouble(&ok);
    if (!ok || v.isNull()) return clock.currentDateTime();
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0 + (seconds >= 0 ? 0.5 : -0.5)));
}

QUuid uuidOrFresh(const QVariant& v) {
    const QUuid id = QUuid::fromString(v.toString());
    return id.isNull() ? QUuid::createUuid() : id;
}

QString stringOrEmpty(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

QString idText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString errorText(const QSqlQuery& q) {
    return q.lastError().text();
}

}  // namespace

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
    if (!QDir().mkpath(info.absolutePath())) {
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
    const bool ok =
        exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS transcriptions (id TEXT NOT NULL, text TEXT NOT NULL, "
            "language TEXT NOT NULL, timestamp REAL NOT NULL, duration REAL NOT NULL DEFAULT 0, "
            "wordCount INTEGER NOT NULL DEFAULT 0)")) &&
        // The folded text of each record under the record's rowid, and a
        // trigram index over it: a substring search becomes an index lookup
        // instead of a scan of every record.
        exec(QStringLiteral("CREATE TABLE IF NOT EXISTS transcription_text (id INTEGER PRIMARY "
                            "KEY, searchText TEXT NOT NULL)")) &&
        exec(QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS transcription_search USING "
                            "fts5(searchText, content = 'transcription_text', content_rowid = "
                            "'id', tokenize = 'trigram case_sensitive 1')")) &&
        exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS transcription_text_insert AFTER INSERT "
                            "ON transcription_text BEGIN INSERT INTO transcription_search (rowid, "
                            "searchText) VALUES (NEW.id, NEW.searchText); END")) &&
        exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS transcription_text_delete AFTER DELETE "
                            "ON transcription_text BEGIN INSERT INTO transcription_search "
                            "(transcription_search, rowid, searchText) VALUES ('delete', OLD.id, "
                            "OLD.searchText); END")) &&
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
        exec(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    if (!ok || !db.commit()) {
        if (ok) *error = db.lastError().text();
        db.rollback();
        return false;
    }
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

static HistoryRecord transcriptionRecord(const QSqlQuery& q, Clock& clock) {
    HistoryRecord r;
    r.insert(QStringLiteral("id"), uuidOrFresh(q.value(0)));
    r.insert(QStringLiteral("text"), stringOrEmpty(q.value(1)));
    const QVariant language = q.value(2);
    r.insert(QStringLiteral("language"),
             language.isNull() ? QStringLiteral("unknown") : language.toString());
    r.insert(QStringLiteral("timestamp"), fromStoredTime(q.value(3), clock));
    r.insert(QStringLiteral("duration"), q.value(4).toDouble());
    r.insert(QStringLiteral("wordCount"), q.value(5).toInt());
    return r;
}

QList<HistoryRecord> HistoryService::fetchTranscriptions(int limit, int offset) {
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
    while (q.next()) out.append(transcriptionRecord(q, m_clock));
    debugLog(QStringLiteral("[CoreData] fetchTranscriptions: %1 results").arg(out.size()));
    return out;
}

QList<HistoryRecord> HistoryService::searchTranscriptions(const QString& query) {
    if (!ensureOpen()) {
        printLine(QStringLiteral("Failed to search transcriptions: the store is not loaded"));
        return {};
    }
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    const QString folded = foldForSearch(query);
    QString sql = QStringLiteral(
        "SELECT id, text, language, timestamp, duration, wordCount FROM transcriptions ");
    QString argument;
    if (!query.isEmpty()) {
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
            sql += QStringLiteral(
                "WHERE rowid IN (SELECT id FROM transcription_text WHERE "
                "instr(searchText, ?) > 0) ");
            argument = folded;
        }
    }
    sql += QStringLiteral("ORDER BY timestamp DESC, rowid DESC");
    q.prepare(sql);
    if (!query.isEmpty()) q.addBindValue(argument);
    if (!q.exec()) {
        printLine(QStringLiteral("Failed to search transcriptions: ") + errorText(q));
        return {};
    }
    QList<HistoryRecord> out;
    while (q.next()) out.append(transcriptionRecord(q, m_clock));
    return out;
}

void HistoryService::deleteTranscription(const QUuid& id) {
    if (!ensureOpen()) {
        printLine(QStringLiteral("❌ Failed to delete transcription: the store is not loaded"));
        return;
    }
    writeStatement(QStringLiteral("DELETE FROM transcriptions WHERE id = ?"), {idText(id)});
}

void HistoryService::clearAllTranscriptions() {
    if (!ensureOpen()) {
        printLine(QStringLiteral("Failed to clear transcriptions: the store is not loaded"));
        return;
    }
    writeStatement(QStringLiteral("DELETE FROM transcriptions"), {});
}

// ---- dictionary and snippets ----

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
    insertEntry(dictionary(), trigger, replacement);
}
QList<HistoryRecord> HistoryService::fetchDictionary() {
    return fetchCollection(dictionary());
}
void HistoryService::deleteDictionaryEntry(const QUuid& id) {
    deleteEntry(dictionary(), id);
}
void HistoryService::updateDictionaryEntry(const QUuid& id, const QString& trigger,
                                           const QString& replacement) {
    updateEntry(dictionary(), id, trigger, replacement);
}
void HistoryService::replaceAllDictionaryEntries(const QList<QPair<QString, QString>>& entries) {
    replaceAll(dictionary(), entries, true);
}
QString HistoryService::applyDictionary(const QString& text) {
    return applyRules(dictionary(), text);
}

void HistoryService::saveSnippet(const QString& shortcut, const QString& text) {
    insertEntry(snippets(), shortcut, text);
}
QList<HistoryRecord> HistoryService::fetchSnippets() {
    return fetchCollection(snippets());
}
void HistoryService::deleteSnippet(const QUuid& id) {
    deleteEntry(snippets(), id);
}
void HistoryService::updateSnippet(const QUuid& id, const QString& shortcut, const QString& text) {
    updateEntry(snippets(), id, shortcut, text);
}
void HistoryService::replaceAllSnippets(const QList<QPair<QString, QString>>& entries) {
    replaceAll(snippets(), entries, true);
}
QString HistoryService::applySnippets(const QString& text) {
    return applyRules(snippets(), text);
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
