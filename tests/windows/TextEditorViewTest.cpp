#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "fakes/FakePasteboard.h"
#include "overlay/PromptEditorCard.h"
#include "overlay/PromptEditorTestKit.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "support/TestSupport.h"
#include "ui/BusySpinner.h"
#include "windows/EditorTabButton.h"
#include "windows/EditorTestKit.h"
#include "windows/OverflowTabsView.h"
#include "windows/TextEditorModel.h"
#include "windows/TextEditorView.h"

namespace {

class TextEditorViewTest : public ::testing::Test {
protected:
    EditorSettings env;
    FakePostProcessor service;
    FakeTranslator translator;
    FakePasteboard pasteboard;
    QList<QVariantMap> history;
    QStringList applied;
    std::unique_ptr<TextEditorView> view;

    void open(const QString& source, int width = 1160) {
        TextEditorModel::Collaborators c;
        c.settings = &env.settings;
        c.postProcess = service.fn();
        c.fetchHistory = [this](int, int) { return history; };
        TextEditorView::Options o;
        o.initialSource = source;
        o.onApply = [this](const QString& t) { applied << t; };
        o.model = new TextEditorModel(c);
        o.pasteboard = &pasteboard;
        o.translator = translator.fn();
        view.reset(TextEditorView::makeWindow(o));
        view->resize(width, 700);
        view->show();
        QCoreApplication::processEvents();
    }
    TextEditorModel& model() { return view->model(); }
    EditorTabButton* tabButton(const QString& key) {
        QCoreApplication::processEvents();  // the strip shows its new buttons queued
        for (auto* b : view->tabStrip()->findChildren<EditorTabButton*>())
            if (b->tab().key == key && b->isVisible()) return b;
        return nullptr;
    }
    QAction* newTabItem(const QString& text) {
        QMenu* menu = view->newTabButton()->menu();
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }
};

bool accepts(QWidget* target, QMimeData& data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted();
}

}  // namespace

TEST_F(TextEditorViewTest, WindowTitleSizeAndHandOver) {
    open("\n   Привет, это текст.  \n\n");
    EXPECT_EQ(view->windowTitle(), "AI-обработка текста");
    EXPECT_EQ(view->minimumSize(), QSize(720, 460));
    EXPECT_EQ(view->sourceEdit()->toPlainText(), "Привет, это текст.");
    EXPECT_EQ(model().tabs().size(), 8);
    EXPECT_FALSE(view->historyPanel()->isVisible());

    NotificationCenter::shared().postEditorSourceChanged("  другой текст ");
    ASSERT_TRUE(testsupport::waitUntil([&] { return model().source() == "другой текст"; }));
    EXPECT_EQ(view->sourceEdit()->toPlainText(), "другой текст");
}

TEST_F(TextEditorViewTest, TheSourceTakesTextDropsButNeverATab) {
    open("first");
    QWidget* area = view->sourceEdit()->viewport();
    QMimeData tab;
    tab.setData(kEditorTabMimeType, "neutral");
    EXPECT_FALSE(accepts(area, tab));

    QMimeData text;
    text.setText("  dropped ");
    ASSERT_TRUE(accepts(area, text));
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &drop);
    EXPECT_EQ(model().source(), "first\n\ndropped");
}

TEST_F(TextEditorViewTest, TypingAfterAResultClearsItBeforeItDoesNot) {
    open("text");
    view->sourceEdit()->setFocus();
    QTest::keyClicks(view->sourceEdit(), "x");
    EXPECT_TRUE(service.calls.empty());
    QTest::mouseClick(tabButton("neutral"), Qt::LeftButton);
    EXPECT_EQ(view->resultStack()->currentIndex(), 2);  // busy
    service.succeed(0, "Result");
    EXPECT_EQ(view->resultStack()->currentIndex(), 1);
    EXPECT_EQ(view->resultEdit()->toPlainText(), "Result");
    EXPECT_TRUE(tabButton("neutral")->isActive());

    view->sourceEdit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view->sourceEdit(), "y");
    EXPECT_EQ(view->resultStack()->currentIndex(), 0);  // the hint again
    EXPECT_EQ(model().activeKey(), std::nullopt);
}

