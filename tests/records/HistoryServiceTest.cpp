#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "fakes/FakeClock.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"

using recordstest::DataChangedCounter;

namespace {

class HistoryServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = recordstest::freshDir(QStringLiteral("history-") + info->name());
        path = dir + QStringLiteral("/Ormil/Ormil.sqlite");
        history = std::make_unique<HistoryService>(path, clock);
    }

    QStringList texts(const QList<HistoryRecord>& records) {
        QStringList out;
        for (const HistoryRecord& r : records) out << r.value("text").toString();
        return out;
    }

    // Runs sql on a second connection to the same file (as another writer would).
    void execOnSecondConnection(const QString& sql) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "second");
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        }
        QSqlDatabase::removeDatabase("second");
    }

    FakeClock clock;
    QString dir;
    QString path;
    std::unique_ptr<HistoryService> history;
};

struct ReplacementCase {
    const char* name;
    QList<QPair<QString, QString>> entries;
    QString input;
    QString expected;
};

const ReplacementCase kReplacementCases[] = {
    {"whole words, any case", {{"ai", "AI"}}, "Ai and ai, but not aim", "AI and AI, but not aim"},
    {"Cyrillic whole words",
     {{"привет", "Здравствуйте"}},
     "Привет, приветствие и ПРИВЕТ",
     "Здравствуйте, приветствие и Здравствуйте"},
    {"digits and underscore are word characters",
     {{"ai", "AI"}},
     "ai_model ai2 2ai ai",
     "ai_model ai2 2ai AI"},
    {"metacharacters are literal", {{"c.t", "X"}}, "cat c.t", "cat X"},
    // Word boundaries: punctuation at a trigger's edge needs a word character
    // beyond it.
    {"trailing punctuation", {{"c++", "C++"}}, "c++ code, c++. c++x", "c++ code, c++. C++x"},
    {"leading punctuation", {{".net", ".NET"}}, "use .net; not asp.net", "use .net; not asp.NET"},
    {"combining marks belong to their word",
     {{"क", "X"}, {"ma", "Y"}},
     "क कि का ma ma\u0300",
     "X कि का Y ma\u0300"},
    {"phrase trigger", {{"new line", "\n"}}, "one New Line two", "one \n two"},
    {"chains apply in trigger order", {{"b", "c"}, {"a", "b"}}, "a", "c"},
    {"capitals sort first", {{"x", "lower"}, {"X", "upper"}}, "x", "upper"},
    {"empty replacement deletes the word", {{"um", ""}}, "so um yes", "so  yes"},
    {"dollar signs are text", {{"price", "$5 or $0"}}, "price", "$5 or $0"},
    {"backslashes are text", {{"dir", "C:\\dir\\n"}}, "dir", "C:\\dir\\n"},
    {"blank triggers are skipped", {{"", "X"}, {"  ", "Y"}, {"\t", "Z"}}, "a  b\tc", "a  b\tc"},
    {"replacement keeps its own case", {{"NASA", "nasa"}}, "Nasa NASA", "nasa nasa"},
    {"no entries", {}, "left as is", "left as is"},
};

}  // namespace

TEST_F(HistoryServiceTest, DictionaryAndSnippetsReplaceWholeWordsLiterally) {
    for (const ReplacementCase& c : kReplacementCases) {
        SCOPED_TRACE(c.name);
        history->replaceAllDictionaryEntries(c.entries);
        EXPECT_EQ(history->applyDictionary(c.input), c.expected);
        // Snippets run through the same rules on their own collection.
        history->replaceAllSnippets(c.entries);
        history->replaceAllDictionaryEntries({});
        EXPECT_EQ(history->applySnippets(c.input), c.expected);
        EXPECT_EQ(history->applyDictionary(c.input), c.input);
        history->replaceAllSnippets({});
    }
}

