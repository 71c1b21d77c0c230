// How the AI text editor looks on the real X server, in English and in
// Russian (the tab menus follow the interface language, the rest of the
// editor is Russian): a result with a narrow strip, its "+N" menu, a
// built-in tab's menu, the "+" menu with hidden tabs, and the prompt card
// over the window. Shots under build/artifacts/editor-look/.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "overlay/PromptEditorTestKit.h"
#include "fakes/FakePasteboard.h"
#include "support/TestSupport.h"
#include "windows/EditorTabButton.h"
#include "windows/EditorTestKit.h"
#include "windows/OverflowTabsView.h"
#include "windows/TextEditorModel.h"
#include "windows/TextEditorView.h"

namespace {

const QString kDir = QStringLiteral(ORMIL_ARTIFACTS_DIR) + "/editor-look";

class EditorLook : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no test display";
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "not on xcb";
        QDir().mkpath(kDir);
    }

    void open(int width) {
        TextEditorModel::Collaborators c;
        c.settings = &env.settings;
        c.postProcess = service.fn();
        c.fetchHistory = [](int, int) { return QList<QVariantMap>{}; };
        TextEditorView::Options o;
        o.initialSource =
            "Созвон завтра в десять, захвати отчёт по бюджету и список вопросов к клиенту.";
        o.model = new TextEditorModel(c);
        o.pasteboard = &pasteboard;
        o.translator = translator.fn();
        view.reset(TextEditorView::makeWindow(o));
        view->resize(width, 700);
        view->move(40, 40);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    // The whole screen: popups are windows of their own.
    static void shoot(const QString& name) {
        testsupport::processEvents(200);
        QGuiApplication::primaryScreen()
            ->grabWindow(0, 0, 0, 1400, 820)
            .save(kDir + "/" + name + ".png");
    }

    // Opens a popup menu, shoots the screen with it, and closes it.
    static void shootMenu(QMenu* menu, const QPoint& at, const QString& name) {
        menu->popup(at);
        ASSERT_TRUE(testsupport::waitUntil([&] { return menu->isVisible(); }));
        shoot(name);
        menu->hide();
    }

    EditorTabButton* tab(const QString& key) {
        QCoreApplication::processEvents();
        for (auto* b : view->tabStrip()->findChildren<EditorTabButton*>())
            if (b->tab().key == key && b->isVisible()) return b;
        return nullptr;
    }

    EditorSettings env;
    FakePostProcessor service;
    FakeTranslator translator;
    FakePasteboard pasteboard;
    std::unique_ptr<TextEditorView> view;
};

TEST_F(EditorLook, WithAResultAndItsMenus) {
    for (const char* language : {"en", "ru"}) {
        env.settings.set("interfaceLanguage", QString(language));
        env.settings.set("hiddenBuiltinTones", QJsonArray{"cultured", "grammar"});
        open(900);
        view->model().activateTab("neutral");
        ASSERT_EQ(service.calls.size(), 1u);
        service.succeed(0,
                        "Созвон завтра в 10:00. Возьмите, пожалуйста, отчёт по бюджету и список "
                        "вопросов к клиенту.");
        service.calls.clear();
        const QString lang = QString::fromLatin1(language);
        shoot("result-" + lang);

        QToolButton* overflow = view->tabStrip()->overflowButton();
        ASSERT_NE(overflow, nullptr) << "a 900-wide window shows every tab";
        shootMenu(overflow->menu(), overflow->mapToGlobal(QPoint(0, overflow->height())),
                  "overflow-menu-" + lang);

        EditorTabButton* neutral = tab("neutral");
        ASSERT_NE(neutral, nullptr);
        std::unique_ptr<QMenu> menu(buildTabMenu(
            neutral->tab(), view->model(), [](const PromptEditorMode&) {}, nullptr));
        shootMenu(menu.get(), neutral->mapToGlobal(QPoint(0, neutral->height())),
                  "tab-menu-" + lang);

        QToolButton* plus = view->newTabButton();
        shootMenu(plus->menu(), plus->mapToGlobal(QPoint(0, plus->height())), "plus-menu-" + lang);

        view->setEditorMode(PromptEditorMode::builtinTone("neutral", "Нейтральный"));
        // A Russian interface shows the prompt translated.
        for (size_t i = 0; i < translator.requests.size(); ++i)
            translator.reply(i,
                             "Ты обрабатываешь текст. Убери из расшифровки речи слова-паразиты.");
        translator.requests.clear();
        shoot("card-" + lang);
        view->setEditorMode(std::nullopt);
        view.reset();
    }
}

}  // namespace
