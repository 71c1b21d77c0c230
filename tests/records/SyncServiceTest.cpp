// Account synchronisation against the local stand-in service, with the real
// account session (its token refresh) and a real history store.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "fakes/FakeClock.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"
#include "records/SavedPromptTab.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "service/AnswerLimits.h"
#include "service/AuthTestFixture.h"
#include "support/AnswerServer.h"

namespace {

QJsonObject parse(const QByteArray& body) {
    return QJsonDocument::fromJson(body).object();
}

QString text(const QJsonValue& v) {
    return QString::fromUtf8(v.isObject()
                                 ? QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact)
                                 : QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
}

class SyncServiceTest : public ::testing::Test {
protected:
    AuthTestFixture account;
    FakeClock clock;
    std::unique_ptr<HistoryService> history;
    std::unique_ptr<TextExpansionService> expansions;
    int menuRebuilds = 0;
    std::unique_ptr<SyncService> sync;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString dir = recordstest::freshDir(QStringLiteral("sync-") + info->name());
        history = std::make_unique<HistoryService>(dir + "/Ormil.sqlite", clock);
        expansions = std::make_unique<TextExpansionService>(dir + "/text_expansions.json");
        SyncService::Collaborators c;
        c.baseURL = account.apiBase();
        c.send = [this](const HttpRequest& r) { return account.client.send(r); };
        c.account.accessToken = [this] { return account.auth->readToken("access_token").token; };
        c.account.refreshAccessToken = [this] { account.auth->refreshAccessToken(); };
        c.account.loadUserInfo = [this] { account.auth->loadUserInfo(); };
        c.account.loadUsageStats = [this] { account.auth->loadUsageStats(); };
        c.settings = &account.settings;
        c.history = history.get();
        c.textExpansions = expansions.get();
        c.rebuildMenu = [this] { ++menuRebuilds; };
        sync = std::make_unique<SyncService>(std::move(c));
    }
    void TearDown() override { sync.reset(); }

    // Lets the exchange finish; its main-thread steps run meanwhile.
    void finish(const SyncService::Done& done) {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    }

    void answer(const QString& path, const QJsonObject& json, int status = 200) {
        DevService::Answer a;
        a.status = status;
        a.json = json;
        a.method = "GET";
        account.service.queue(path, a);
    }

    QList<DevService::Received> received(const QString& path) {
        return account.service.requests(path);
    }

    QStringList dictionary() {
        QStringList out;
        for (const HistoryRecord& r : history->fetchDictionary())
            out << r.value("trigger").toString() + "=" + r.value("replacement").toString();
        return out;
    }

    QString log() { return testsupport::debugLogText(); }
};

}  // namespace

TEST_F(SyncServiceTest, WithoutATokenNothingIsAskedOrLogged) {
    finish(sync->pullAll());
    finish(sync->pullDictionary());
    EXPECT_TRUE(account.service.requests().isEmpty());
    EXPECT_FALSE(log().contains("[Sync]")) << log().toStdString();

    // A push still says it is done; it sent nothing.
    finish(sync->pushSettings());
    EXPECT_TRUE(account.service.requests().isEmpty());
    EXPECT_TRUE(log().contains("[Sync] Settings pushed"));
}

