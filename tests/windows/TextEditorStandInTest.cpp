// The editor window against the local stand-in of the service, through the
// real transcription client.
#include <QJsonArray>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "fakes/FakePasteboard.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "records/HistoryService.h"
#include "records/RecordsTestSupport.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "service/TranscriptionTestFixture.h"
#include "windows/TextEditorModel.h"
#include "windows/TextEditorView.h"

namespace {

class TextEditorStandInTest : public TranscriptionTestFixture {
protected:
    void SetUp() override {
        TranscriptionTestFixture::SetUp();
        SettingsStore::setSharedForTesting(&settings);
        BuiltinTonePromptStore::Collaborators c;
        c.settings = &settings;
        BuiltinTonePromptStore::setCollaborators(c);
    }
    void TearDown() override {
        BuiltinTonePromptStore::setCollaborators({});
        SettingsStore::setSharedForTesting(nullptr);
        TranscriptionTestFixture::TearDown();
    }

    // One installation of the signed-in user: its own settings and stores,
    // synchronising with the stand-in's account.
    struct Installation {
        SettingsStore& settings;
        std::unique_ptr<HistoryService> history;
        std::unique_ptr<TextExpansionService> expansions;
        std::unique_ptr<SyncService> sync;
    };
    std::unique_ptr<Installation> install(SettingsStore& store, const QString& name) {
        const QString dir = recordstest::freshDir(QStringLiteral("editor-sync-") + name);
        auto i = std::unique_ptr<Installation>(new Installation{store, {}, {}, {}});
        i->history = std::make_unique<HistoryService>(dir + "/Ormil.sqlite", clock);
        i->expansions = std::make_unique<TextExpansionService>(dir + "/text_expansions.json");
        SyncService::Collaborators c;
        c.baseURL = service.baseUrl();
        c.send = [this](const HttpRequest& r) { return http.send(r); };
        c.account.accessToken = [this]() -> std::optional<QString> { return accessToken; };
        c.settings = &store;
        c.history = i->history.get();
        c.textExpansions = i->expansions.get();
        i->sync = std::make_unique<SyncService>(std::move(c));
        return i;
    }
    std::unique_ptr<TextEditorModel> editor(SettingsStore& store) {
        TextEditorModel::Collaborators c;
        c.settings = &store;
        c.postProcess = [](const TextEditorModel::PostProcessRequest&,
                           std::function<void(TextEditorModel::PostProcessOutcome)>) {};
        c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
        auto model = std::make_unique<TextEditorModel>(c);
        model->loadTabs();
        return model;
    }
    static void finish(const SyncService::Done& done) {
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    }
    static QList<EditorTab> customTabs(const TextEditorModel& model) {
        QList<EditorTab> out;
        for (const EditorTab& t : model.tabs())
            if (t.isCustom) out << t;
        return out;
    }
};

}  // namespace

TEST_F(TextEditorStandInTest, SavedPromptsTravelFromOneEditorThroughTheAccountToAnother) {
    SettingsStore otherSettings;
    auto here = install(settings, "here");
    auto there = install(otherSettings, "there");

    auto mine = editor(settings);
    ASSERT_EQ(mine->upsertCustomTab(std::nullopt, "Письмо", "Напиши письмо", false, true),
              std::nullopt);
    finish(here->sync->pushSettings());
    EXPECT_FALSE(testsupport::debugLogText().contains("Stored saved prompts are unreadable"));

    finish(there->sync->pullSettings());
    auto theirs = editor(otherSettings);
    ASSERT_EQ(customTabs(*theirs).size(), 1);
    const EditorTab pulled = customTabs(*theirs).first();
    EXPECT_EQ(pulled.key, "custom:Письмо");
    EXPECT_EQ(pulled.prompt, "Напиши письмо");
    EXPECT_FALSE(pulled.sameLanguage);
    EXPECT_TRUE(pulled.dontChangeMeaning);

    // A tab added there comes back here with the first one kept.
    ASSERT_EQ(theirs->upsertCustomTab(std::nullopt, "Пост", "Short", true, false), std::nullopt);
    finish(there->sync->pushSettings());
    finish(here->sync->pullSettings());
    mine->loadTabs();
    QStringList keys;
    for (const EditorTab& t : customTabs(*mine)) keys << t.key;
    EXPECT_EQ(keys, (QStringList{"custom:Письмо", "custom:Пост"}));
}

TEST_F(TextEditorStandInTest, ATabRunReturnsTheServicesTextAndIsApplied) {
    settings.set("replaceProfanity", true);
    BuiltinTonePromptStore::setOverride("Be formal, please.", "formal");
    TextEditorModel::Collaborators c;
    c.settings = &settings;
    c.postProcess = TextEditorModel::servicePostProcessor(client());
    c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
    QStringList applied;
    TextEditorView::Options o;
    o.initialSource = "  ну короче созвон завтра в десять \n";
    o.onApply = [&applied](const QString& t) { applied << t; };
    o.model = new TextEditorModel(c);
    FakePasteboard pasteboard;
    o.pasteboard = &pasteboard;
    std::unique_ptr<TextEditorView> view(TextEditorView::makeWindow(o));
    view->show();

    view->model().activateTab("formal");
    ASSERT_TRUE(testsupport::waitUntil([&] { return view->model().hasResult(); }));
    // The stand-in has no language model: it answers with the text it got.
    EXPECT_EQ(view->resultEdit()->toPlainText(), "ну короче созвон завтра в десять");
    const auto got = service.requests("/transcribe/postprocess");
    ASSERT_EQ(got.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(got[0].body).object();
    EXPECT_EQ(body.value("tone_style"), "formal");
    EXPECT_EQ(body.value("custom_prompt"), "Be formal, please.");
    EXPECT_EQ(body.value("language"), "ru");
    EXPECT_EQ(body.value("cultured_filter"), true);
    EXPECT_FALSE(body.contains("same_language"));
    EXPECT_EQ(got[0].headers.value("Authorization"), "Bearer " + accessToken.toUtf8());

    QTest::mouseClick(view->applyButton(), Qt::LeftButton);
    EXPECT_EQ(applied, QStringList{"ну короче созвон завтра в десять"});
}

TEST_F(TextEditorStandInTest, AFailedRequestShowsItsReason) {
    DevService::Answer drop;
    drop.drop = true;
    service.queue("/transcribe/postprocess", drop);
    TextEditorModel::Collaborators c;
    c.settings = &settings;
    c.postProcess = TextEditorModel::servicePostProcessor(client());
    c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
    TextEditorModel model(c);
    model.handOverSource("text");
    model.runCustomPrompt("сделай списком");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !model.busy(); }));
    EXPECT_TRUE(model.status().startsWith("Ошибка: ")) << model.status().toStdString();
    EXPECT_GT(model.status().size(), QString("Ошибка: ").size());
    EXPECT_FALSE(model.hasResult());
}
