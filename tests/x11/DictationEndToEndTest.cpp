// Dictations through the real executable: a held right Alt, speech into the
// virtual microphone, the stand-in's answer pasted into the focused window
// of this test program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <cmath>
#include <future>
#include <iostream>
#include <set>

#include "AppProcessTest.h"
#include "audio/OggOpusTestKit.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "service/ErrorReportService.h"
#include "support/DevService.h"
#include "support/VirtualMic.h"
#include "platform/x11/X11Pasteboard.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "AppInput.h"

namespace {

const QString kScripted = QStringLiteral("Scripted words from the stand-in");
constexpr auto kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadUser | QFileDevice::WriteUser;

QString appLog() {
    return apptest::logText();
}

// True when the overlay was shown these states in this order since `from`.
bool overlayWent(std::initializer_list<const char*> states, qsizetype from = 0) {
    const QString log = appLog();
    qsizetype at = from;
    for (const char* state : states) {
        at = log.indexOf(QStringLiteral("[Overlay] show(%1)").arg(state), at);
        if (at < 0) return false;
    }
    return true;
}

class DictationEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay() || !testsupport::hasPulse())
            GTEST_SKIP() << "no test display or sound server";
        ASSERT_NO_FATAL_FAILURE(apptest::launchSignedIn(service, "e2e@ormil.test", app));
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return appLog().contains("[App] Hotkey service initialized"); }));
        // The sign-in ends by showing the main window, which takes the
        // keyboard: the target is focused only after it is up.
        ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil$"); }));

        target.setWindowTitle("dictation target");
        target.show();
        target.activateWindow();
        target.setFocus();
        ASSERT_TRUE(testsupport::waitUntil([&] { return target.hasFocus(); }));
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
        rightAlt = XKeysymToKeycode(dpy, XK_Alt_R);
    }

    void TearDown() override {
        if (dpy) XCloseDisplay(dpy);
        if (app) apptest::stop(*app);
    }

    void answerWith(const QString& text) {
        service.queue("/transcribe", apptest::transcript(text));
    }

    void key(bool down) { apptest::setKey(dpy, rightAlt, down); }

    // Holds the dictation key while the microphone hears `pcm` (in real time).
    void dictate(const QByteArray& pcm) { apptest::dictate(dpy, rightAlt, pcm); }

    void waitForRecording() { apptest::waitForRecording(appLog().size()); }

    // The tallest run of bright pixels in any column of the pill's area: the
    // tallest level bar (the pill is black, its border grey).
    static int tallestBar(const QImage& shot) {
        int tallest = 0;
        for (int x = 0; x < shot.width(); ++x) {
            int run = 0;
            for (int y = 0; y < shot.height(); ++y) {
                run = qGray(shot.pixel(x, y)) > 128 ? run + 1 : 0;
                tallest = std::max(tallest, run);
            }
        }
        return tallest;
    }

    DevService service;
    std::unique_ptr<QProcess> app;
    QLineEdit target;
    Display* dpy = nullptr;
    KeyCode rightAlt = 0;
};

TEST_F(DictationEndToEnd, SpeechIsPastedIntoTheFocusedWindowAndKept) {
    answerWith(kScripted);
    QApplication::clipboard()->setText("held before");
    dictate(VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));

    EXPECT_TRUE(testsupport::waitUntil([&] { return target.text() == kScripted + " "; }, 30000))
        << target.text().toStdString() << "\nthe application's log ends:\n"
        << appLog().right(4000).toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return QApplication::clipboard()->text() == "held before";
    })) << QApplication::clipboard()->text().toStdString();

    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("format"), "ogg");

    HistoryService history(HistoryService::defaultDatabasePath(), Clock::system());
    const auto records = history.fetchTranscriptions(10);
    ASSERT_EQ(records.size(), 1);
    EXPECT_TRUE(records[0].value("text").toString().contains(kScripted));

    EXPECT_TRUE(testsupport::waitUntil([&] {
        return overlayWent({"recording", "processing", "success", "idle"});
    }));
    // Delivered: neither the recording nor a copy of it is left.
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return QDir(PrivateFiles::temporaryDirectory()).entryList(QDir::Files).isEmpty();
    })) << QDir(PrivateFiles::temporaryDirectory()).entryList(QDir::Files).join(", ").toStdString();
}

