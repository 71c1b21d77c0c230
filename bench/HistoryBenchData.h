#pragma once

// The dictations the history benchmarks store: words of three languages,
// some with accents, drawn from a fixed seed; and a store filled with them
// the way a long-time user's store holds them.

#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>

#include "platform/Clock.h"
#include "records/HistoryService.h"

namespace historybench {

inline const QStringList& vocabulary() {
    static const QStringList words = {
        "the",    "meeting", "is",      "moved",    "to",      "Friday",  "please", "send",
        "report", "café",    "résumé",  "привет",   "встреча", "завтра",  "в",      "десять",
        "and",    "we",      "should",  "review",   "budget",  "numbers", "before", "lunch",
        "über",   "naïve",   "project", "deadline", "call",    "client",  "notes",  "draft"};
    return words;
}

inline QString randomText(QRandomGenerator& rng, int words) {
    QStringList out;
    for (int i = 0; i < words; ++i) out << vocabulary().at(rng.bounded(vocabulary().size()));
    return out.join(' ');
}

// Writes `count` dictations, one every 30 s up to the clock's now, straight
// into the store's tables in one transaction; with folded texts unless
// `withoutFoldedText`, which leaves them to the migration. About one record
// in a thousand mentions the quarterly plan.
inline void fillStore(const QString& path, Clock& clock, int count, bool withoutFoldedText) {
    {
        HistoryService history(path, clock);
        history.isStoreLoaded();  // builds the schema
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-fill");
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(
            "INSERT INTO transcriptions (id, text, language, timestamp, duration, wordCount) "
            "VALUES (?, ?, 'en', ?, 5, ?)");
        QSqlQuery folded(db);
        folded.prepare("INSERT INTO transcription_text (id, searchText) VALUES (?, ?)");
        QRandomGenerator rng(42);
        const double start = clock.currentDateTime().toSecsSinceEpoch() - count * 30.0;
        for (int i = 0; i < count; ++i) {
            QString text = randomText(rng, 10 + rng.bounded(30));
            if (i % 1000 == 7) text += QStringLiteral(" Quarterly Plän");
            insert.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
            insert.addBindValue(text);
            insert.addBindValue(start + i * 30.0);
            insert.addBindValue(HistoryService::wordCount(text));
            insert.exec();
            if (!withoutFoldedText) {
                folded.addBindValue(insert.lastInsertId());
                folded.addBindValue(HistoryService::foldForSearch(text));
                folded.exec();
            }
        }
        db.commit();
        if (withoutFoldedText) QSqlQuery(db).exec("PRAGMA user_version = 1");
        db.close();
    }
    QSqlDatabase::removeDatabase("bench-fill");
}

}  // namespace historybench
