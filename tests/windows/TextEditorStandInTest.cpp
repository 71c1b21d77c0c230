// The editor window against the local stand-in of the service, through the
// real transcription client.
#include <QJsonArray>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "pipeline/BuiltinTonePromptStore.h"
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
};

}  // namespace

TEST_F(TextEditorStandInTest, ATabRunReturnsTheServicesTextAndIsApplied) {
    settings.set("replaceProfanity", true);
    BuiltinTonePromptStore::setOverride("Be formal, please.", "formal");
    TextEditorModel::Collaborators c;
    c.settings = &settings;
    c.postProcess = TextEditorModel::servicePostProcessor(&client());
    c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
    QStringList applied;
    TextEditorView::Options o;
    o.initialSource = "  ну короче созвон завтра в десять \n";
    o.onApply = [&applied](const QString& t) { applied << t; };
    o.model = new TextEditorModel(c);
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
    c.postProcess = TextEditorModel::servicePostProcessor(&client());
    c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
    TextEditorModel model(c);
    model.handOverSource("text");
    model.runCustomPrompt("сделай списком");
    ASSERT_TRUE(testsupport::waitUntil([&] { return !model.busy(); }));
    EXPECT_TRUE(model.status().startsWith("Ошибка: ")) << model.status().toStdString();
    EXPECT_GT(model.status().size(), QString("Ошибка: ").size());
    EXPECT_FALSE(model.hasResult());
}
