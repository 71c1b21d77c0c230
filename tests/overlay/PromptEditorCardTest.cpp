#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/L10n.h"
#include "overlay/PromptEditorCard.h"
#include "overlay/PromptEditorTestKit.h"
#include "pipeline/BuiltinTonePromptDefaults.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "ui/Colors.h"

namespace Store = BuiltinTonePromptStore;
namespace Defaults = BuiltinTonePromptDefaults;

namespace {

class PromptEditorCardTest : public ::testing::Test {
protected:
    PromptSettings env;
    FakeTranslator translator;
    int dismissed = 0;
    int deleted = 0;
    QList<QStringList> saves;
    std::optional<QString> saveAnswer;

    PromptEditorCard::Callbacks callbacks(bool custom = true) {
        PromptEditorCard::Callbacks c;
        c.onDismiss = [this] { ++dismissed; };
        if (custom) {
            c.onSaveCustom = [this](const QString& name, const QString& prompt, bool same,
                                    bool keep) {
                saves << QStringList{name, prompt, same ? "same" : "", keep ? "keep" : ""};
                return saveAnswer;
            };
            c.onDeleteCustom = [this] { ++deleted; };
        }
        return c;
    }
    std::unique_ptr<PromptEditorCard> open(const PromptEditorMode& mode, bool custom = true) {
        auto card = std::make_unique<PromptEditorCard>(mode, callbacks(custom), translator.fn());
        card->resize(520, 560);
        card->show();
        return card;
    }
};

bool shown(QWidget* w) {
    return w && w->isVisibleTo(w->window());
}

}  // namespace

TEST_F(PromptEditorCardTest, TitleAndControlsPerMode) {
    auto builtin = open(PromptEditorMode::builtinTone("formal", "Formal"));
    EXPECT_EQ(builtin->titleLabel()->text(), "Prompt for style: «Formal»");
    EXPECT_EQ(builtin->nameField(), nullptr);
    EXPECT_EQ(builtin->sameLanguageBox(), nullptr);
    EXPECT_FALSE(shown(builtin->toggleButton()));
    EXPECT_FALSE(shown(builtin->deleteButton()));
    EXPECT_FALSE(shown(builtin->errorLabel()));
    EXPECT_EQ(builtin->promptBox()->toPlainText(), Defaults::values().value("formal"));
    saveScreenshot(*builtin, "prompt-editor-builtin-en");

    auto fresh = open(PromptEditorMode::newCustomStyle());
    EXPECT_EQ(fresh->titleLabel()->text(), "New Style");
    EXPECT_EQ(fresh->nameField()->text(), "");
    EXPECT_EQ(fresh->nameField()->placeholderText(), "Style name");
    EXPECT_TRUE(fresh->sameLanguageBox()->isChecked());
    EXPECT_FALSE(fresh->dontChangeMeaningBox()->isChecked());
    EXPECT_FALSE(shown(fresh->deleteButton()));
    EXPECT_FALSE(shown(fresh->toggleButton()));
    saveScreenshot(*fresh, "prompt-editor-new-style");

    auto edit =
        open(PromptEditorMode::editCustomStyle("custom:Mail", "Mail", "Write", false, true));
    EXPECT_EQ(edit->titleLabel()->text(), "Mail");
    EXPECT_EQ(edit->nameField()->text(), "Mail");
    EXPECT_FALSE(edit->sameLanguageBox()->isChecked());
    EXPECT_TRUE(edit->dontChangeMeaningBox()->isChecked());
    EXPECT_TRUE(shown(edit->deleteButton()));
    EXPECT_EQ(edit->deleteButton()->text(), "Delete");
}

TEST_F(PromptEditorCardTest, RussianShowsTheTranslationWithItsSwitch) {
    env.setLanguage("ru");
    const QString english = Defaults::values().value("formal");
    Store::setCachedTranslation(
        "Ты — редактор делового стиля.\n\nПерепиши текст в официальном тоне.",
        Defaults::cacheKey("formal", "ru", english));
    auto card = open(PromptEditorMode::builtinTone("formal", "Деловой"));
    EXPECT_TRUE(translator.requests.empty());
    EXPECT_TRUE(shown(card->toggleButton()));
    EXPECT_EQ(card->toggleButton()->text(), L10n::promptEditorShowOriginal());
    EXPECT_TRUE(card->promptBox()->toPlainText().startsWith("Ты — редактор"));
    saveScreenshot(*card, "prompt-editor-builtin-ru");
    QTest::mouseClick(card->toggleButton(), Qt::LeftButton);
    EXPECT_EQ(card->promptBox()->toPlainText(), english);
    EXPECT_EQ(card->toggleButton()->text(), L10n::promptEditorShowTranslation());
}

