// One dictation through the real executable: a held right Alt, speech into
// the virtual microphone, the stand-in's answer pasted into the focused
// window of this test program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLineEdit>
#include <future>

#include "AppProcessTest.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "support/DevService.h"
#include "support/VirtualMic.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

const QString kLog = QStringLiteral("/tmp/ormil-debug.log");

QString logSince(qint64 offset) {
    return QString::fromUtf8(testsupport::readFile(kLog).mid(offset));
}

QByteArray field(const DevService::Received& r, const QByteArray& name) {
    const QByteArray marker = "name=\"" + name + "\"\r\n\r\n";
    const qsizetype at = r.body.indexOf(marker);
    if (at < 0) return {};
    const qsizetype from = at + marker.size();
    return r.body.mid(from, r.body.indexOf("\r\n", from) - from);
}

TEST(DictationEndToEnd, HeldKeySpeechIsPastedIntoTheFocusedWindow) {
    if (!testsupport::hasDisplay() || !testsupport::hasPulse()) GTEST_SKIP() << "no test display";
    DevService service;
    service.exportBases();
    service.createAccount({{"email", "e2e@ormil.test"}, {"password", "pw"}});
    service.addTelegramToken("e2e-link", "e2e@ormil.test");
    DevService::Answer answer;
    answer.json = QJsonObject{{"success", true},
                              {"text", "Scripted words from the stand-in"},
                              {"word_count", 5},
                              {"weekly_words_used", 5},
                              {"weekly_words_limit", 2000}};
    service.queue("/transcribe", answer);

    // The application starts its log afresh; the X11 tests run one at a time.
    QFile::remove(kLog);
    const qint64 logStart = 0;
    auto app = apptest::launch();
    ASSERT_TRUE(app->waitForStarted());
    ASSERT_TRUE(testsupport::waitUntil([&] { return apptest::runningPid() == app->processId(); }));
    auto link = apptest::launch(QStringLiteral(ORMIL_BINARY_PATH), {"ormil://auth?token=e2e-link"});
    ASSERT_TRUE(link->waitForFinished(20000));
    ASSERT_TRUE(testsupport::waitUntil([&] {
        return QJsonDocument::fromJson(testsupport::readFile(SettingsStore::defaultFilePath()))
            .object()
            .contains("ormil_auth_fallback_access_token");
    }));
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return logSince(logStart).contains("[App] Hotkey service initialized"); }));

    QApplication::clipboard()->setText("held before");
    QLineEdit target;
    target.setWindowTitle("dictation target");
    target.show();
    target.activateWindow();
    target.setFocus();
    ASSERT_TRUE(testsupport::waitUntil([&] { return target.hasFocus(); }));

    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    const KeyCode rightAlt = XKeysymToKeycode(dpy, XK_Alt_R);
    XTestFakeKeyEvent(dpy, rightAlt, True, 0);
    XFlush(dpy);
    const QByteArray speech =
        VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5);
    auto played = std::async(std::launch::async, [&] { VirtualMic::play(speech); });
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return played.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    XTestFakeKeyEvent(dpy, rightAlt, False, 0);
    XFlush(dpy);
    XCloseDisplay(dpy);

    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return target.text() == "Scripted words from the stand-in "; }, 30000))
        << target.text().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return QApplication::clipboard()->text() == "held before";
    })) << QApplication::clipboard()->text().toStdString();

    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(field(uploads[0], "format"), "ogg");

    HistoryService history(HistoryService::defaultDatabasePath(), Clock::system());
    const auto records = history.fetchTranscriptions(10);
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records[0].value("text").toString().contains("Scripted words from the stand-in"));

    // The overlay went through its states in order.
    const auto statesInOrder = [&] {
        const QString log = logSince(logStart);
        qsizetype at = 0;
        for (const char* state : {"recording", "processing", "success", "idle"}) {
            at = log.indexOf(QStringLiteral("[Overlay] show(%1)").arg(state), at);
            if (at < 0) return false;
        }
        return true;
    };
    EXPECT_TRUE(testsupport::waitUntil(statesInOrder));
    apptest::stop(*app);
}

}  // namespace