TEST_F(DictationEndToEnd, ADictationKilledDuringItsUploadIsAdoptedByTheNextStart) {
    service.hold("/transcribe");
    dictate(VirtualMic::speech("these words must not be lost") + VirtualMic::silence(0.5));
    ASSERT_TRUE(testsupport::waitUntil([&] { return service.inFlight() == 1; }, 30000))
        << appLog().right(4000).toStdString();

    // While the service holds the upload, the recording is on disk, in the
    // private temporary folder and readable by this user only.
    const QDir temp(PrivateFiles::temporaryDirectory());
    const QStringList recordings = temp.entryList({"ormil_*.wav"}, QDir::Files);
    ASSERT_EQ(recordings.size(), 1) << temp.entryList(QDir::Files).join(", ").toStdString();
    const QString recording = temp.filePath(recordings[0]);
    EXPECT_EQ(QFileInfo(recording).permissions(), kPrivateFile);
    EXPECT_TRUE(QDir(QDir::tempPath()).entryList({"ormil_*"}, QDir::Files).isEmpty());
    const QByteArray recorded = testsupport::readFile(recording);
    ASSERT_GT(recorded.size(), 44 + 32000);

    app->kill();
    ASSERT_TRUE(app->waitForFinished(10000));
    service.release();

    app = apptest::launch();
    ASSERT_TRUE(app->waitForStarted());
    const QString queueFile = RetryQueueService::defaultStorageDir() + "/failed_queue.json";
    const auto queued = [&] {
        return QJsonDocument::fromJson(testsupport::readFile(queueFile)).array();
    };
    ASSERT_TRUE(testsupport::waitUntil([&] { return !queued().isEmpty(); }, 30000))
        << appLog().right(4000).toStdString();
    const QJsonArray queue = queued();
    ASSERT_EQ(queue.size(), 1);
    const QJsonObject entry = queue[0].toObject();
    EXPECT_EQ(entry.value("errorMessage").toString(), "Interrupted");
    EXPECT_EQ(entry.value("audioFormat").toString(), "wav");
    const QString kept =
        RetryQueueService::defaultStorageDir() + "/" + entry.value("audioFileName").toString();
    EXPECT_EQ(testsupport::readFile(kept), recorded);
    EXPECT_EQ(QFileInfo(kept).permissions(), kPrivateFile);
    EXPECT_FALSE(QFileInfo::exists(recording));
    // One attempt reached the service; nothing was pasted.
    EXPECT_EQ(service.requests("/transcribe").size(), 1);
    EXPECT_TRUE(target.text().isEmpty());
}

// A desktop's own key binding runs `ormil --start-dictation` and
// `--stop-dictation`: the second launches hand the commands to the running
// copy, which records and pastes as for the key, and opens no window.
TEST_F(DictationEndToEnd, StartAndStopCommandsOfLaterLaunchesDictate) {
    answerWith(kScripted);
    const qsizetype from = appLog().size();
    apptest::dictateWith([] { apptest::handOver("--start-dictation"); },
                         [] { apptest::handOver("--stop-dictation"); },
                         VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));

    EXPECT_TRUE(testsupport::waitUntil([&] { return target.text() == kScripted + " "; }, 30000))
        << target.text().toStdString() << "\nthe application's log ends:\n"
        << appLog().right(4000).toStdString();
    EXPECT_TRUE(target.hasFocus());
    const QString log = appLog().mid(from);
    EXPECT_TRUE(log.contains("[Hotkey] Command --start-dictation")) << log.toStdString();
    EXPECT_FALSE(log.contains("[App] Повторный запуск")) << log.toStdString();
    ASSERT_EQ(service.requests("/transcribe").size(), 1);
}

TEST_F(DictationEndToEnd, ServerFailureIsQueuedWithItsAudioAndReported) {
    DevService::Answer failure;
    failure.status = 500;
    failure.body = "upstream down";
    failure.count = 10;
    service.queue("/transcribe", failure);
    dictate(VirtualMic::speech("this one will fail") + VirtualMic::silence(0.5));

    const QString queueFile = RetryQueueService::defaultStorageDir() + "/failed_queue.json";
    ASSERT_TRUE(testsupport::waitUntil([&] { return QFileInfo::exists(queueFile); }, 30000));
    const QJsonArray queue = QJsonDocument::fromJson(testsupport::readFile(queueFile)).array();
    ASSERT_EQ(queue.size(), 1);
    const QString audioFile = RetryQueueService::defaultStorageDir() + "/" +
                              queue[0].toObject().value("audioFileName").toString();
    EXPECT_GT(QFileInfo(audioFile).size(), 0);

    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return QFileInfo::exists(ErrorReportService::defaultQueueFile()); }));
    const QList<QByteArray> lines =
        testsupport::readFile(ErrorReportService::defaultQueueFile()).trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains("transcription_failed"));

    EXPECT_TRUE(testsupport::waitUntil([&] { return overlayWent({"recording", "error"}); }));
    EXPECT_TRUE(target.text().isEmpty());
}