TEST_F(SyncServiceTest, RefusedTokenIsRefreshedOnceAndTheRequestRepeatedOnce) {
    const auto tokens = account.signIn();
    history->saveDictionaryEntry("old", "gone");

    // An expired access token: one refresh, one repeat with the new token.
    account.service.expireTokens();
    finish(sync->pullDictionary());
    auto gets = received("/sync/dictionary");
    ASSERT_EQ(gets.size(), 2);
    EXPECT_EQ(account.service.requests("/api/auth/refresh").size(), 1);
    EXPECT_EQ(gets[0].headers.value("Authorization"), "Bearer " + tokens.access.toUtf8());
    EXPECT_EQ(gets[1].headers.value("Authorization"),
              "Bearer " + account.auth->readToken("access_token").token->toUtf8());
    EXPECT_NE(gets[0].headers.value("Authorization"), gets[1].headers.value("Authorization"));
    // The account has no dictionary yet: the pull empties the local one.
    EXPECT_TRUE(dictionary().isEmpty());

    // Refused again after the refresh: logged, nothing changed, no third try.
    history->saveDictionaryEntry("mine", "stays");
    DevService::Answer refused;
    refused.status = 401;
    refused.json = QJsonObject{{"detail", "Token expired or invalid"}};
    refused.count = 2;
    account.service.queue("/sync/dictionary", refused);
    finish(sync->pullDictionary());
    EXPECT_EQ(received("/sync/dictionary").size(), 4);
    EXPECT_EQ(account.service.requests("/api/auth/refresh").size(), 2);
    EXPECT_TRUE(log().contains("[Sync] GET /sync/dictionary failed: 401"));
    EXPECT_EQ(dictionary(), QStringList{"mine=stays"});
}

TEST_F(SyncServiceTest, AnswersOtherThan200AreFailures) {
    account.signIn();
    account.settings.set("toneStyle", "neutral");
    for (const int status : {201, 204, 500}) {
        answer("/sync/settings", {{"settings", QJsonObject{{"toneStyle", "formal"}}}}, status);
        finish(sync->pullSettings());
        EXPECT_EQ(account.settings.string("toneStyle"), QString("neutral")) << status;
        EXPECT_TRUE(log().contains(QString("[Sync] GET /sync/settings failed: %1").arg(status)))
            << status;

        DevService::Answer created;
        created.status = status;
        created.method = "PUT";
        account.service.queue("/sync/settings", created);
        finish(sync->pushSettings());
        EXPECT_TRUE(log().contains(QString("[Sync] PUT /sync/settings failed: %1").arg(status)))
            << status;
    }
    EXPECT_EQ(menuRebuilds, 0);
    EXPECT_FALSE(log().contains("[Sync] Settings pulled"));
}

