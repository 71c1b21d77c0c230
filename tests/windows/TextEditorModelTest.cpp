#include <gtest/gtest.h>

#include <QJsonArray>
#include <memory>

#include "fakes/FakePasteboard.h"
#include "platform/Pasteboard.h"
#include "windows/EditorTestKit.h"
#include "windows/TextEditorModel.h"

namespace Store = BuiltinTonePromptStore;
using Request = TextEditorModel::PostProcessRequest;

namespace {

QStringList keysOf(const QList<EditorTab>& tabs) {
    QStringList keys;
    for (const EditorTab& t : tabs) keys << t.key;
    return keys;
}

const QStringList kBuiltinKeys{"neutral",  "concise", "summary", "theses",
                               "readable", "grammar", "formal",  "cultured"};

class TextEditorModelTest : public ::testing::Test {
protected:
    EditorSettings env;
    FakePostProcessor service;
    QList<QVariantMap> history;
    int historyLimit = -1;

    std::unique_ptr<TextEditorModel> makeModel() {
        TextEditorModel::Collaborators c;
        c.settings = &env.settings;
        c.postProcess = service.fn();
        c.fetchHistory = [this](int limit, int) {
            historyLimit = limit;
            return history;
        };
        auto m = std::make_unique<TextEditorModel>(c);
        m->loadTabs();
        return m;
    }
    std::unique_ptr<TextEditorModel> model = makeModel();

    void saved(const QList<TextEditorModel::SavedPrompt>& prompts) {
        TextEditorModel::saveSavedPrompts(env.settings, prompts);
        model->loadTabs();
    }
    // Runs the tab and answers its request.
    void runTab(const QString& key, const QString& answer) {
        model->activateTab(key);
        service.succeed(service.calls.size() - 1, answer);
    }
};

}  // namespace