TEST_F(TextEditorViewTest, InstructionsAreSentTrimmedAndBlankOnesNot) {
    open("source");
    view->askEdit()->setFocus();
    QTest::keyClicks(view->askEdit(), "   ");
    EXPECT_FALSE(view->sendButton()->isEnabled());
    QTest::keyClick(view->askEdit(), Qt::Key_Return);
    EXPECT_TRUE(service.calls.empty());

    view->askEdit()->setPlainText("  убери повторы \n");
    EXPECT_TRUE(view->sendButton()->isEnabled());
    QTest::keyClick(view->askEdit(), Qt::Key_Return);
    ASSERT_EQ(service.calls.size(), 1u);
    EXPECT_EQ(service.calls[0].request.customPrompt, "убери повторы");
    EXPECT_EQ(view->askEdit()->toPlainText(), "");
    EXPECT_FALSE(view->askEdit()->isEnabled());
    service.succeed(0, "готово");
    EXPECT_EQ(view->statusLabel()->text(), "Готово по вашему указанию");
}

TEST_F(TextEditorViewTest, CopyAndApplyFollowTheResult) {
    open("source");
    EXPECT_FALSE(view->applyButton()->isEnabled());
    EXPECT_FALSE(view->copyButton()->isEnabled());
    QTest::mouseClick(tabButton("concise"), Qt::LeftButton);
    service.succeed(0, "Formal text");
    ASSERT_TRUE(view->applyButton()->isEnabled());
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    EXPECT_EQ(pasteboard.string(), "Formal text");
    EXPECT_EQ(view->statusLabel()->text(), "Скопировано");
    QTest::mouseClick(view->applyButton(), Qt::LeftButton);
    EXPECT_EQ(applied, QStringList{"Formal text"});

    // Return in the result area is a new line, not the apply.
    view->resultEdit()->setFocus();
    view->resultEdit()->moveCursor(QTextCursor::End);
    QTest::keyClick(view->resultEdit(), Qt::Key_Return);
    EXPECT_EQ(model().result(), "Formal text\n");
    EXPECT_EQ(applied.size(), 1);

    view->resultEdit()->setPlainText("  \n");
    EXPECT_TRUE(view->applyButton()->isEnabled());
    QTest::mouseClick(view->applyButton(), Qt::LeftButton);
    EXPECT_EQ(applied.size(), 1);
}

// With a result on show (so "Применить" answers Return elsewhere), Return
// in either text area is a new line there and applies nothing.
TEST_F(TextEditorViewTest, ReturnInTheTextAreasIsANewLine) {
    const struct {
        const char* name;
        QPlainTextEdit* (*area)(const TextEditorView&);
    } cases[] = {
        {"source", [](const TextEditorView& v) -> QPlainTextEdit* { return v.sourceEdit(); }},
        {"result", [](const TextEditorView& v) { return v.resultEdit(); }},
    };
    for (const auto& c : cases) {
        open("source");
        QTest::mouseClick(tabButton("concise"), Qt::LeftButton);
        service.succeed(service.calls.size() - 1, "Result");
        ASSERT_TRUE(view->applyButton()->isEnabled()) << c.name;
        QPlainTextEdit* area = c.area(*view);
        area->setFocus();
        area->moveCursor(QTextCursor::End);
        QTest::keyClick(area, Qt::Key_Return);
        EXPECT_TRUE(area->toPlainText().endsWith("\n")) << c.name;
        EXPECT_TRUE(applied.isEmpty()) << c.name;
        EXPECT_TRUE(view->isVisible()) << c.name;
    }
}

// The empty instruction field shows its whole placeholder: as tall as the
// wrapped hint in a narrow window, one line where the hint fits.
TEST_F(TextEditorViewTest, TheEmptyInstructionFieldShowsItsWholePlaceholder) {
    for (const int width : {900, 2400}) {
        open("source", width);
        QCoreApplication::processEvents();
        const int empty = view->askEdit()->height();
        view->askEdit()->setPlainText("x");
        const int oneLine = view->askEdit()->height();
        if (width == 900)
            EXPECT_GT(empty, oneLine) << "the hint wraps in a narrow window and must not be cut";
        else
            EXPECT_EQ(empty, oneLine);
        view->askEdit()->clear();
        EXPECT_EQ(view->askEdit()->height(), empty) << width;
    }
}