TEST_F(SyncServiceTest, PulledSettingsTakeOnlyValuesOfTheirType) {
    account.signIn();
    const QJsonObject baseline{
        {"toneStyle", "neutral"},
        {"soundEnabled", false},
        {"audioDucking", 2},
        {"duckingLevel", 40},
        {"soundVolume", 30},
        {"recordingMode", "toggle"},
        {"provider", "openai"},
        {"builtinToneOverrides", QJsonObject{{"formal", "mine"}}},
        {"hiddenBuiltinTones", QJsonArray{"x"}},
        {"savedPrompts", SettingsStore::dataValue(R"([{"name":"n","prompt":"p"}])")},
    };
    const auto stored = [](const QList<SavedPromptTab>& tabs) {
        return SettingsStore::dataValue(SavedPrompts::encode(tabs));
    };
    struct Case {
        QJsonObject remote;
        QJsonObject changes;
    };
    const Case cases[] = {
        {{{"toneStyle", 5}, {"soundEnabled", true}}, {{"soundEnabled", true}}},
        {{{"audioDucking", 1.5}, {"duckingLevel", 30}}, {{"duckingLevel", 30}}},
        {{{"audioDucking", true}, {"soundVolume", "50"}, {"overlayEnabled", 1}}, {}},
        {{{"audioDucking", 1e300}, {"soundVolume", 42.5}, {"recognitionLanguage", "de"}},
         {{"soundVolume", 42.5}, {"recognitionLanguage", "de"}}},
        {{{"provider", ""}, {"recordingMode", QJsonValue::Null}}, {}},
        {{{"provider", "groq"}, {"audioNormalization", false}},
         {{"provider", "groq"}, {"audioNormalization", false}}},
        {{{"builtinToneOverrides", QJsonObject{{"neutral", "x"}, {"formal", 3}}}}, {}},
        {{{"builtinToneOverrides", QJsonObject{{"neutral", "x"}}}},
         {{"builtinToneOverrides", QJsonObject{{"neutral", "x"}}}}},
        {{{"hiddenBuiltinTones", QJsonArray{"a", 1}},
          {"postProcessTabOrder", QJsonArray{"custom:a"}}},
         {{"postProcessTabOrder", QJsonArray{"custom:a"}}}},
        {{{"savedPrompts",
           QJsonArray{QJsonObject{{"Name", "a"}, {"Prompt", "b"}}, QJsonObject{{"Name", "c"}}}}},
         {{"savedPrompts", stored({{"a", "b", true, false}})}}},
        {{{"savedPrompts", QJsonArray{}}}, {{"savedPrompts", stored({})}}},
        {{{"savedPrompts", QJsonArray{1}}}, {}},
    };
    for (const Case& c : cases) {
        account.settings.setMany(baseline);
        QJsonObject expected = account.settings.snapshot();
        for (auto it = c.changes.begin(); it != c.changes.end(); ++it)
            expected.insert(it.key(), it.value());
        const int rebuildsBefore = menuRebuilds;
        answer("/sync/settings", {{"settings", c.remote}});
        finish(sync->pullSettings());
        EXPECT_EQ(account.settings.snapshot(), expected) << text(c.remote).toStdString();
        EXPECT_EQ(menuRebuilds, rebuildsBefore + 1) << text(c.remote).toStdString();
    }

    // An empty settings object changes nothing and says nothing.
    const QJsonObject before = account.settings.snapshot();
    const int pulledLines = int(log().count("[Sync] Settings pulled"));
    const int rebuilds = menuRebuilds;
    for (const QJsonObject& top : {QJsonObject{{"settings", QJsonObject{}}}, QJsonObject{},
                                   QJsonObject{{"settings", QJsonArray{}}}}) {
        answer("/sync/settings", top);
        finish(sync->pullSettings());
    }
    EXPECT_EQ(account.settings.snapshot(), before);
    EXPECT_EQ(log().count("[Sync] Settings pulled"), pulledLines);
    EXPECT_EQ(menuRebuilds, rebuilds);
}

TEST_F(SyncServiceTest, PushSendsTheDefaultsTheUserSeesOnAFreshInstall) {
    const auto tokens = account.signIn();
    finish(sync->pushSettings());
    auto puts = received("/sync/settings");
    ASSERT_EQ(puts.size(), 1);
    EXPECT_EQ(puts[0].method, "PUT");
    EXPECT_EQ(puts[0].headers.value("Authorization"), "Bearer " + tokens.access.toUtf8());
    EXPECT_EQ(puts[0].headers.value("Content-Type"), "application/json");
    EXPECT_EQ(parse(puts[0].body), (QJsonObject{{"recognitionLanguage", "ru"},
                                                {"toneStyle", "none"},
                                                {"audioDucking", 1},
                                                {"duckingLevel", 50},
                                                {"soundEnabled", true},
                                                {"soundVolume", 50},
                                                {"overlayEnabled", true},
                                                {"recordingMode", "pushToTalk"},
                                                {"audioNormalization", true},
                                                {"builtinToneOverrides", QJsonObject{}},
                                                {"hiddenBuiltinTones", QJsonArray{}},
                                                {"savedPrompts", QJsonArray{}},
                                                {"postProcessTabOrder", QJsonArray{}}}));

    // Chosen values go as chosen; an empty provider and unreadable saved
    // prompts are left out rather than sent empty.
    account.settings.setMany({{"soundEnabled", false},
                              {"overlayEnabled", false},
                              {"audioDucking", 0},
                              {"soundVolume", 0},
                              {"duckingLevel", 2.5},
                              {"audioNormalization", "yes"},
                              {"provider", ""},
                              {"savedPrompts", SettingsStore::dataValue("{broken")},
                              {"builtinToneOverrides", QJsonObject{{"formal", "Be formal"}}},
                              {"hiddenBuiltinTones", QJsonArray{"casual"}}});
    finish(sync->pushSettings());
    puts = received("/sync/settings");
    ASSERT_EQ(puts.size(), 2);
    const QJsonObject body = parse(puts[1].body);
    EXPECT_EQ(body.value("soundEnabled"), false);
    EXPECT_EQ(body.value("overlayEnabled"), false);
    EXPECT_EQ(body.value("audioDucking"), 0);
    EXPECT_EQ(body.value("soundVolume"), 0);
    EXPECT_EQ(body.value("duckingLevel"), 50);
    EXPECT_EQ(body.value("audioNormalization"), true);
    EXPECT_FALSE(body.contains("provider"));
    EXPECT_FALSE(body.contains("savedPrompts"));
    EXPECT_EQ(body.value("builtinToneOverrides"), QJsonObject({{"formal", "Be formal"}}));
    EXPECT_EQ(body.value("hiddenBuiltinTones"), QJsonArray{"casual"});
    EXPECT_TRUE(log().contains("[Sync] Stored saved prompts are unreadable; not pushed"));

    account.settings.set("provider", "groq");
    SavedPrompts::save(account.settings, {{"Mail", "Write a mail", false, true}});
    finish(sync->pushSettings());
    const QJsonObject last = parse(received("/sync/settings").last().body);
    EXPECT_EQ(last.value("provider"), "groq");
    EXPECT_EQ(last.value("savedPrompts"), (QJsonArray{QJsonObject{{"Name", "Mail"},
                                                                  {"Prompt", "Write a mail"},
                                                                  {"SameLanguage", false},
                                                                  {"DontChangeMeaning", true}}}));
}

