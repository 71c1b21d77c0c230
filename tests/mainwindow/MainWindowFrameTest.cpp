#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "core/L10n.h"
#include "mainwindow/ConfirmDeletion.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/MainWindowFixture.h"
#include "ui/Page.h"

using S = SidebarSection;
using testsupport::waitUntil;

namespace {
QList<std::optional<S>> rowsOf(std::initializer_list<std::optional<S>> rows) { return rows; }
}  // namespace

TEST(SidebarSectionTest, RawValuesAreExactAndCaseSensitive) {
    const struct {
        const char* raw;
        std::optional<S> section;
    } cases[] = {
        {"Home", S::home},         {"History", S::history},   {"Clipboard", S::clipboard},
        {"Files", S::files},       {"Dictionary", S::dictionary}, {"Snippets", S::snippets},
        {"Products", S::products}, {"Settings", S::settings}, {"Account", S::account},
        {"home", std::nullopt},    {"Our products", std::nullopt}, {"", std::nullopt},
        {"Home ", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sidebarSectionFromRawValue(c.raw), c.section) << c.raw;
        if (c.section) {
            EXPECT_EQ(rawValue(*c.section), c.raw);
        }
    }
    EXPECT_EQ(allSidebarSections().size(), 9);
    EXPECT_EQ(sidebarTitle(S::products), "Our products");
}

class MainWindowFrame : public MainWindowFixture {};

TEST_F(MainWindowFrame, SidebarListsFilesOnlyWhileTheFeatureIsOn) {
    MainWindowView view(context);
    const std::optional<S> header;
    EXPECT_EQ(view.sidebarRows(),
              rowsOf({header, S::home, S::history, S::clipboard, S::dictionary, S::snippets,
                      S::products, header, S::settings, S::account}));
    appState.setFilesFeatureEnabled(true);
    EXPECT_EQ(view.sidebarRows(),
              rowsOf({header, S::home, S::history, S::clipboard, S::files, S::dictionary,
                      S::snippets, S::products, header, S::settings, S::account}));
    EXPECT_EQ(view.sidebar()->item(0)->text(), "MAIN");
    EXPECT_EQ(view.sidebar()->item(view.sidebar()->count() - 3)->text(), "SETTINGS");
    EXPECT_EQ(view.sidebar()->item(7)->text(), "Our products");
}

TEST_F(MainWindowFrame, FilesSectionStaysShownWhenItsRowGoesAway) {
    appState.setFilesFeatureEnabled(true);
    MainWindowView view(context);
    view.show();
    view.setSelectedSection(S::files);
    appState.setFilesFeatureEnabled(false);
    EXPECT_EQ(view.selectedSection(), S::files);
    EXPECT_EQ(view.currentPage()->objectName(), "page-Files");
    EXPECT_TRUE(view.sidebar()->selectedItems().isEmpty());
    // A navigation to the hidden section still shows it.
    view.setSelectedSection(S::home);
    NotificationCenter::shared().postNavigateToSection("Files");
    ASSERT_TRUE(waitUntil([&] { return view.selectedSection() == S::files; }));
}

TEST_F(MainWindowFrame, OnlyAChangeOfSectionOrOfDataRebuildsThePage) {
    MainWindowView view(context);
    view.show();
    QPointer<Page> first = view.currentPage();
    const QUuid id = view.refreshID();
    ASSERT_TRUE(first->isAppeared());

    view.setSelectedSection(S::home);
    NotificationCenter::shared().postNavigateToSection("Home");
    NotificationCenter::shared().postNavigateToSection("Nowhere");
    testsupport::processEvents();
    EXPECT_EQ(view.currentPage(), first);
    EXPECT_EQ(view.refreshID(), id);

    NotificationCenter::shared().postNavigateToSection("Settings");
    ASSERT_TRUE(waitUntil([&] { return view.selectedSection() == S::settings; }));
    EXPECT_NE(view.refreshID(), id);
    EXPECT_EQ(view.currentPage()->objectName(), "page-Settings");
    EXPECT_TRUE(view.currentPage()->isAppeared());
    // The old page was told before it went, and is deleted later.
    ASSERT_TRUE(waitUntil([&] { return first.isNull(); }));

    QPointer<Page> settingsPage = view.currentPage();
    NotificationCenter::shared().postDataChanged();
    ASSERT_TRUE(waitUntil([&] { return settingsPage.isNull(); }));
    EXPECT_EQ(view.currentPage()->objectName(), "page-Settings");
    EXPECT_TRUE(view.currentPage()->isAppeared());
}