TEST_F(HistoryServiceTest, EditsTakeEffectInTheNextReplacement) {
    history->saveDictionaryEntry("gpt", "GPT");
    EXPECT_EQ(history->applyDictionary("gpt"), "GPT");
    const QUuid id = history->fetchDictionary().first().value("id").toUuid();
    history->updateDictionaryEntry(id, "gpt", "ChatGPT");
    EXPECT_EQ(history->applyDictionary("gpt"), "ChatGPT");
    history->saveDictionaryEntry("ok", "OK");
    EXPECT_EQ(history->applyDictionary("gpt ok"), "ChatGPT OK");
    history->deleteDictionaryEntry(id);
    EXPECT_EQ(history->applyDictionary("gpt ok"), "gpt OK");
    history->deleteDictionaryEntry(history->fetchDictionary().first().value("id").toUuid());

    // A change made through another connection to the same file counts too.
    HistoryService other(path, clock);
    other.saveDictionaryEntry("ok", "Okay");
    EXPECT_EQ(history->applyDictionary("gpt ok"), "gpt Okay");

    history->saveSnippet("адрес", "ул. Садовая, 1");
    EXPECT_EQ(history->applySnippets("Мой адрес."), "Мой ул. Садовая, 1.");
    const QUuid snippetId = history->fetchSnippets().first().value("id").toUuid();
    history->updateSnippet(snippetId, "почта", "me@example.org");
    EXPECT_EQ(history->applySnippets("адрес, почта"), "адрес, me@example.org");
}

TEST_F(HistoryServiceTest, CollectionsSortInCodePointOrderAndUpdateTheFirstMatch) {
    for (const char* t : {"b", "B", "a", "A", "Ä"}) history->saveDictionaryEntry(t, t);
    QStringList triggers;
    for (const HistoryRecord& r : history->fetchDictionary())
        triggers << r.value("trigger").toString();
    EXPECT_EQ(triggers, QStringList({"A", "B", "a", "b", "Ä"}));

    const HistoryRecord first = history->fetchDictionary().first();
    EXPECT_TRUE(first.value("id").toUuid() != QUuid());
    history->updateDictionaryEntry(first.value("id").toUuid(), "Z", "zed");
    QStringList after;
    for (const HistoryRecord& r : history->fetchDictionary())
        after << r.value("trigger").toString() + "=" + r.value("replacement").toString();
    EXPECT_EQ(after, QStringList({"B=B", "Z=zed", "a=a", "b=b", "Ä=Ä"}));
}

