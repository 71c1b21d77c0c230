#pragma once

#include <QList>
#include <QString>
#include <QUuid>

#include "records/HistoryRecord.h"

class Clock;
class HistoryDatabase;
class QDateTime;
class QSqlDatabase;

// The finished dictations of the history store: saved with their folded
// text, listed newest first, searched case- and accent-insensitively. Main
// thread only, except searchStore.
class TranscriptionStore {
public:
    TranscriptionStore(HistoryDatabase& database, Clock& clock);

    void save(const QString& text, const QString& language, double duration);
    // Newest first; a limit of 0 or less means no limit.
    QList<HistoryRecord> fetch(int limit, int offset);
    void remove(const QUuid& id);
    void clearAll();
    // An empty query returns every record.
    QList<HistoryRecord> search(const QString& query);
    // The same search on a connection of its own, safe on any thread.
    static QList<HistoryRecord> searchStore(const QString& databasePath, const QString& query,
                                            const QDateTime& now, int limit);

    // Gives every stored record its folded text (older stores).
    static bool foldExistingTexts(const QSqlDatabase& db, QString* error);
    static int wordCount(const QString& text);
    static QString foldForSearch(const QString& text);

private:
    static QList<HistoryRecord> searchOn(const QSqlDatabase& db, bool hasContains,
                                         const QString& query, const QDateTime& now, int limit);

    HistoryDatabase& m_database;
    Clock& m_clock;
};