TEST_F(DictationEndToEnd, SilenceAndShortPressesSendNothing) {
    answerWith(kScripted);
    dictate(VirtualMic::silence(1.5));
    ASSERT_TRUE(testsupport::waitUntil([&] { return appLog().contains("[Audio] Речи не слышно"); }))
        << appLog().toStdString();
    // The overlay's line follows the silence line; the log may be read between them.
    EXPECT_TRUE(testsupport::waitUntil([&] { return overlayWent({"recording", "error"}); }));

    const qsizetype before = appLog().size();
    key(true);
    key(false);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return appLog().indexOf("[Hotkey] Too short, cancelling", before) >= 0; }));
    // Whatever is still in the line would have been sent by now.
    testsupport::processEvents(500);
    EXPECT_TRUE(service.requests("/transcribe").isEmpty());
    EXPECT_TRUE(target.text().isEmpty());
}

TEST_F(DictationEndToEnd, LongDictationStreamsAWindowAndJoinsTheLastOne) {
    // Speech throughout, so that the windows are not silence.
    QByteArray pcm;
    const QByteArray phrase = VirtualMic::speech("one long dictation that keeps going and going") +
                              VirtualMic::silence(0.3);
    while (pcm.size() < 65 * 32000) pcm += phrase;
    pcm.truncate(65 * 32000);
    answerWith("The first window");
    answerWith("and then the last one");

    key(true);
    waitForRecording();
    auto played = std::async(std::launch::async, [&] { VirtualMic::play(pcm); });
    // A window goes up while the key is still held.
    EXPECT_TRUE(testsupport::waitUntil([&] { return service.requests("/transcribe").size() == 1; },
                                       120000));
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return played.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        120000));
    key(false);

    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return target.text() == "The first window and then the last one "; }, 30000))
        << target.text().toStdString();
    EXPECT_EQ(service.requests("/transcribe").size(), 2);
    EXPECT_TRUE(appLog().contains("[Streaming] Готово потоково"));
    EXPECT_TRUE(overlayWent({"recording", "processing", "success"}));
}

// A rule for the focused application: the dictation goes out in its tone.
// The target window carries a WM_CLASS that an installed entry names.
class PerAppDictation : public DictationEndToEnd {
protected:
    void SetUp() override {
        testsupport::writeFile(
            testsupport::root() + "/data/applications/org.example.Target.desktop",
            "[Desktop Entry]\nType=Application\nName=Target\n"
            "StartupWMClass=OrmilTarget\n");
        // Stored before the application starts, which reads them once.
        SettingsStore::shared().setMany(
            {{"toneStyle", "neutral"},
             {"perAppStylesEnabled", true},
             {"perAppStyles", QJsonObject{{"org.example.Target", "formal"}}}});
        DictationEndToEnd::SetUp();
    }
};

TEST_F(PerAppDictation, TheFocusedApplicationsRuleGivesTheTone) {
    XClassHint hint{const_cast<char*>("ormil-target"), const_cast<char*>("OrmilTarget")};
    XSetClassHint(dpy, target.winId(), &hint);
    XSync(dpy, False);
    answerWith(kScripted);
    dictate(VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));
    ASSERT_TRUE(testsupport::waitUntil([&] { return target.text() == kScripted + " "; }, 30000))
        << appLog().right(4000).toStdString();
    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("tone_style"), "formal");
    EXPECT_TRUE(
        appLog().contains("[PerApp] org.example.Target -> formal (overrides global neutral)"));
}

}  // namespace