TEST_F(HistoryServiceTest, WordCounts) {
    const std::pair<QString, int> cases[] = {
        {"a  b c", 3},
        {"", 0},
        {"   ", 0},
        {"one\ntwo", 1},
        {"tab\tseparated", 1},
        {" lead and trail ", 3},
        {"Привет, мир", 2},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(HistoryService::wordCount(text), count) << text.toStdString();

    history->saveTranscription("one two  three", "en", 2.5);
    const HistoryRecord r = history->fetchTranscriptions(1).first();
    EXPECT_EQ(r.value("wordCount").toInt(), 3);
    EXPECT_EQ(r.value("language").toString(), "en");
    EXPECT_DOUBLE_EQ(r.value("duration").toDouble(), 2.5);
    EXPECT_EQ(r.value("timestamp").toDateTime(), clock.currentDateTime());
}

TEST_F(HistoryServiceTest, FetchesNewestFirstInPages) {
    for (int i = 0; i < 10; ++i) {
        history->saveTranscription(QString("t%1").arg(i), "en", 1);
        clock.advance(60);
    }
    // Two saves within the same millisecond still come back newest first.
    history->saveTranscription("same-1", "en", 1);
    history->saveTranscription("same-2", "en", 1);

    EXPECT_EQ(texts(history->fetchTranscriptions(3, 0)), QStringList({"same-2", "same-1", "t9"}));
    EXPECT_EQ(texts(history->fetchTranscriptions(3, 3)), QStringList({"t8", "t7", "t6"}));
    EXPECT_EQ(texts(history->fetchTranscriptions(5, 10)), QStringList({"t1", "t0"}));
    EXPECT_EQ(history->fetchTranscriptions(0).size(), 12);
    EXPECT_TRUE(history->fetchTranscriptions(7, 50).isEmpty());
}

TEST_F(HistoryServiceTest, SearchIgnoresCaseAndAccentsAndTakesQueriesLiterally) {
    const char* stored[] = {"Café crème", "cafe creme brûlée",     "Ёлка в лесу", "100% sure",
                            "file_name",  "he said \"hi*\" twice", "nothing here"};
    for (const char* t : stored) {
        history->saveTranscription(QString::fromUtf8(t), "ru", 1);
        clock.advance(1);
    }
    const std::pair<QString, QStringList> cases[] = {
        {"CAFÉ", {"cafe creme brûlée", "Café crème"}},
        {"CREME", {"cafe creme brûlée", "Café crème"}},
        {"елка", {"Ёлка в лесу"}},
        {"ЛЕС", {"Ёлка в лесу"}},
        {"%", {"100% sure"}},
        {"_", {"file_name"}},
        {"ёл", {"Ёлка в лесу"}},
        {"\"HI*\"", {"he said \"hi*\" twice"}},
        {"E CR", {"cafe creme brûlée", "Café crème"}},
        {"absent", {}},
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(texts(history->searchTranscriptions(query)), expected) << query.toStdString();
    EXPECT_EQ(history->searchTranscriptions("").size(), 7);
    EXPECT_EQ(texts(history->searchTranscriptions("")).first(), "nothing here");

    // Deleted records leave the search too, even when a new record takes
    // over the storage slot of the deleted one.
    history->deleteTranscription(history->fetchTranscriptions(1).first().value("id").toUuid());
    history->saveTranscription("fresh words", "en", 1);
    EXPECT_TRUE(history->searchTranscriptions("nothing").isEmpty());
    EXPECT_EQ(texts(history->searchTranscriptions("fresh")), QStringList({"fresh words"}));
    history->clearAllTranscriptions();
    history->saveTranscription("after clearing", "en", 1);
    EXPECT_TRUE(history->searchTranscriptions("café").isEmpty());
    EXPECT_TRUE(history->searchTranscriptions("%").isEmpty());
    // The search index still agrees with the records it was built from.
    execOnSecondConnection(
        "INSERT INTO transcription_search (transcription_search) VALUES ('integrity-check')");
}

TEST_F(HistoryServiceTest, DataChangedOncePerChangeNeverForANoOpAndAfterTheCall) {
    history->saveTranscription("keep", "en", 1);
    history->saveDictionaryEntry("a", "b");
    DataChangedCounter counter;
    counter.reset();

    const QUuid unknown = QUuid::createUuid();
    const QUuid transcription = history->fetchTranscriptions(1).first().value("id").toUuid();
    const QUuid entry = history->fetchDictionary().first().value("id").toUuid();
    struct Step {
        const char* name;
        std::function<void()> run;
        int posts;
    };
    const Step steps[] = {
        {"save transcription", [&] { history->saveTranscription("x", "en", 1); }, 1},
        {"delete unknown transcription", [&] { history->deleteTranscription(unknown); }, 0},
        {"delete transcription", [&] { history->deleteTranscription(transcription); }, 1},
        {"update unknown entry", [&] { history->updateDictionaryEntry(unknown, "q", "r"); }, 0},
        {"update to the same values", [&] { history->updateDictionaryEntry(entry, "a", "b"); }, 0},
        {"update entry", [&] { history->updateDictionaryEntry(entry, "a", "c"); }, 1},
        {"replace with three",
         [&] {
             history->replaceAllDictionaryEntries({{"1", "1"}, {"2", "2"}, {"3", "3"}});
         },
         1},
        {"replace with none", [&] { history->replaceAllDictionaryEntries({}); }, 1},
        {"replace none with none", [&] { history->replaceAllDictionaryEntries({}); }, 0},
        {"delete unknown snippet", [&] { history->deleteSnippet(unknown); }, 0},
        {"save snippet", [&] { history->saveSnippet("s", "t"); }, 1},
        {"clear transcriptions", [&] { history->clearAllTranscriptions(); }, 1},
        {"clear empty history", [&] { history->clearAllTranscriptions(); }, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        counter.reset();
        s.run();
        EXPECT_EQ(counter.soFar(), 0) << "posted inside the call";
        EXPECT_EQ(counter.settled(), s.posts);
    }
    EXPECT_TRUE(history->fetchTranscriptions(0).isEmpty());
}

TEST_F(HistoryServiceTest, AWriteBeforeAnyReadOpensTheStore) {
    history->saveTranscription("first words", "en", 1);
    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[CoreData] Store loaded OK: " + path));
    EXPECT_TRUE(log.contains("[CoreData] saveTranscription called, isStoreLoaded=true"));
    EXPECT_TRUE(log.contains("[CoreData] Transcription saved OK"));
    EXPECT_EQ(texts(history->fetchTranscriptions(7)), QStringList({"first words"}));

    HistoryService other(dir + "/other.sqlite", clock);
    other.saveDictionaryEntry("x", "y");
    other.saveSnippet("s", "t");
    EXPECT_EQ(other.fetchDictionary().size(), 1);
    EXPECT_EQ(other.fetchSnippets().size(), 1);
}

TEST_F(HistoryServiceTest, RecordsSurviveReopeningAndTheFileIsPrivate) {
    history->saveTranscription("kept", "de", 3);
    history->saveDictionaryEntry("k", "v");
    history.reset();
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0077, 0);

    HistoryService again(path, clock);
    EXPECT_EQ(texts(again.fetchTranscriptions(7)), QStringList({"kept"}));
    EXPECT_EQ(again.applyDictionary("k"), "v");
}

TEST_F(HistoryServiceTest, AStoreThatCannotOpenSkipsWritesAndReadsEmpty) {
    // A regular file where the folder should be: no user, not even root,
    // can create the store below it.
    testsupport::writeFile(dir + "/blocked", "not a folder");
    HistoryService broken(dir + "/blocked/Ormil.sqlite", clock);
    DataChangedCounter counter;
    counter.reset();

    broken.saveTranscription("lost?", "en", 1);
    broken.saveDictionaryEntry("a", "b");
    broken.replaceAllSnippets({{"s", "t"}});
    broken.clearAllTranscriptions();
    EXPECT_FALSE(broken.isStoreLoaded());
    EXPECT_TRUE(broken.fetchTranscriptions(7).isEmpty());
    EXPECT_TRUE(broken.searchTranscriptions("").isEmpty());
    EXPECT_TRUE(broken.fetchDictionary().isEmpty());
    EXPECT_TRUE(broken.fetchSnippets().isEmpty());
    EXPECT_EQ(broken.applyDictionary("a"), "a");
    EXPECT_EQ(counter.settled(), 0);

    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[CoreData] FAILED to load: "));
    EXPECT_TRUE(log.contains("[CoreData] After loadPersistentStores, isStoreLoaded=false"));
    EXPECT_TRUE(log.contains("[CoreData] Store NOT loaded, skipping save!"));
    EXPECT_FALSE(log.contains("[CoreData] Transcription saved OK"));
    // A failed open is not retried on every call.
    EXPECT_EQ(recordstest::occurrences(log, "[CoreData] Loading persistent stores..."), 1);
}

TEST_F(HistoryServiceTest, AFailedSaveRollsBackAndPostsNothing) {
    history->saveTranscription("before", "en", 1);
    history->replaceAllDictionaryEntries({{"old1", "x"}, {"old2", "y"}});
    execOnSecondConnection(
        "CREATE TRIGGER refuse_t BEFORE INSERT ON transcriptions WHEN NEW.text = 'refused' "
        "BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    execOnSecondConnection(
        "CREATE TRIGGER refuse_d BEFORE INSERT ON dictionary_entries WHEN NEW.\"trigger\" = "
        "'refused' BEGIN SELECT RAISE(ABORT, 'disk says no'); END");
    const int savedBefore =
        recordstest::occurrences(testsupport::debugLogText(), "[CoreData] Transcription saved OK");
    DataChangedCounter counter;
    counter.reset();

    history->saveTranscription("refused", "en", 1);
    EXPECT_EQ(texts(history->fetchTranscriptions(0)), QStringList({"before"}));
    EXPECT_EQ(
        recordstest::occurrences(testsupport::debugLogText(), "[CoreData] Transcription saved OK"),
        savedBefore);

    // A sync pull that fails half-way keeps the old collection: neither
    // emptied nor doubled.
    history->replaceAllDictionaryEntries({{"new1", "a"}, {"refused", "b"}});
    QStringList triggers;
    for (const HistoryRecord& r : history->fetchDictionary())
        triggers << r.value("trigger").toString();
    EXPECT_EQ(triggers, QStringList({"old1", "old2"}));
    EXPECT_EQ(history->applyDictionary("old1 new1"), "x new1");
    EXPECT_EQ(counter.settled(), 0);

    // The store still works for what the trigger lets through.
    history->saveTranscription("after", "en", 1);
    EXPECT_EQ(history->fetchTranscriptions(0).size(), 2);
    EXPECT_EQ(counter.settled(), 1);
}
