// How the Home, History and Clipboard sections look in the main window to
// a signed-in user with a few dictations, one failed recording and a few
// copies, in English and in Russian: screenshots under build/artifacts/.
#include <QScrollBar>

#include "MainWindowFixture.h"
#include "OfflineDelivery.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/HistorySection.h"
#include "mainwindow/MainWindowView.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "records/TextExpansionService.h"
#include "support/Screenshots.h"
#include "ui/Page.h"

namespace {

// The stores the record pages show, dated from `start`, with a retry queue
// that cannot reach the service.
struct RecordStores {
    RecordStores(const QDateTime& start, Pasteboard& pasteboard, Clock& clock, AppState& appState)
        : storeClock(start),
          history(testsupport::root() + "/data/Ormil.sqlite", storeClock),
          clipboard(&pasteboard, clock),
          made(delivery.makeQueue(testsupport::root() + "/data/failed_audio", history, clipboard,
                                  appState, overlay, storeClock)),
          queue(*made) {}
    FakeClock storeClock;
    HistoryService history;
    FakeOverlay overlay;
    ClipboardHistoryService clipboard;
    OfflineDelivery delivery;
    std::unique_ptr<RetryQueueService> made;
    RetryQueueService& queue;
};

}  // namespace

TEST_F(MainWindowFixture, RecordSectionsScreenshots) {
    RecordStores stores(QDateTime(QDate(2026, 3, 9), QTime(18, 12)), pasteboard, clock, appState);
    FakeClock& storeClock = stores.storeClock;
    HistoryService& history = stores.history;
    ClipboardHistoryService& clipboard = stores.clipboard;
    RetryQueueService& queue = stores.queue;
    history.saveTranscription("Send the draft to Anna before lunch.", "en", 4.2);
    storeClock.advance(16 * 3600);
    history.saveTranscription(
        "Привет! Встреча переносится на пятницу, в десять утра. Возьми, пожалуйста, отчёт "
        "по бюджету и список вопросов к клиенту, чтобы мы успели всё обсудить до обеда.",
        "ru", 14.8);
    storeClock.advance(3 * 3600);
    history.saveTranscription(
        "We should review the budget numbers before the call with the client on Friday; the "
        "project deadline moved by a week, so the notes from Monday need a second look and a "
        "short summary for everyone who could not join. Please also check whether the "
        "quarterly plan still holds after the changes we agreed on yesterday afternoon.",
        "en", 71.5);
    queue.save(QByteArray(48000, 'x'), "ogg", "en", "openai", "neutral", 12.3,
               "The request timed out.");
    clipboard.start();
    for (const char* copied :
         {"https://ormil.test/docs/getting-started", "Quarterly plan: numbers for Q2",
          "Anna — +49 30 1234567\nBerlin office\nRoom 4.12"}) {
        pasteboard.setString(copied);
        clock.advance(1.0);
    }
    clipboard.addTranscription("A dictation, not listed on the Clipboard page.");

    appState.setIsAuthenticated(true);
    appState.setWordsUsed(12840);
    appState.setWordsLimit(20000);
    appState.setUserPlan("Pro");
    context.history = &history;
    context.retryQueue = &queue;
    context.clipboardHistory = &clipboard;

    for (const char* language : {"en", "ru"}) {
        setLanguage(language);
        MainWindowView view(context);
        view.resize(960, 640);
        view.show();
        for (SidebarSection s :
             {SidebarSection::home, SidebarSection::history, SidebarSection::clipboard}) {
            view.setSelectedSection(s);
            const QString name = QString("main-%1-%2").arg(rawValue(s).toLower(), language);
            EXPECT_FALSE(testsupport::saveScreenshot(&view, name).isEmpty());
        }
    }
}