TEST_F(TextEditorViewTest, HistoryPanelShowsDictationsAndAppendsThem) {
    open("");
    QTest::mouseClick(view->historyToggle(), Qt::LeftButton);
    EXPECT_TRUE(view->historyPanel()->isVisible());
    QCoreApplication::processEvents();
    auto labels = view->historyPanel()->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
        return l->text() == "История пуста — надиктуйте что-нибудь.";
    }));
    QTest::mouseClick(view->historyToggle(), Qt::LeftButton);
    history = {{{"text", "первая диктовка"}, {"wordCount", 2}}, {{"text", "вторая"}}};
    QTest::mouseClick(view->historyToggle(), Qt::LeftButton);
    QCoreApplication::processEvents();
    QStringList texts;
    for (QLabel* l : view->historyPanel()->findChildren<QLabel*>())
        if (l->isVisibleTo(view.get())) texts << l->text();
    EXPECT_TRUE(texts.contains("2 сл."));
    EXPECT_TRUE(texts.contains("0 сл."));
    auto cards = view->historyPanel()->findChildren<QFrame*>("historyCard");
    ASSERT_EQ(cards.size(), 2);
    QTest::mouseClick(cards[0], Qt::LeftButton);
    EXPECT_EQ(model().source(), "первая диктовка");
}

TEST_F(TextEditorViewTest, NewTabThroughTheCard) {
    open("source");
    ASSERT_NE(newTabItem("Новый таб…"), nullptr);
    newTabItem("Новый таб…")->trigger();
    ASSERT_NE(view->promptEditorOverlay(), nullptr);
    EXPECT_EQ(view->editorMode(), PromptEditorMode::newCustomStyle());
    PromptEditorCard* card = view->promptEditorOverlay()->card();

    card->nameField()->setText("кратко");
    emit card->nameField()->textEdited("кратко");
    card->promptBox()->setPlainText("Сократи вдвое");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(card->errorLabel()->text(), "Таб «кратко» уже есть — выберите другое имя");
    EXPECT_NE(view->promptEditorOverlay(), nullptr);

    card->nameField()->setText("Вдвое");
    emit card->nameField()->textEdited("Вдвое");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(view->editorMode(), std::nullopt);
    EXPECT_EQ(model().tabs().last().key, "custom:Вдвое");
    EXPECT_EQ(model().status(), "Таб «Вдвое» сохранён");
}

TEST_F(TextEditorViewTest, EditingACustomTabPassesItsKey) {
    open("source");
    ASSERT_EQ(model().upsertCustomTab(std::nullopt, "Mail", "Write", true, false), std::nullopt);
    EditorTab mail = model().tabs().last();
    std::unique_ptr<QMenu> menu(buildTabMenu(
        mail, model(), [this](const PromptEditorMode& m) { view->setEditorMode(m); }, nullptr));
    for (QAction* a : menu->actions())
        if (a->text() == "Редактировать…") a->trigger();
    ASSERT_NE(view->promptEditorOverlay(), nullptr);
    PromptEditorCard* card = view->promptEditorOverlay()->card();
    EXPECT_EQ(card->promptBox()->toPlainText(), "Write");
    card->promptBox()->setPlainText("Write politely");
    QTest::mouseClick(card->saveButton(), Qt::LeftButton);
    EXPECT_EQ(model().tabs().last().prompt, "Write politely");
    EXPECT_EQ(model().tabs().size(), 9);

    view->setEditorMode(
        PromptEditorMode::editCustomStyle(mail.key, "Mail", "Write politely", true, false));
    QTest::mouseClick(view->promptEditorOverlay()->card()->deleteButton(), Qt::LeftButton);
    EXPECT_EQ(model().tabs().size(), 8);
    EXPECT_EQ(view->editorMode(), std::nullopt);
}

