#pragma once

#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QString>
#include <QUuid>
#include <QVariantMap>

#include "records/CollectionStore.h"
#include "records/HistoryDatabase.h"
#include "records/HistoryRecord.h"
#include "records/TranscriptionStore.h"

class Clock;
class QDateTime;

// The local store of finished dictations, the personal dictionary and the
// voice snippets: one SQLite file, schema built in code, one transaction per
// operation. Main thread only. Nothing throws: failures are logged and the
// operation returns an empty result or changes nothing. Every write that
// changed something posts ormilDataChanged once, after the call returned.
// A facade over the two stores that share one connection: the dictations
// (TranscriptionStore) and the dictionary and snippets (CollectionStore).
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
    QString databasePath() const { return m_database.path(); }

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
    HistoryDatabase m_database;
    TranscriptionStore m_transcriptions;
    CollectionStore m_collections;
};