// The level bars with real speech from the virtual microphone: the meter
// maps each reading as the recorder's log says, and shots of the pill taken
// while the speech plays show the bars rise and change. The shots are kept
// under artifacts/ as a series.
TEST_F(DictationEndToEnd, LevelBarsFollowRealSpeech) {
    answerWith(kScripted);
    const QByteArray pcm =
        VirtualMic::speech("the quick brown fox jumps over the lazy dog, and back again");
    const qsizetype from = appLog().size();
    key(true);
    waitForRecording();
    std::atomic<bool> played{false};
    auto player = std::async(std::launch::async, [&] {
        VirtualMic::play(pcm);
        played = true;
    });
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // The pill sits at the middle of the bottom edge.
    const QRect area(screen.center().x() - 60, screen.bottom() - 60, 120, 60);
    const QString dir = QStringLiteral(ORMIL_ARTIFACTS_DIR) + "/level-bars";
    QDir().mkpath(dir);
    std::vector<int> heights;
    while (!played) {
        testsupport::processEvents(150);
        const QImage shot = QGuiApplication::primaryScreen()
                                ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                .toImage();
        shot.save(QStringLiteral("%1/%2.png").arg(dir).arg(heights.size(), 2, 10, QChar('0')));
        heights.push_back(tallestBar(shot));
    }
    player.get();
    key(false);

    std::string series;
    for (int h : heights) series += std::to_string(h) + " ";
    ASSERT_GE(heights.size(), 5u) << series;
    // At rest every bar is 2 high; speech at about -20 dBFS lifts the middle
    // ones past half their 20 points.
    EXPECT_GE(*std::max_element(heights.begin(), heights.end()), 10) << series;
    EXPECT_GT(std::set<int>(heights.begin(), heights.end()).size(), 2u) << series;

    // Each reading the recorder logged: level = (power + 50) / 50 in 0...1,
    // and the bars' level is its square root.
    const QString log = appLog().mid(from);
    static const QRegularExpression metering(
        R"(\[Audio\] Metering #\d+: power=(-?[\d.e+-]+)dB norm=([\d.e+-]+))");
    int readings = 0;
    double loudest = -160;
    for (auto it = metering.globalMatch(log); it.hasNext();) {
        const auto m = it.next();
        const double power = m.captured(1).toDouble();
        const double norm = m.captured(2).toDouble();
        EXPECT_NEAR(norm, std::clamp((power + 50) / 50, 0.0, 1.0), 1e-6) << power;
        loudest = std::max(loudest, power);
        ++readings;
    }
    EXPECT_GE(readings, 5);
    static const QRegularExpression waveform(
        R"(\[Waveform\] #\d+: raw=([\d.e+-]+) level=([\d.e+-]+))");
    for (auto it = waveform.globalMatch(log); it.hasNext();) {
        const auto m = it.next();
        EXPECT_NEAR(m.captured(2).toDouble(), std::sqrt(m.captured(1).toDouble()), 1e-6);
    }
    std::cout << "level bars (tallest per shot): " << series << "\nloudest logged reading "
              << loudest << " dBFS, speech peak " << VirtualMic::peak(pcm) << "\n";
}

TEST_F(DictationEndToEnd, SpeechRightAfterThePressIsRecordedWhole) {
    // A user who speaks the moment the key goes down: a 1 s tone that starts
    // 150 ms after the press must reach the service whole, not with its
    // start cut off while the recorder was still starting.
    answerWith(kScripted);
    const QByteArray tone = VirtualMic::tone(440.0, 1.0, 0.3);
    key(true);
    XSync(dpy, False);
    QElapsedTimer sincePress;
    sincePress.start();
    testsupport::waitUntil([&] { return sincePress.elapsed() >= 150; });
    auto played =
        std::async(std::launch::async, [&] { VirtualMic::play(tone + VirtualMic::silence(0.4)); });
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return played.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    key(false);

    ASSERT_TRUE(
        testsupport::waitUntil([&] { return !service.requests("/transcribe").isEmpty(); }, 30000))
        << appLog().right(4000).toStdString();
    const auto upload = service.requests("/transcribe").first();
    ASSERT_EQ(upload.formField("format"), "ogg");
    const oggkit::Decoded audio = oggkit::decode(upload.formFile("audio"));
    ASSERT_EQ(audio.error, 0);
    const std::vector<double> blocks =
        oggkit::envelope(audio.pcm.data(), audio.pcm.size(), 48000);  // 20 ms each
    // The microphone hears silence but for the tone (0.3 of full scale is
    // an RMS near 7000); a block partly covered by the tone still counts.
    const auto loud = [&](size_t i) { return blocks[i] > 1000; };
    size_t last = blocks.size();
    while (last > 0 && !loud(last - 1)) --last;
    ASSERT_GE(last, 50u) << "the tone is missing or shorter than a second";
    int loudBlocks = 0;
    for (size_t i = last - 50; i < last; ++i) loudBlocks += loud(i) ? 1 : 0;
    EXPECT_GE(loudBlocks, 48) << "of the 50 blocks of the tone's second; the recording holds "
                              << blocks.size() << " blocks";
    std::cout << "measured: " << loudBlocks << " of the tone's 50 blocks loud, " << blocks.size()
              << " blocks recorded\n";
}