// The five lists with what makes a list hard to lay out: long rows, words
// and links longer than the window, Russian and English, and many rows.
// Shots under build/artifacts/list-*.png.
TEST_F(MainWindowFixture, RecordListsScreenshots) {
    RecordStores stores(QDateTime(QDate(2026, 3, 8), QTime(9, 0)), pasteboard, clock, appState);
    FakeClock& storeClock = stores.storeClock;
    HistoryService& history = stores.history;
    ClipboardHistoryService& clipboard = stores.clipboard;
    RetryQueueService& queue = stores.queue;
    TextExpansionService expansions(testsupport::root() + "/text_expansions.json");
    const QString link = "https://ormil.test/share/" + QString("a1b2c3d4e5f6").repeated(20);
    const QString longWord = QString("Donaudampfschifffahrtsgesellschaft").repeated(6);
    const QString paragraph =
        "Привет! Встреча переносится на пятницу, в десять утра. Возьми, пожалуйста, отчёт по "
        "бюджету и список вопросов к клиенту, чтобы мы успели всё обсудить до обеда. We should "
        "review the budget numbers before the call with the client on Friday; the project "
        "deadline moved by a week, so the notes from Monday need a second look and a short "
        "summary for everyone who could not join.";
    const QStringList texts = {"Send the draft to Anna before lunch.",
                               link,
                               longWord,
                               paragraph,
                               "Короткая заметка.",
                               "Call the client at ten."};
    for (int i = 0; i < 300; ++i) {
        history.saveTranscription(texts.at(i % texts.size()), i % 2 ? "ru" : "en", 3.5 + i % 40);
        storeClock.advance(i < 290 ? 600 : 3 * 3600);
    }
    queue.save(QByteArray(48000, 'x'), "ogg", "en", "openai", "neutral", 12.3,
               "The request timed out.");
    queue.save(QByteArray(9000, 'x'), "ogg", "ru", "openai", "neutral", 4,
               "Сервер недоступен: " + link);
    clipboard.start();
    for (const QString& copied : {link, QString("Anna — +49 30 1234567\nBerlin office\nRoom 4.12"),
                                  paragraph, longWord, QString("Quarterly plan: numbers for Q2")}) {
        pasteboard.setString(copied);
        clock.advance(1.0);
    }
    for (int i = 0; i < 30; ++i)
        history.saveDictionaryEntry(QString("term%1").arg(i, 2, 10, QChar('0')),
                                    i % 5 == 0   ? link
                                    : i % 5 == 1 ? paragraph
                                                 : QString("Term %1").arg(i));
    history.saveDictionaryEntry(longWord, "short");
    for (int i = 0; i < 20; ++i)
        expansions.addItem(QString(";s%1").arg(i),
                           i % 3 == 0   ? paragraph
                           : i % 3 == 1 ? link
                                        : "Best regards,\nAnna",
                           std::nullopt);

    context.history = &history;
    context.retryQueue = &queue;
    context.clipboardHistory = &clipboard;
    context.textExpansions = &expansions;
    for (const char* language : {"en", "ru"}) {
        setLanguage(language);
        MainWindowView view(context);
        view.resize(900, 640);
        view.show();
        const auto shoot = [&](const QString& what) {
            testsupport::processEvents();
            EXPECT_FALSE(
                testsupport::saveScreenshot(&view, QString("list-%1-%2").arg(what, language))
                    .isEmpty());
        };
        for (SidebarSection s : {SidebarSection::history, SidebarSection::clipboard,
                                 SidebarSection::dictionary, SidebarSection::snippets}) {
            view.setSelectedSection(s);
            shoot(rawValue(s).toLower());
        }
        // History: a long row expanded, then a search scrolled to its middle.
        view.setSelectedSection(SidebarSection::history);
        auto* page = qobject_cast<HistorySection*>(view.currentPage());
        ASSERT_TRUE(page);
        testsupport::processEvents();
        for (int row = 0; row < page->model()->rowCount(); ++row) {
            if (page->model()->entry(row).kind != HistoryListModel::Entry::Kind::item ||
                page->model()->item(row).text != paragraph)
                continue;
            page->toggle(page->model()->item(row).id);
            page->list()->scrollTo(page->model()->index(row), QAbstractItemView::PositionAtTop);
            break;
        }
        shoot("history-expanded");
        page->setSearchText("a");
        ASSERT_TRUE(testsupport::waitUntil([&] { return !page->isSearching(); }));
        QScrollBar* bar = page->list()->verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        shoot("history-search-middle");
    }
}