// A new user's launch pulls empty collections: the store is not made only
// to be emptied (it would keep SQLite loaded in the idle app); the first
// pulled entry makes it.
TEST_F(SyncServiceTest, EmptyPullsOfANewUserMakeNoStore) {
    account.signIn();
    finish(sync->pullAll());
    EXPECT_TRUE(log().contains("[Sync] Dictionary pulled: 0 entries")) << log().toStdString();
    EXPECT_TRUE(log().contains("[Sync] Snippets pulled: 0 entries"));
    EXPECT_FALSE(QFileInfo::exists(history->databasePath()));

    answer("/sync/dictionary",
           {{"entries", QJsonArray{QJsonObject{{"trigger", "alpha"}, {"replacement", "A"}}}}});
    finish(sync->pullDictionary());
    EXPECT_TRUE(QFileInfo::exists(history->databasePath()));
    EXPECT_EQ(dictionary(), (QStringList{"alpha=A"}));
}

TEST_F(SyncServiceTest, DictionaryAndSnippetsReplaceTheLocalCollection) {
    account.signIn();
    history->saveDictionaryEntry("old", "entry");
    history->saveSnippet("sig", "Regards");

    // Entries of the wrong shape are dropped, the order kept.
    answer("/sync/dictionary",
           {{"entries", QJsonArray{QJsonObject{{"trigger", "zeta"}, {"replacement", "Z"}},
                                   QJsonObject{{"trigger", "no replacement"}},
                                   QJsonObject{{"trigger", "alpha"}, {"replacement", "A"}}}}});
    finish(sync->pullDictionary());
    EXPECT_EQ(dictionary(), (QStringList{"alpha=A", "zeta=Z"}));
    EXPECT_TRUE(log().contains("[Sync] Dictionary pulled: 2 entries"));

    // Not an array of objects: nothing changes.
    answer("/sync/dictionary", {{"entries", QJsonArray{QJsonObject{}, "x"}}});
    finish(sync->pullDictionary());
    EXPECT_EQ(dictionary(), (QStringList{"alpha=A", "zeta=Z"}));

    finish(sync->pushDictionary());
    EXPECT_EQ(parse(received("/sync/dictionary").last().body),
              (QJsonObject{{"entries",
                            QJsonArray{QJsonObject{{"trigger", "alpha"}, {"replacement", "A"}},
                                       QJsonObject{{"trigger", "zeta"}, {"replacement", "Z"}}}}}));
    EXPECT_TRUE(log().contains("[Sync] Dictionary pushed: 2 entries"));

    // An empty list from the account empties the local dictionary.
    answer("/sync/dictionary", {{"entries", QJsonArray{}}});
    finish(sync->pullDictionary());
    EXPECT_TRUE(dictionary().isEmpty());

    // Snippets: "trigger" is the shortcut, "expanded_text" the text.
    answer(
        "/sync/snippets",
        {{"entries", QJsonArray{QJsonObject{{"trigger", "brb"}, {"expanded_text", "be right back"}},
                                QJsonObject{{"trigger", "x"}, {"replacement", "y"}}}}});
    finish(sync->pullSnippets());
    const auto snippets = history->fetchSnippets();
    ASSERT_EQ(snippets.size(), 1);
    EXPECT_EQ(snippets[0].value("shortcut"), "brb");
    EXPECT_EQ(snippets[0].value("text"), "be right back");
    EXPECT_TRUE(log().contains("[Sync] Snippets pulled: 1 entries"));
    finish(sync->pushSnippets());
    EXPECT_EQ(
        parse(received("/sync/snippets").last().body),
        (QJsonObject{{"entries", QJsonArray{QJsonObject{{"trigger", "brb"},
                                                        {"expanded_text", "be right back"}}}}}));
    EXPECT_TRUE(log().contains("[Sync] Snippets pushed: 1 entries"));
}