TEST_F(PromptEditorCardTest, WhileBusyOnlyCancelAndRestoreStayEnabled) {
    env.setLanguage("ru");
    Store::setOverride("My own prompt", "formal");
    auto card = open(PromptEditorMode::builtinTone("formal", "Formal"));
    ASSERT_EQ(translator.requests.size(), 1u);
    EXPECT_FALSE(card->saveButton()->isEnabled());
    EXPECT_FALSE(card->promptBox()->isEnabled());
    EXPECT_TRUE(card->cancelButton()->isEnabled());
    EXPECT_TRUE(shown(card->deleteButton()));
    EXPECT_TRUE(card->deleteButton()->isEnabled());
    translator.reply(0, QString("Мой промпт"));
    EXPECT_TRUE(card->saveButton()->isEnabled());
    EXPECT_TRUE(card->promptBox()->isEnabled());
    EXPECT_TRUE(shown(card->toggleButton()));
    EXPECT_TRUE(card->toggleButton()->isEnabled());

    card->promptBox()->setPlainText("Мой изменённый промпт");
    QTest::mouseClick(card->toggleButton(), Qt::LeftButton);
    ASSERT_EQ(translator.requests.size(), 2u);
    EXPECT_FALSE(card->toggleButton()->isEnabled());
    EXPECT_FALSE(card->saveButton()->isEnabled());
    EXPECT_TRUE(card->cancelButton()->isEnabled());
}

TEST_F(PromptEditorCardTest, ACustomSaveMessageKeepsTheCardOpenInRed) {
    auto card = open(PromptEditorMode::newCustomStyle());
    QTest::keyClicks(card->nameField(), "Mail");
    card->promptBox()->setPlainText("Write a mail");
    card->dontChangeMeaningBox()->click();
    saveAnswer = QString("«Mail» уже есть — выберите другое имя");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(saves, (QList<QStringList>{{"Mail", "Write a mail", "same", "keep"}}));
    EXPECT_EQ(dismissed, 0);
    EXPECT_TRUE(shown(card->errorLabel()));
    EXPECT_EQ(card->errorLabel()->text(), *saveAnswer);
    EXPECT_EQ(card->errorLabel()->palette().color(QPalette::WindowText), Colors::red());

    saveAnswer.reset();
    QTest::keyClick(card->nameField(), Qt::Key_Return);  // Return outside the prompt box saves
    EXPECT_EQ(saves.size(), 2);
    EXPECT_EQ(dismissed, 1);
}

TEST_F(PromptEditorCardTest, ReturnInThePromptBoxIsANewLine) {
    auto card = open(PromptEditorMode::newCustomStyle());
    card->promptBox()->setFocus();
    QTest::keyClicks(card->promptBox(), "a");
    QTest::keyClick(card->promptBox(), Qt::Key_Return);
    QTest::keyClicks(card->promptBox(), "b");
    EXPECT_EQ(card->model().promptText(), "a\nb");
    EXPECT_TRUE(saves.isEmpty());
    EXPECT_EQ(dismissed, 0);
}

TEST_F(PromptEditorCardTest, SaveWithoutHostCallbackAndDelete) {
    auto card = open(PromptEditorMode::editCustomStyle("custom:A", "A", "p", true, false), false);
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissed, 1);
    QTest::mouseClick(card->deleteButton(), Qt::LeftButton);
    EXPECT_EQ(dismissed, 2);

    auto withHost = open(PromptEditorMode::editCustomStyle("custom:A", "A", "p", true, false));
    QTest::mouseClick(withHost->deleteButton(), Qt::LeftButton);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(dismissed, 3);
}

TEST_F(PromptEditorCardTest, BuiltinSaveAndRestore) {
    auto card = open(PromptEditorMode::builtinTone("formal", "Formal"));
    card->promptBox()->setPlainText("  ");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissed, 0);
    EXPECT_FALSE(env.settings.contains("builtinToneOverrides"));

    card->promptBox()->setPlainText("Be very formal");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(Store::override("formal"), "Be very formal");

    auto again = open(PromptEditorMode::builtinTone("formal", "Formal"));
    EXPECT_EQ(again->deleteButton()->text(), "Restore default");
    QTest::mouseClick(again->deleteButton(), Qt::LeftButton);
    EXPECT_EQ(dismissed, 2);
    EXPECT_EQ(Store::override("formal"), std::nullopt);
    auto reopened = open(PromptEditorMode::builtinTone("formal", "Formal"));
    EXPECT_FALSE(shown(reopened->deleteButton()));
    EXPECT_EQ(reopened->promptBox()->toPlainText(), Defaults::values().value("formal"));
}

TEST_F(PromptEditorCardTest, TheBackdropDismissesAndTheCardDoesNot) {
    QWidget host;
    host.resize(900, 700);
    host.show();
    auto* overlay = new PromptEditorOverlay(PromptEditorMode::newCustomStyle(), callbacks(), &host,
                                            translator.fn());
    EXPECT_EQ(overlay->geometry(), host.rect());
    const QRect card = overlay->cardGeometry();
    EXPECT_EQ(card.width(), 520);
    EXPECT_EQ(card.center().x(), host.rect().center().x());
    host.resize(1000, 760);
    EXPECT_EQ(overlay->geometry(), host.rect());

    QTest::mouseClick(overlay, Qt::LeftButton, {},
                      overlay->cardGeometry().topLeft() + QPoint(4, 4));
    EXPECT_EQ(dismissed, 0);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(dismissed, 1);
}
