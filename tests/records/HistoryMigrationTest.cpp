// Stores written before every record carried its folded search text: the
// first open gives each record its text once, and searches then find every
// record of them, short queries and long ones alike.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>

#include "fakes/FakeClock.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"

namespace {

// Runs statements on the store file directly, as an older build left it.
void execOn(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "older-build");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& sql : statements) ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        db.close();
    }
    QSqlDatabase::removeDatabase("older-build");
}

QStringList textsOf(const QList<HistoryRecord>& records) {
    QStringList out;
    for (const HistoryRecord& r : records) out << r.value("text").toString();
    return out;
}

}  // namespace

TEST(HistoryMigration, RecordsWithoutAFoldedTextAreFoldedOnceAndFound) {
    FakeClock clock;
    const QString path = recordstest::freshDir("migration") + "/Ormil.sqlite";
    {
        HistoryService history(path, clock);
        for (const char* t : {"Café au lait", "Quarterly plan", "Привет, Мир"}) {
            history.saveTranscription(t, "en", 1);
            clock.advance(60);
        }
    }
    // An older build: two records without their folded text, one folded
    // text of a record that is gone.
    execOn(path, {"DELETE FROM transcription_text WHERE id IN (1, 3)",
                  "INSERT INTO transcription_text (id, searchText) VALUES (99, 'zombie cafe')",
                  "PRAGMA user_version = 1"});

    const struct {
        const char* query;
        QStringList found;
    } cases[] = {
        {"CAFE", {"Café au lait"}},
        {"ca", {"Café au lait"}},
        {"мир", {"Привет, Мир"}},
        {"q", {"Quarterly plan"}},
        {"zombie", {}},
    };
    for (int open = 0; open < 2; ++open) {
        HistoryService history(path, clock);
        for (const auto& c : cases)
            EXPECT_EQ(textsOf(history.searchTranscriptions(c.query)), c.found)
                << c.query << " open " << open;
    }
    EXPECT_EQ(recordstest::occurrences(testsupport::debugLogText(),
                                       "Search texts folded for 2 stored transcriptions"),
              1);
}

TEST(HistoryMigration, AStoreFromBeforeTheFoldedTextTableIsSearchable) {
    FakeClock clock;
    const QString path = recordstest::freshDir("oldest") + "/Ormil.sqlite";
    // The first store: the trigram index held its own copy of the texts.
    execOn(path,
           {"CREATE TABLE transcriptions (id TEXT NOT NULL, text TEXT NOT NULL, language TEXT "
            "NOT NULL, timestamp REAL NOT NULL, duration REAL NOT NULL DEFAULT 0, wordCount "
            "INTEGER NOT NULL DEFAULT 0)",
            "CREATE VIRTUAL TABLE transcription_search USING fts5(searchText, tokenize = "
            "'trigram case_sensitive 1')",
            "CREATE TRIGGER transcription_search_delete AFTER DELETE ON transcriptions BEGIN "
            "DELETE FROM transcription_search WHERE rowid = OLD.rowid; END",
            "INSERT INTO transcriptions VALUES ('6F1C2B9E-0000-4000-8000-000000000001', "
            "'Résumé draft', 'en', 800000000, 3, 2)",
            "INSERT INTO transcription_search (rowid, searchText) VALUES (1, 'resume draft')",
            "PRAGMA user_version = 1"});
    HistoryService history(path, clock);
    EXPECT_EQ(textsOf(history.searchTranscriptions("RESUME")), QStringList{"Résumé draft"});
    EXPECT_EQ(textsOf(history.searchTranscriptions("dr")), QStringList{"Résumé draft"});
    // Deleting keeps the index in step.
    history.deleteTranscription(history.fetchTranscriptions(0).first().value("id").toUuid());
    EXPECT_TRUE(history.searchTranscriptions("resume").isEmpty());
    history.saveTranscription("résumé again", "en", 1);
    EXPECT_EQ(textsOf(history.searchTranscriptions("RESUME")), QStringList{"résumé again"});
}