TEST_F(SyncServiceTest, TextExpansionsFollowTheirPullAndWindowsTextRules) {
    account.signIn();
    TextExpansionItem plain;
    plain.id = QUuid::createUuid();
    plain.trigger = ";a";
    plain.expandedText = "Alpha";
    TextExpansionItem full{QUuid::createUuid(), ";b",  "Beta", "Beta (win)",
                           "about b",           false, false};
    expansions->setItems({plain, full});

    const auto pushedWindowsTexts = [&] {
        finish(sync->pushTextExpansions());
        QJsonArray out;
        for (const QJsonValue& e :
             parse(received("/sync/text-expansions").last().body)["entries"].toArray())
            out.append(e.toObject().value("expanded_text_windows"));
        return out;
    };
    // Before the first pull an item without Windows text sends null.
    EXPECT_EQ(pushedWindowsTexts(), (QJsonArray{QJsonValue::Null, "Beta (win)"}));
    EXPECT_EQ(parse(received("/sync/text-expansions").last().body)["entries"].toArray().at(1),
              (QJsonObject{{"trigger", ";b"},
                           {"expanded_text", "Beta"},
                           {"expanded_text_windows", "Beta (win)"},
                           {"description", "about b"},
                           {"match_both_layouts", false},
                           {"is_enabled", false}}));
    EXPECT_EQ(parse(received("/sync/text-expansions").last().body)["entries"]
                  .toArray()
                  .at(0)
                  .toObject()
                  .value("description"),
              "");
    EXPECT_TRUE(log().contains("[Sync] Text expansions pushed: 2 entries"));

    // An empty list leaves the local one alone but marks the field as synced.
    answer("/sync/text-expansions", {{"entries", QJsonArray{}}});
    finish(sync->pullTextExpansions());
    EXPECT_EQ(expansions->items(), (QList<TextExpansionItem>{plain, full}));
    EXPECT_TRUE(account.settings.boolean("expansionsWindowsFieldSynced"));
    EXPECT_TRUE(
        log().contains("[Sync] Text expansions pulled: 0 entries (с текстом для Windows: 0)"));
    EXPECT_EQ(pushedWindowsTexts(), (QJsonArray{"", "Beta (win)"}));

    const QJsonObject pulled{
        {"entries", QJsonArray{QJsonObject{{"trigger", ";t"},
                                           {"expanded_text", "Tee"},
                                           {"expanded_text_windows", QJsonValue::Null},
                                           {"description", 5}},
                               QJsonObject{{"trigger", ";u"},
                                           {"expanded_text", "You"},
                                           {"expanded_text_windows", "You (win)"},
                                           {"match_both_layouts", false},
                                           {"is_enabled", "no"}},
                               QJsonObject{{"trigger", ";bad"}}}}};
    answer("/sync/text-expansions", pulled);
    finish(sync->pullTextExpansions());
    ASSERT_EQ(expansions->items().size(), 2);
    const auto first = expansions->items();
    EXPECT_EQ(first[0], (TextExpansionItem{first[0].id, ";t", "Tee", std::nullopt, std::nullopt,
                                           true, true}));
    EXPECT_EQ(first[1], (TextExpansionItem{first[1].id, ";u", "You", "You (win)", std::nullopt,
                                           false, true}));
    EXPECT_TRUE(
        log().contains("[Sync] Text expansions pulled: 2 entries (с текстом для Windows: 1)"));

    // Ids never travel: every pull makes new ones.
    answer("/sync/text-expansions", pulled);
    finish(sync->pullTextExpansions());
    ASSERT_EQ(expansions->items().size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(expansions->items()[i].id.isNull());
        EXPECT_NE(expansions->items()[i].id, first[i].id);
    }
    EXPECT_NE(first[0].id, first[1].id);
}

