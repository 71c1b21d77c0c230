#pragma once

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QUuid>
#include <QVariantMap>
#include <functional>
#include <optional>

class Clock;
class QDateTime;
class QSqlDatabase;

// One history record as callers receive it: string keys to values.
// Transcriptions: "id" (QUuid), "text", "language", "timestamp" (QDateTime),
// "duration" (double), "wordCount" (int). Dictionary entries: "id",
// "trigger", "replacement". Snippets: "id", "shortcut", "text".
using HistoryRecord = QVariantMap;

// The local store of finished dictations, the personal dictionary and the
// voice snippets: one SQLite file, schema built in code, one transaction per
// operation. Main thread only. Nothing throws: failures are logged and the
// operation returns an empty result or changes nothing. Every write that
// changed something posts ormilDataChanged once, after the call returned.
class HistoryService {
public:
    // The process-wide store in "~/.local/share/Ormil/Ormil.sqlite".
    static HistoryService& shared();
    static QString defaultDatabasePath();

    explicit HistoryService(QString databasePath, Clock& clock);
    ~HistoryService();
    HistoryService(const HistoryService&) = delete;
    HistoryService& operator=(const HistoryService&) = delete;

    // Opens the store on first use; a failed open is not retried.
    bool isStoreLoaded();
    QString databasePath() const { return m_path; }

    void saveTranscription(const QString& text, const QString& language, double duration);
    // Newest first; a limit of 0 or less means no limit.
    QList<HistoryRecord> fetchTranscriptions(int limit, int offset = 0);
    void deleteTranscription(const QUuid& id);
    void clearAllTranscriptions();
    // Case- and accent-insensitive substring search, newest first; an empty
    // query returns every record.
    QList<HistoryRecord> searchTranscriptions(const QString& query);
    // The same search on a connection of its own, for a worker thread while
    // the store is in use here: safe on any thread, and for a store already
    // opened (and so built) by a HistoryService. `now` stands in for a
    // record without a time. With a limit, only the newest `limit` matches.
    static QList<HistoryRecord> searchStore(const QString& databasePath, const QString& query,
                                            const QDateTime& now, int limit = 0);

    void saveDictionaryEntry(const QString& trigger, const QString& replacement);
    // Sorted by trigger in plain code-point order (capitals first).
    QList<HistoryRecord> fetchDictionary();
    void deleteDictionaryEntry(const QUuid& id);
    void updateDictionaryEntry(const QUuid& id, const QString& trigger, const QString& replacement);
    void replaceAllDictionaryEntries(const QList<QPair<QString, QString>>& entries);

    void saveSnippet(const QString& shortcut, const QString& text);
    QList<HistoryRecord> fetchSnippets();
    void deleteSnippet(const QUuid& id);
    void updateSnippet(const QUuid& id, const QString& shortcut, const QString& text);
    void replaceAllSnippets(const QList<QPair<QString, QString>>& snippets);

    // Replace every whole-word, case-insensitive occurrence of each trigger
    // (shortcut) by its replacement (text), entries in ascending trigger
    // order, each working on the previous result. Replacements are literal.
    QString applyDictionary(const QString& text);
    QString applySnippets(const QString& text);

    // Words separated by U+0020 only; runs of spaces count once.
    static int wordCount(const QString& text);
    // The form both stored texts and queries take for searching.
    static QString foldForSearch(const QString& text);

private:
    struct Rule {
        QString trigger;
        QString replacement;
        QRegularExpression pattern;
    };
    struct Collection;  // dictionary or snippets: table, column names, messages
    static const Collection& dictionary();
    static const Collection& snippets();
    std::optional<QList<Rule>>& cacheFor(const Collection& c);

    bool ensureOpen();
    // Gives the connection ormil_contains(text, part): whether the UTF-8
    // bytes of part occur in text. False when it cannot be added.
    static bool registerContains(const QSqlDatabase& db);
    bool createSchema(QString* error);
    // Gives every stored record its folded text, once (older stores).
    bool foldExistingTexts(QString* error);
    // Runs body inside one transaction; commits when it returns true. Posts
    // ormilDataChanged when the commit succeeded and rows changed.
    bool write(const std::function<bool(int& changes, QString& error)>& body);
    // write() of one statement; the rows it touched are the changes.
    bool writeStatement(const QString& sql, const QVariantList& values);

    static QList<HistoryRecord> searchOn(const QSqlDatabase& db, bool hasContains,
                                         const QString& query, const QDateTime& now, int limit);
    QList<HistoryRecord> fetchCollection(const Collection& c);
    void insertEntry(const Collection& c, const QString& key, const QString& value);
    void deleteEntry(const Collection& c, const QUuid& id);
    void updateEntry(const Collection& c, const QUuid& id, const QString& key,
                     const QString& value);
    void replaceAll(const Collection& c, const QList<QPair<QString, QString>>& entries,
                    bool clearFirst);
    QString applyRules(const Collection& c, const QString& text);
    const QList<Rule>& rules(const Collection& c);

    QString m_path;
    Clock& m_clock;
    QString m_connection;
    bool m_built = false;
    bool m_loaded = false;
    bool m_hasContains = false;
    // Compiled rules per collection; dropped when the collection changes.
    std::optional<QList<Rule>> m_dictionaryRules;
    std::optional<QList<Rule>> m_snippetRules;
    // SQLite's count of commits by other connections when the rules were made.
    qint64 m_dataVersion = -1;
};