TEST_F(TextEditorModelTest, TabsFollowTheStoredOrderHiddenSetAndOverrides) {
    struct Case {
        const char* name;
        QStringList order;
        QStringList hidden;
        QStringList expected;
    };
    const QStringList customs{"custom:Mail", "custom:Post"};
    const Case cases[] = {
        {"no order", {}, {}, kBuiltinKeys + customs},
        {"order lists none", {"gone", "custom:Nope"}, {}, kBuiltinKeys + customs},
        {"custom first",
         {"custom:Post"},
         {},
         QStringList{"custom:Post"} + kBuiltinKeys + QStringList{"custom:Mail"}},
        {"partial order, stable rest",
         {"formal", "custom:Mail", "neutral"},
         {"concise", "summary", "theses", "readable", "grammar"},
         {"formal", "custom:Mail", "neutral", "cultured", "custom:Post"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        env.settings.set("postProcessTabOrder", QJsonArray::fromStringList(c.order));
        env.settings.set("hiddenBuiltinTones", QJsonArray::fromStringList(c.hidden));
        saved({{"Mail", "Write a mail", false, true}, {"Post", "", true, false}});
        EXPECT_EQ(keysOf(model->tabs()), c.expected);
    }
    const EditorTab mail = model->tabs()[1];
    EXPECT_EQ(mail.title, "Mail");
    EXPECT_TRUE(mail.isCustom);
    EXPECT_EQ(mail.tone, std::nullopt);
    EXPECT_EQ(mail.prompt, "Write a mail");
    EXPECT_FALSE(mail.sameLanguage);
    EXPECT_TRUE(mail.dontChangeMeaning);
    EXPECT_EQ(model->tabs().last().prompt, "");  // an empty saved prompt stays a prompt

    Store::setOverride("Be formal", "formal");
    model->loadTabs();
    EXPECT_EQ(model->tabs()[0].prompt, "Be formal");
    EXPECT_EQ(model->tabs()[2].prompt, std::nullopt);
}

TEST_F(TextEditorModelTest, OrderCustomTabsAndHiddenSetSurviveANewModel) {
    ASSERT_EQ(model->upsertCustomTab(std::nullopt, "Mail", " Write it ", true, true), std::nullopt);
    model->moveTab("custom:Mail", "neutral", false);
    model->moveTab("cultured", "custom:Mail", true);
    model->hideBuiltinTab(model->tabs().at(3));  // concise
    const QList<EditorTab> before = model->tabs();
    EXPECT_EQ(keysOf(before).mid(0, 4),
              (QStringList{"custom:Mail", "cultured", "neutral", "summary"}));

    model = makeModel();
    EXPECT_EQ(model->tabs(), before);
    EXPECT_EQ(model->hiddenBuiltinTitles(),
              (QList<QPair<QString, QString>>{{"concise", "Кратко"}}));
    EXPECT_EQ(model->tabs()[0].prompt, "Write it");

    model->restoreHiddenBuiltin("concise");
    EXPECT_EQ(model->tabs().last().key, "concise");
    EXPECT_TRUE(model->hiddenBuiltinTitles().isEmpty());
    model->restoreHiddenBuiltin("concise");  // already there: nothing
    model->restoreHiddenBuiltin("nope");
    EXPECT_EQ(model->tabs().size(), before.size() + 1);
    EXPECT_EQ(makeModel()->tabs(), model->tabs());
}

TEST_F(TextEditorModelTest, MoveTabEdgeCases) {
    const QStringList start = keysOf(model->tabs());
    model->moveTab("missing", "neutral", false);
    model->moveTab("formal", "formal", false);
    EXPECT_EQ(keysOf(model->tabs()), start);
    EXPECT_FALSE(env.settings.contains("postProcessTabOrder"));
    // A target that is not there puts the tab in front and stores nothing.
    model->moveTab("formal", "missing", false);
    EXPECT_EQ(model->tabs()[0].key, "formal");
    EXPECT_FALSE(env.settings.contains("postProcessTabOrder"));
}

TEST_F(TextEditorModelTest, DeletedBuiltinComesBackAfterTheOrderedTabs) {
    model->deleteTab("neutral");
    EXPECT_FALSE(keysOf(model->tabs()).contains("neutral"));
    model->loadTabs();
    EXPECT_EQ(model->tabs().last().key, "neutral");
}

TEST_F(TextEditorModelTest, RequestsOfBuiltinAndCustomTabs) {
    env.settings.set("replaceProfanity", true);
    Store::setOverride("Formal override", "formal");
    saved({{"Mail", "Write a mail", false, true}});
    model->setSource("  Привет мир \n");

    struct Case {
        const char* key;
        Request expected;
    };
    const Case cases[] = {
        {"formal", {"Привет мир", "formal", "Formal override", true, "ru", {}, {}}},
        {"neutral", {"Привет мир", "neutral", std::nullopt, true, "ru", {}, {}}},
        {"cultured", {"Привет мир", "cultured", std::nullopt, false, "ru", {}, {}}},
        {"custom:Mail", {"Привет мир", "none", "Write a mail", true, "ru", false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        model->activateTab(c.key);
        ASSERT_FALSE(service.calls.empty());
        EXPECT_EQ(service.calls.back().request, c.expected);
        EXPECT_TRUE(model->busy());
        service.succeed(service.calls.size() - 1, "ok");
    }
    env.settings.set("replaceProfanity", false);
    model->resetResults();
    model->activateTab("neutral");
    EXPECT_FALSE(service.calls.back().request.culturedFilter);
}

TEST_F(TextEditorModelTest, BlankSourceSendsNothing) {
    model->setSource(" \n\t ");
    model->activateTab("neutral");
    EXPECT_EQ(model->status(), "Слева пусто — вставьте текст для обработки");
    EXPECT_EQ(model->activeKey(), std::nullopt);
    model->runCustomPrompt("do it");
    EXPECT_EQ(model->status(), "Нечего обрабатывать — слева пусто");
    model->activateTab("missing");
    EXPECT_TRUE(service.calls.empty());
}

TEST_F(TextEditorModelTest, AResultIsCachedPerTabAndKeepsTheUsersEdits) {
    model->setSource("text");
    runTab("neutral", "A result");
    EXPECT_EQ(model->result(), "A result");
    EXPECT_TRUE(model->hasResult());
    EXPECT_FALSE(model->busy());
    EXPECT_EQ(model->status(), "");

    model->setResult("A edited");
    model->stashActiveResultEdits();
    runTab("formal", "B result");
    model->activateTab("neutral");
    EXPECT_EQ(model->result(), "A edited");
    model->activateTab("formal");
    EXPECT_EQ(model->result(), "B result");
    EXPECT_EQ(service.calls.size(), 2u);
}

TEST_F(TextEditorModelTest, AFailureSetsTheStatusOnly) {
    model->setSource("text");
    runTab("neutral", "first");
    model->activateTab("formal");
    service.fail(1, "The request timed out.");
    EXPECT_EQ(model->status(), "Ошибка: The request timed out.");
    EXPECT_FALSE(model->busy());
    EXPECT_EQ(model->activeKey(), "formal");
    EXPECT_EQ(model->result(), "first");
    EXPECT_FALSE(model->resultsCache().contains("formal"));
}

TEST_F(TextEditorModelTest, AnAnswerForAnOlderSourceIsDropped) {
    struct Case {
        const char* name;
        std::function<void(TextEditorModel&)> start;
        std::function<void(TextEditorModel&)> interrupt;
    };
    const Case cases[] = {
        {"tab, source edited", [](auto& m) { m.activateTab("neutral"); },
         [](auto& m) { m.setSource("other text"); }},
        {"tab, new source", [](auto& m) { m.activateTab("neutral"); },
         [](auto& m) { m.handOverSource("handed over"); }},
        {"instruction, source edited", [](auto& m) { m.runCustomPrompt("shorter"); },
         [](auto& m) { m.resetResults(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        model = makeModel();
        model->setSource("text");
        runTab("formal", "old formal");
        c.start(*model);
        ASSERT_TRUE(model->busy());
        c.interrupt(*model);
        // The tab is clicked again for the new source before the old answer.
        model->activateTab("neutral");
        service.succeed(service.calls.size() - 2, "stale");
        EXPECT_TRUE(model->resultsCache().isEmpty());
        EXPECT_FALSE(model->hasResult());
        EXPECT_EQ(model->result(), "");
        EXPECT_EQ(model->status(), "");
        EXPECT_FALSE(model->busy());
        service.succeed(service.calls.size() - 1, "fresh");
        EXPECT_EQ(model->result(), "fresh");
        EXPECT_EQ(model->resultsCache().value("neutral"), "fresh");
    }
}

TEST_F(TextEditorModelTest, AnAnswerForATabNoLongerActiveIsCachedNotShown) {
    model->setSource("text");
    model->activateTab("neutral");
    model->hideBuiltinTab(model->tabs()[0]);
    service.succeed(0, "late");
    EXPECT_EQ(model->result(), "");
    EXPECT_FALSE(model->hasResult());
    EXPECT_EQ(model->activeKey(), std::nullopt);
}

TEST_F(TextEditorModelTest, EditingTheSourceResetsOnlyAfterARun) {
    model->setSource("first");
    model->setStatus("kept");
    model->setSource("first edit");  // nothing run yet: nothing to discard
    EXPECT_EQ(model->status(), "kept");

    runTab("neutral", "result");
    model->setSource("second edit");
    EXPECT_EQ(model->activeKey(), std::nullopt);
    EXPECT_FALSE(model->hasResult());
    EXPECT_TRUE(model->resultsCache().isEmpty());
    model->activateTab("neutral");
    EXPECT_EQ(service.calls.size(), 2u);  // the old result is not reused
}

TEST_F(TextEditorModelTest, HandOverTrimsReloadsAndClears) {
    model->setSource("text");
    runTab("neutral", "result");
    saved({{"New", "p", true, false}});
    env.settings.remove("savedPrompts");  // the next hand-over reads the store again
    model->handOverSource("\n  new source \t\n");
    EXPECT_EQ(model->source(), "new source");
    EXPECT_FALSE(keysOf(model->tabs()).contains("custom:New"));
    EXPECT_TRUE(model->resultsCache().isEmpty());
    EXPECT_FALSE(model->hasResult());
}

TEST_F(TextEditorModelTest, InstructionsChainOnTheShownResult) {
    model->setSource(" source ");
    model->runCustomPrompt("first");
    ASSERT_EQ(service.calls.size(), 1u);
    EXPECT_EQ(service.calls[0].request,
              (Request{"source", "none", "first", false, "ru", std::nullopt, std::nullopt}));
    service.succeed(0, "  result one ");
    EXPECT_EQ(model->status(), "Готово по вашему указанию");
    EXPECT_EQ(model->activeKey(), std::nullopt);
    EXPECT_TRUE(model->resultsCache().isEmpty());

    env.settings.set("replaceProfanity", true);
    model->runCustomPrompt("second");
    EXPECT_EQ(service.calls[1].request.text, "  result one ");  // not trimmed
    EXPECT_TRUE(service.calls[1].request.culturedFilter);
    service.fail(1, "offline");
    EXPECT_EQ(model->status(), "Ошибка: offline");
    EXPECT_EQ(model->result(), "  result one ");

    model->setResult(" \n ");
    model->runCustomPrompt("third");
    EXPECT_EQ(service.calls[2].request.text, "source");
}

TEST_F(TextEditorModelTest, RequestsCarryAtMost10000Characters) {
    const QString thumb = QString::fromUtf8("👍🏽");  // one character, four UTF-16 units
    struct Case {
        int characters;
        int sent;
    };
    for (const Case& c : {Case{10000, 10000}, Case{10001, 10000}, Case{9999, 9999}}) {
        SCOPED_TRACE(c.characters);
        model = makeModel();
        model->setSource(thumb.repeated(c.characters));
        model->activateTab("neutral");
        EXPECT_EQ(service.calls.back().request.text, thumb.repeated(c.sent));
        model->resetResults();
        model->runCustomPrompt("x");
        EXPECT_EQ(service.calls.back().request.text, thumb.repeated(c.sent));
    }
}

TEST_F(TextEditorModelTest, UpsertTitlesAndMessages) {
    const QString e = QString::fromUtf8("e\u0301");  // one character, two code points
    struct Case {
        QString name;
        QString prompt;
        std::optional<QString> message;
        QString title;
    };
    const Case cases[] = {
        {"", " \n ", QString("Впишите промпт для таба"), {}},
        {"  Letter ", " Write ", std::nullopt, "Letter"},
        {"", e.repeated(20), std::nullopt, e.repeated(20)},
        {"", e.repeated(21), std::nullopt, e.repeated(20) + QChar(0x2026)},
        {"кратко", "p", QString("Таб «кратко» уже есть — выберите другое имя"), {}},
        {"LETTER", "p", QString("Таб «LETTER» уже есть — выберите другое имя"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString());
        const QList<EditorTab> before = model->tabs();
        EXPECT_EQ(model->upsertCustomTab(std::nullopt, c.name, c.prompt, true, false), c.message);
        if (c.message) {
            EXPECT_EQ(model->tabs(), before);
            continue;
        }
        EXPECT_EQ(model->tabs().last().key, "custom:" + c.title);
        EXPECT_EQ(model->tabs().last().prompt, c.prompt.trimmed());
        EXPECT_EQ(model->status(), "Таб «" + c.title + "» сохранён");
    }
    // Once the built-in is hidden, its title is free.
    model->hideBuiltinTab(model->tabs()[1]);
    EXPECT_EQ(model->upsertCustomTab(std::nullopt, "кратко", "p", true, false), std::nullopt);
}

TEST_F(TextEditorModelTest, EditingACustomTabReplacesItInPlace) {
    model->setSource("text");
    saved({{"Mail", "old", true, false}, {"Post", "p", true, false}});
    runTab("custom:Mail", "mail result");
    // Its own title does not count as taken.
    EXPECT_EQ(model->upsertCustomTab(QString("custom:Mail"), "mail", "new", false, true),
              std::nullopt);
    const QStringList keys = keysOf(model->tabs());
    EXPECT_EQ(keys.indexOf("custom:mail"), kBuiltinKeys.size());
    EXPECT_FALSE(keys.contains("custom:Mail"));
    EXPECT_EQ(model->activeKey(), std::nullopt);
    EXPECT_EQ(model->result(), "mail result");  // still shown
    EXPECT_TRUE(model->hasResult());
    EXPECT_TRUE(model->resultsCache().isEmpty());
    EXPECT_EQ(TextEditorModel::loadSavedPrompts(env.settings).first(),
              (TextEditorModel::SavedPrompt{"mail", "new", false, true}));
    EXPECT_EQ(env.settings.stringArray("postProcessTabOrder")->indexOf("custom:mail"),
              kBuiltinKeys.size());
}

TEST_F(TextEditorModelTest, DeletingTheActiveTabClearsItsResult) {
    model->setSource("text");
    saved({{"Mail", "p", true, false}});
    runTab("custom:Mail", "r");
    model->deleteTab("custom:Mail");
    EXPECT_EQ(model->activeKey(), std::nullopt);
    EXPECT_FALSE(model->hasResult());
    EXPECT_TRUE(TextEditorModel::loadSavedPrompts(env.settings).isEmpty());
    model->hideBuiltinTab(EditorTab{"custom:X", "X", std::nullopt, "p", true, true, false});
    EXPECT_FALSE(env.settings.contains("hiddenBuiltinTones"));
}

TEST_F(TextEditorModelTest, AppendToSource) {
    struct Case {
        const char* source;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"", "  new \n", "new"},
        {" \n ", "new", "new"},
        {"\t old\n ", " new ", "old\n\n\nnew"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        model->setSource(c.source);
        model->appendToSource(c.text);
        EXPECT_EQ(model->source(), c.expected);
    }
}

TEST_F(TextEditorModelTest, CopyAndApply) {
    FakePasteboard pasteboard;
    QStringList applied;
    auto apply = [&applied](const QString& t) { applied << t; };
    model->setSource("text");
    runTab("neutral", "  result \n");
    model->copyResult(pasteboard);
    EXPECT_EQ(pasteboard.string(), "  result \n");
    EXPECT_EQ(model->status(), "Скопировано");
    model->applyResult(apply);
    EXPECT_EQ(applied, QStringList{"  result \n"});

    model->setResult(" \n ");
    model->applyResult(apply);
    EXPECT_EQ(applied.size(), 1);
    model->copyResult(pasteboard);
    EXPECT_EQ(pasteboard.string(), " \n ");
}

TEST_F(TextEditorModelTest, HistoryKeepsRecordsWithText) {
    history = {{{"text", "one"}, {"wordCount", 1}},
               {{"text", " \t "}},
               {{"wordCount", 3}},
               {{"text", 42}},
               {{"text", "\n"}}};  // only spaces and tabs count as blank
    model->loadHistory();
    EXPECT_EQ(historyLimit, 30);
    ASSERT_EQ(model->historyItems().size(), 2);
    EXPECT_EQ(model->historyItems()[0], history[0]);
    EXPECT_EQ(model->historyItems()[1], history[4]);
}

TEST_F(TextEditorModelTest, SavedPromptsReadingRules) {
    struct Case {
        const char* name;
        QJsonValue stored;
        QList<TextEditorModel::SavedPrompt> expected;
    };
    const auto bytes = [](const char* json) { return SettingsStore::dataValue(json); };
    const Case cases[] = {
        {"defaults",
         bytes(R"([{"name":"A","prompt":"p"},{"name":"B","prompt":"q","sameLanguage":null}])"),
         {{"A", "p", true, false}, {"B", "q", true, false}}},
        // A damaged prompt costs only itself.
        {"one element without prompt",
         bytes(R"([{"name":"A","prompt":"p"},{"name":"B"}])"),
         {{"A", "p", true, false}}},
        {"text of an earlier editor",
         QString(R"([{"name":"A","prompt":"p","dontChangeMeaning":true}])"),
         {{"A", "p", true, true}}},
        {"not JSON", bytes("nope"), {}},
        {"a number", QJsonValue(3), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        env.settings.set("savedPrompts", c.stored);
        EXPECT_EQ(TextEditorModel::loadSavedPrompts(env.settings), c.expected);
    }
    // Saved in the form the account's synchronisation reads.
    const QList<TextEditorModel::SavedPrompt> list{{"A", "p", false, true}, {"B", "", true, false}};
    TextEditorModel::saveSavedPrompts(env.settings, list);
    EXPECT_TRUE(env.settings.isData("savedPrompts"));
    EXPECT_EQ(SavedPrompts::load(env.settings), list);
    EXPECT_EQ(TextEditorModel::loadSavedPrompts(env.settings), list);
}