TEST_F(SyncServiceTest, PullAllFetchesTheAccountThenTheFourCollectionsInOrder) {
    account.signIn("whole@ormil.test");
    // What another installation of this account pushed earlier.
    history->saveDictionaryEntry("teh", "the");
    history->saveSnippet("addr", "Main street 1");
    TextExpansionItem item;
    item.trigger = ";sig";
    item.expandedText = "Signature";
    expansions->setItems({item});
    account.settings.set("toneStyle", "formal");
    for (const auto& done : {sync->pushSettings(), sync->pushDictionary(), sync->pushSnippets(),
                             sync->pushTextExpansions()})
        finish(done);

    // This installation starts empty.
    account.settings.set("toneStyle", "neutral");
    history->replaceAllDictionaryEntries({});
    history->replaceAllSnippets({});
    expansions->setItems({});
    const qsizetype from = account.service.requests().size();

    finish(sync->pullAll());
    QStringList paths;
    for (const auto& r : account.service.requests().mid(from)) paths << QString::fromLatin1(r.path);
    EXPECT_EQ(paths, (QStringList{"/auth/me", "/user/usage", "/sync/settings", "/sync/dictionary",
                                  "/sync/snippets", "/sync/text-expansions"}));
    EXPECT_EQ(account.settings.string("toneStyle"), QString("formal"));
    EXPECT_EQ(dictionary(), QStringList{"teh=the"});
    EXPECT_EQ(history->fetchSnippets().value(0).value("text"), "Main street 1");
    ASSERT_EQ(expansions->items().size(), 1);
    EXPECT_EQ(expansions->items()[0].expandedText, "Signature");
    account.settle();
    EXPECT_EQ(account.state.userEmail(), "whole@ormil.test");
    const QString lines = log();
    EXPECT_LT(lines.indexOf("[Sync] pullAll starting..."), lines.indexOf("[Sync] Settings pulled"));
    EXPECT_LT(lines.indexOf("[Sync] Text expansions pulled"),
              lines.indexOf("[Sync] pullAll complete"));
}