TEST_F(TextEditorViewTest, Screenshots) {
    TextEditorModel setup(TextEditorModel::Collaborators{
        &env.settings, service.fn(), [](int, int) { return QList<QVariantMap>{}; }});
    setup.loadTabs();
    ASSERT_EQ(setup.upsertCustomTab(std::nullopt, "Письмо клиенту", "Оформи как вежливое письмо",
                                    true, false),
              std::nullopt);
    history = {{{"text", "Завтра в десять созвон с командой по релизу, не забыть отчёт."},
                {"wordCount", 11}},
               {{"text", "Купить молоко и хлеб"}, {"wordCount", 4}}};
    open(
        "ну короче завтра в десять созвон с командой по релизу и это не забыть отчёт "
        "подготовить до обеда",
        1160);
    QTest::mouseClick(view->historyToggle(), Qt::LeftButton);
    model().activateTab("formal");  // as from the overflow menu: it swaps into the row
    service.succeed(0,
                    "Завтра в 10:00 состоится созвон с командой по релизу. Прошу "
                    "подготовить отчёт до обеда.");
    view->askEdit()->setPlainText("сделай списком");
    saveScreenshot(*view, "text-editor-window");

    view->resize(820, 600);
    QCoreApplication::processEvents();
    ASSERT_NE(view->tabStrip()->overflowButton(), nullptr);
    QMenu* overflow = view->tabStrip()->overflowButton()->menu();
    overflow->popup(view->mapToGlobal(QPoint(400, 80)));
    saveScreenshot(*overflow, "text-editor-overflow-menu", /*settle=*/false);
    overflow->hide();
    saveScreenshot(*view, "text-editor-narrow");

    std::unique_ptr<QMenu> tabMenu(buildTabMenu(model().tabs()[0], model(), {}, nullptr));
    tabMenu->popup(QPoint(100, 100));
    saveScreenshot(*tabMenu, "text-editor-tab-menu", /*settle=*/false);
    tabMenu->hide();

    view->resize(1160, 700);
    view->setEditorMode(PromptEditorMode::builtinTone("formal", "Деловой"));
    QCoreApplication::processEvents();
    saveScreenshot(*view, "text-editor-card-over-window");
}

TEST_F(TextEditorViewTest, BusyShowsASpinnerAndAppendingKeepsTheUndoHistory) {
    open("first");
    view->sourceEdit()->setFocus();
    view->sourceEdit()->moveCursor(QTextCursor::End);
    QTest::keyClicks(view->sourceEdit(), " typed");
    // Appended from the history, a drop or a new dictation: the typing
    // before stays undoable.
    model().appendToSource("appended");
    QCoreApplication::processEvents();
    ASSERT_TRUE(view->sourceEdit()->toPlainText().endsWith("appended"));
    EXPECT_TRUE(view->sourceEdit()->document()->isUndoAvailable());
    view->sourceEdit()->undo();
    EXPECT_EQ(view->sourceEdit()->toPlainText(), "first typed");

    // While a run is on its way the send button gives way to a spinner.
    EXPECT_FALSE(view->sendSpinner()->isVisible());
    QTest::mouseClick(tabButton("neutral"), Qt::LeftButton);
    EXPECT_TRUE(view->sendSpinner()->isVisible());
    EXPECT_FALSE(view->sendButton()->isVisible());
    service.succeed(0, "Result");
    EXPECT_FALSE(view->sendSpinner()->isVisible());
    EXPECT_TRUE(view->sendButton()->isVisible());
    // Icon buttons carry names a screen reader reads.
    EXPECT_EQ(view->sendButton()->accessibleName(), "Обработать по вашему указанию");
    EXPECT_EQ(view->newTabButton()->accessibleName(), "Создать свой таб с промптом");
    EXPECT_EQ(view->historyToggle()->accessibleName(), view->historyToggle()->toolTip());

    // An inactive tab is filled like a control, not like the window.
    EditorTabButton* inactive = nullptr;
    for (auto* b : view->tabStrip()->findChildren<EditorTabButton*>())
        if (b->isVisible() && !b->isActive()) inactive = b;
    ASSERT_TRUE(inactive);
    const QImage shot = inactive->grab().toImage();
    EXPECT_NE(shot.pixelColor(shot.width() / 2, 3), view->palette().color(QPalette::Window));
}
