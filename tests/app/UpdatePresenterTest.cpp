// The updater's real alert and progress window, driven as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "core/L10n.h"
#include "app/UpdateService.h"
#include "support/Screenshots.h"
#include "support/TestSupport.h"

namespace {

// Answers the next modal message box with the button of that text, after
// saving a screenshot of it.
void answerNextBox(const QString& button, const QString& screenshot, QString* seenText) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        poll->stop();
        poll->deleteLater();
        *seenText = box->text() + "|" + box->informativeText();
        testsupport::saveScreenshot(box, screenshot);
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button) b->click();
    });
    poll->start(5);
}

}  // namespace

TEST(UpdatePresenterWidgets, AlertAnswersAndProgressWindow) {
    auto presenter = UpdatePresenter::createWidgets();
    QString seen;
    answerNextBox(L10n::updateNow(), "update-alert", &seen);
    EXPECT_TRUE(
        presenter->offerUpdate(L10n::updateAvailableTitle() + " 1.5.0",
                               "Faster start.\n\n" + L10n::updateCurrentVersion() + ": 1.4.2"));
    EXPECT_EQ(seen, L10n::updateAvailableTitle() + " 1.5.0|Faster start.\n\n" +
                        L10n::updateCurrentVersion() + ": 1.4.2");
    answerNextBox(L10n::updateLater(), "update-alert-later", &seen);
    EXPECT_FALSE(presenter->offerUpdate("title", "text"));

    answerNextBox("OK", "update-failed", &seen);
    presenter->showError(L10n::updateFailedDownload());
    EXPECT_EQ(seen, "Update Failed|" + L10n::updateFailedDownload());
    answerNextBox("OK", "update-info", &seen);
    presenter->showInfo(L10n::updateUpToDate("1.4.2"));
    EXPECT_EQ(seen, "Software Update|" + L10n::updateUpToDate("1.4.2"));

    presenter->showProgress(L10n::updateWindowTitle(), L10n::updateDownloading("1.5.0"));
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == L10n::updateWindowTitle()) window = w;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(340, 100));
    auto* label = window->findChild<QLabel*>("updateStatus");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), L10n::updateDownloading("1.5.0"));
    auto* bar = window->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 0);  // indeterminate
    presenter->setProgressStatus(L10n::updateVerifying());
    EXPECT_EQ(label->text(), L10n::updateVerifying());
    testsupport::saveScreenshot(window, "update-progress");
    QPointer<QWidget> gone(window);
    presenter->closeProgress();
    EXPECT_TRUE(testsupport::waitUntil([&] { return gone.isNull(); }));
}
