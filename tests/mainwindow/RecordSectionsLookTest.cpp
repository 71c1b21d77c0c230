// How the Home, History and Clipboard sections look in the main window to
// a signed-in user with a few dictations, one failed recording and a few
// copies, in English and in Russian: screenshots under build/artifacts/.
#include "MainWindowFixture.h"
#include "OfflineDelivery.h"
#include "fakes/FakeOverlay.h"
#include "mainwindow/MainWindowView.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "support/Screenshots.h"
#include "ui/Page.h"

TEST_F(MainWindowFixture, RecordSectionsScreenshots) {
    FakeClock storeClock{QDateTime(QDate(2026, 3, 9), QTime(18, 12))};
    HistoryService history(testsupport::root() + "/data/Ormil.sqlite", storeClock);
    FakeOverlay overlay;
    ClipboardHistoryService clipboard{&pasteboard, clock};
    OfflineDelivery delivery;
    RetryQueueService queue(testsupport::root() + "/data/failed_audio",
                            RetryQueueService::Dependencies{delivery, history, clipboard,
                                                            appState, &overlay, storeClock});
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