TEST_F(MainWindowFrame, ClickingARowSelectsItsSection) {
    MainWindowView view(context);
    view.show();
    QListWidget* list = view.sidebar();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == "History") list->setCurrentRow(i);
    EXPECT_EQ(view.selectedSection(), S::history);
    EXPECT_EQ(view.currentPage()->objectName(), "page-History");
}

TEST_F(MainWindowFrame, RebuildWaitsForAnOpenModalDialog) {
    MainWindowView view(context);
    view.show();
    QPointer<Page> page = view.currentPage();
    auto* dialog = new QDialog(&view);
    dialog->setModal(true);
    dialog->show();
    NotificationCenter::shared().postDataChanged();
    testsupport::processEvents(50);
    EXPECT_EQ(view.currentPage(), page);
    dialog->close();
    ASSERT_TRUE(waitUntil([&] { return page.isNull(); }));
    EXPECT_TRUE(view.currentPage()->isAppeared());
    delete dialog;
}

TEST_F(MainWindowFrame, ClosingTheWindowTellsThePageAndReopeningLoadsItAgain) {
    MainWindowView view(context);
    view.show();
    Page* page = view.currentPage();
    view.hide();
    EXPECT_FALSE(page->isAppeared());
    view.show();
    EXPECT_EQ(view.currentPage(), page);
    EXPECT_TRUE(page->isAppeared());
}

TEST_F(MainWindowFrame, InterfaceLanguageRetitlesTheSidebar) {
    MainWindowView view(context);
    setLanguage("ru");
    EXPECT_EQ(view.sidebar()->item(0)->text(), "ГЛАВНОЕ");
    EXPECT_EQ(view.sidebar()->item(1)->text(), L10n::home());
    setLanguage("en");
    EXPECT_EQ(view.sidebar()->item(0)->text(), "MAIN");
}

TEST_F(MainWindowFrame, FileLimitsReachTheStateEvenWhenTheWindowIsGone) {
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    std::atomic<int> calls{0};
    context.fetchFileLimits = [&]() -> std::optional<FileLimits> {
        ++calls;
        std::unique_lock lock(m);
        cv.wait_for(lock, std::chrono::seconds(30), [&] { return release; });
        FileLimits limits;
        limits.featureEnabled = true;
        limits.maxFileSizeMb = 250;
        limits.serviceAvailable = true;
        return limits;
    };
    {
        MainWindowView signedOut(context);
        signedOut.show();
    }
    EXPECT_EQ(calls.load(), 0);

    appState.setIsAuthenticated(true);
    auto* view = new MainWindowView(context);
    view->show();
    ASSERT_TRUE(waitUntil([&] { return calls.load() == 1; }));
    delete view;
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    ASSERT_TRUE(waitUntil([&] { return appState.filesFeatureEnabled(); }));
    EXPECT_EQ(appState.filesMaxSizeMb(), 250);
}

namespace {
// Answers the next modal message box with the given keys, then by clicking
// the button titled `click` (if any).
void answerAlert(const QList<int>& keys, const QString& click, QString* seenText = nullptr) {
    QTimer::singleShot(0, [=] {
        ASSERT_TRUE(waitUntil([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (seenText) *seenText = box->text() + "|" + box->informativeText();
        for (int key : keys) {
            QTest::keyClick(box, Qt::Key(key));
            if (!box->isVisible()) return;
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == click) b->click();
    });
}
}  // namespace

TEST(ConfirmDeletionTest, EscapeCancelsReturnDoesNothingDeleteConfirms) {
    QString seen;
    answerAlert({Qt::Key_Escape}, {}, &seen);
    EXPECT_FALSE(confirmDeletion("Delete this entry?"));
    EXPECT_EQ(seen, "Delete this entry?|This action cannot be undone.");

    answerAlert({Qt::Key_Return, Qt::Key_Enter}, "Delete");
    EXPECT_TRUE(confirmDeletion("Delete this entry?"));

    const QString log = testsupport::debugLogText();
    EXPECT_TRUE(log.contains("[UI] Подтверждение удаления: отмена (код 1001)"));
    EXPECT_TRUE(log.contains("[UI] Подтверждение удаления: УДАЛИТЬ (код 1000)"));
    EXPECT_EQ(log.count("[UI] Подтверждение удаления"), 2);  // Return chose nothing

    setConfirmDeletionHandler([](const QString&) { return true; });
    EXPECT_TRUE(confirmDeletion("x"));
    setConfirmDeletionHandler({});
}