TEST_F(SyncServiceTest, AnEditPushedDuringASlowPullIsNotOverwritten) {
    account.signIn();
    account.settings.set("toneStyle", "formal");
    finish(sync->pushSettings());  // the account holds "formal"
    account.settings.set("toneStyle", "neutral");

    // The launch pull hangs on the settings; meanwhile the user picks a tone.
    account.service.hold("/sync/settings");
    const auto pulled = sync->pullAll();
    ASSERT_TRUE(testsupport::waitUntil([&] { return account.service.inFlight() == 1; }));
    account.settings.set("toneStyle", "casual");
    const auto pushed = sync->pushSettings();
    testsupport::processEvents(50);
    account.service.release();
    finish(pulled);
    finish(pushed);

    const auto exchanges = received("/sync/settings");
    ASSERT_EQ(exchanges.size(), 3);
    EXPECT_EQ(exchanges[1].method, "GET");
    EXPECT_EQ(exchanges[2].method, "PUT");
    EXPECT_EQ(parse(exchanges[2].body).value("toneStyle"), "casual");
    EXPECT_EQ(account.settings.string("toneStyle"), QString("casual"));
    EXPECT_TRUE(
        log().contains("[Sync] Settings pull not applied: a newer local change is being pushed"));

    // A pull asked after the push applies as usual.
    finish(sync->pullSettings());
    EXPECT_EQ(account.settings.string("toneStyle"), QString("casual"));
    EXPECT_EQ(log().count("[Sync] Settings pulled"), 1);
}

// Answers that never end or trickle in end at the limits of their kind,
// with the transport error the exchange logs, and leave the local data alone.
TEST(SyncServiceLimits, EndlessAndTricklingAnswersEndAtTheLimitsOfTheirKind) {
    struct Case {
        const char* name;
        AnswerServer::Mode mode;
        AnswerKind kind;
        SyncService::Done (SyncService::*pull)();
        const char* path;
        const char* stopped;  // the transport's words
    };
    const Case cases[] = {
        {"endless settings", AnswerServer::Mode::endless, AnswerKind::settings,
         &SyncService::pullSettings, "/sync/settings", "the answer is larger than 65536 bytes"},
        {"endless text expansions", AnswerServer::Mode::endless, AnswerKind::userItems,
         &SyncService::pullTextExpansions, "/sync/text-expansions",
         "the answer is larger than 65536 bytes"},
        {"trickling settings", AnswerServer::Mode::drip, AnswerKind::settings,
         &SyncService::pullSettings, "/sync/settings", "not complete within 30 s"},
        {"trickling dictionary", AnswerServer::Mode::drip, AnswerKind::userItems,
         &SyncService::pullDictionary, "/sync/dictionary", "not complete within 30 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AnswerLimitsTable::Override shortLimits(c.kind, {64 * 1024, 30});
        AnswerServer server(c.mode, QByteArray(1000, ' '));
        FakeClock clock;
        HttpClient client(clock);
        const QString dir = recordstest::freshDir(QStringLiteral("sync-limits"));
        HistoryService history(dir + "/Ormil.sqlite", clock);
        history.saveDictionaryEntry("mine", "stays");
        TextExpansionService expansions(dir + "/text_expansions.json");
        SettingsStore settings;
        settings.set("toneStyle", "formal");
        SyncService::Collaborators collaborators;
        collaborators.baseURL = server.baseUrl();
        collaborators.send = [&client](const HttpRequest& r) { return client.send(r); };
        collaborators.account.accessToken = [] { return std::optional<QString>("token"); };
        collaborators.settings = &settings;
        collaborators.history = &history;
        collaborators.textExpansions = &expansions;
        SyncService sync(std::move(collaborators));

        const SyncService::Done done = (sync.*c.pull)();
        const auto ended = [&] {
            return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        // A byte every 10 s keeps the connection busy; the deadline ends it.
        if (c.mode == AnswerServer::Mode::drip) dripPastTheDeadline(server, clock, 30, ended);
        ASSERT_TRUE(testsupport::waitUntil(ended));
        const QString log = testsupport::debugLogText();
        EXPECT_TRUE(log.contains(QStringLiteral("[HTTP] GET ") + server.baseUrl() + c.path +
                                 " stopped: " + c.stopped))
            << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("[Sync] GET ") + c.path + " error: "));
        EXPECT_EQ(settings.string("toneStyle"), QString("formal"));
        EXPECT_EQ(history.fetchDictionary().size(), 1);
        EXPECT_EQ(server.requests(), 1);
    }
}
