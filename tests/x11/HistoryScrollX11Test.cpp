// The History page on the real X server with a large store: a one-letter
// search lists almost every record, the list is scrolled fast with the
// wheel, and the window still answers the next keystroke. How fast is
// measured in bench/history_window.cpp; the bound here catches a window that
// freezes (it used to, for tens of seconds), with room for a sanitized build
// on a busy machine.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "../../bench/HistoryBenchData.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePasteboard.h"
#include "mainwindow/HistorySection.h"
#include "mainwindow/MainWindowView.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "ui/SearchField.h"

namespace {

constexpr int kRecords = 50000;

void wheel(QWidget* target, int notches) {
    const QPoint at = target->rect().center();
    QApplication::postEvent(
        target, new QWheelEvent(at, target->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches),
                                Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false));
}

}  // namespace

TEST(HistoryScrollOnX11, TheWindowAnswersAKeystrokeWhileALargeResultScrolls) {
    if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "not on xcb";
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(14, 30))};
    const QString path = testsupport::root() + "/data/Ormil.sqlite";
    historybench::fillStore(path, clock, kRecords, false);
    HistoryService history(path, clock);
    AppState appState(SettingsStore::shared(), [](const QString&) { return TokenReadResult{}; });
    MainWindowContext context;
    context.settings = &SettingsStore::shared();
    context.appState = &appState;
    context.notifications = &NotificationCenter::shared();
    context.history = &history;
    context.clock = &clock;
    FakePasteboard pasteboard;
    context.pasteboard = &pasteboard;
    context.dictationHotkeyName = [] { return QStringLiteral("Right Alt"); };
    MainWindowView view(context);
    view.setSelectedSection(SidebarSection::history);
    view.resize(1000, 700);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    auto* page = qobject_cast<HistorySection*>(view.currentPage());
    ASSERT_TRUE(page);
    QLineEdit* edit = page->searchField()->lineEdit();
    edit->setFocus();
    QTest::keyClick(edit, 't');
    ASSERT_TRUE(testsupport::waitUntil([&] { return !page->isSearching(); }, 60000));
    ASSERT_GT(page->items().size(), kRecords * 9 / 10);

    // Fast flicks down the list, a few frames apart.
    QWidget* viewport = page->list()->viewport();
    QScrollBar* bar = page->list()->verticalScrollBar();
    for (int i = 0; i < 120; ++i) {
        wheel(viewport, 40);
        testsupport::processEvents(8);
    }
    ASSERT_GT(bar->value(), 0);

    // More flicks queued, then the next letter behind them: the window
    // takes the letter right after them.
    for (int i = 0; i < 10; ++i) wheel(viewport, 40);
    QElapsedTimer answered;
    answered.start();
    QApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, "e"));
    QApplication::postEvent(edit,
                            new QKeyEvent(QEvent::KeyRelease, Qt::Key_E, Qt::NoModifier, "e"));
    ASSERT_TRUE(testsupport::waitUntil([&] { return edit->text() == "te"; }, 20000));
    edit->repaint();
    EXPECT_LT(answered.elapsed(), 2000);

    // And the new search answers, every match reachable.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !page->isSearching(); }, 60000));
    EXPECT_EQ(page->searchText(), "te");
    bar->setValue(bar->maximum());
    viewport->repaint();
    bar->setValue(bar->maximum());
    viewport->repaint();
    const QModelIndex last = page->list()->indexAt(QPoint(40, viewport->height() - 2));
    ASSERT_TRUE(last.isValid());
    EXPECT_EQ(last.row(), page->model()->rowCount() - 1);
}
