// The AI text editor through the real executable, as the administrator uses
// it: a dictation goes into a GTK field of another program, a double tap of
// the dictation key opens the editor on that dictation, a tab rewrites it
// through the stand-in, and "Применить" pastes the rewrite back into the
// field with the clipboard put back afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include "platform/SettingsStore.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "AppInput.h"

namespace {

const QString kDictated = QStringLiteral("Созвон завтра в десять захвати отчёт");
const QString kRewrite = QStringLiteral("Переписано стендом: созвон завтра в 10:00, нужен отчёт.");
const QString kEditorTitle = QStringLiteral("AI-обработка текста");

// A GTK entry in a program of its own, and what it reports about itself.
class GtkField {
public:
    GtkField() {
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line.startsWith("window ")) m_window = line.mid(7).toULong();
                if (line == "focused") ++m_focusIns;
                if (line.startsWith("text")) m_text = QUrl::fromPercentEncoding(line.mid(5));
            }
        });
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ORMIL_GTK_FIELD_PEER), {});
    }
    ~GtkField() {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000)) m_process.kill();
        m_process.waitForFinished(10000);
    }
    // Gives the entry the keyboard focus, as a click on it would.
    bool focus(Display* dpy) {
        if (!testsupport::waitUntil([&] { return m_window != 0; }, 30000)) return false;
        const int before = m_focusIns;
        return apptest::focusWindow(dpy, m_window, [&] { return m_focusIns > before; });
    }
    unsigned long window() const { return m_window; }
    const QString& text() const { return m_text; }

private:
    QProcess m_process;
    unsigned long m_window = 0;
    int m_focusIns = 0;
    QString m_text;
};

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The visible window of this title, by its X id.
std::optional<Geometry> visibleWindow(const QString& title) {
    int exitCode = -1;
    const QStringList ids =
        QString::fromUtf8(testsupport::runProgram(
                              "xdotool", {"search", "--onlyvisible", "--name", title}, &exitCode))
            .split('\n', Qt::SkipEmptyParts);
    if (exitCode != 0 || ids.size() != 1) return std::nullopt;
    const QString shell = QString::fromUtf8(
        testsupport::runProgram("xdotool", {"getwindowgeometry", "--shell", ids[0]}));
    Geometry g;
    for (const QString& line : shell.split('\n')) {
        const QString value = line.section('=', 1);
        if (line.startsWith("X=")) g.x = value.toInt();
        if (line.startsWith("Y=")) g.y = value.toInt();
        if (line.startsWith("WIDTH=")) g.width = value.toInt();
        if (line.startsWith("HEIGHT=")) g.height = value.toInt();
    }
    if (g.width <= 0 || g.height <= 0) return std::nullopt;
    return g;
}

class EditorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay() || !testsupport::hasPulse())
            GTEST_SKIP() << "no test display or sound server";
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "not on xcb";
        service.exportBases();
        // The editor is the administrator's: the account says so.
        const DevService::Tokens tokens = service.createSignedInAccount(
            {{"email", "chief@ormil.test"}, {"password", "chief-pw"}, {"is_admin", true}});
        SettingsStore store(SettingsStore::defaultFilePath());
        store.setMany({{"hasSeenOnboarding", true},
                       {"ormil_auth_fallback_access_token", tokens.access},
                       {"ormil_auth_fallback_refresh_token", tokens.refresh}});
        store.flush();

        app = apptest::launch();
        ASSERT_TRUE(app->waitForStarted());
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return apptest::logText().contains("[App] Hotkey service initialized"); },
            30000));
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return !service.requests("/auth/me").isEmpty(); }, 30000));
        // The main window opens once the launch is done and takes the
        // keyboard: the field is focused only after it is up.
        ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil$"); }, 30000));

        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
        rightAlt = XKeysymToKeycode(dpy, XK_Alt_R);
    }

    void TearDown() override {
        if (dpy) XCloseDisplay(dpy);
        if (app) apptest::stop(*app);
    }

    void key(bool down) { apptest::setKey(dpy, rightAlt, down); }

    void click(int x, int y) {
        XTestFakeMotionEvent(dpy, -1, x, y, 0);
        XTestFakeButtonEvent(dpy, 1, True, 0);
        XTestFakeButtonEvent(dpy, 1, False, 0);
        XFlush(dpy);
    }

    void keys(const char* combination) {
        int exitCode = -1;
        testsupport::runProgram("xdotool", {"key", "--clearmodifiers", combination}, &exitCode);
        EXPECT_EQ(exitCode, 0) << combination;
    }

    void screenshot(const QString& name) {
        const QString dir = QStringLiteral(ORMIL_ARTIFACTS_DIR) + "/editor-road";
        QDir().mkpath(dir);
        QGuiApplication::primaryScreen()->grabWindow(0).save(dir + "/" + name + ".png");
    }

    DevService service;
    std::unique_ptr<QProcess> app;
    Display* dpy = nullptr;
    KeyCode rightAlt = 0;
};

TEST_F(EditorEndToEnd, TheLastDictationIsRewrittenAndAppliedIntoTheFieldItCameFrom) {
    GtkField field;
    ASSERT_TRUE(field.focus(dpy)) << "the GTK field did not take the keyboard";

    // 1. A dictation into the field: it becomes the last transcription.
    service.queue("/transcribe", apptest::transcript(kDictated));
    apptest::dictate(dpy, rightAlt,
                     VirtualMic::speech("call tomorrow at ten") + VirtualMic::silence(0.5));
    ASSERT_TRUE(testsupport::waitUntil([&] { return field.text() == kDictated + " "; }, 30000))
        << field.text().toStdString() << "\nthe application's log ends:\n"
        << apptest::logText().right(4000).toStdString();

    // 2. A double tap of the dictation key opens the editor on it.
    const qsizetype beforeTap = apptest::logText().size();
    key(true);
    key(false);
    key(true);
    key(false);
    std::optional<Geometry> editor;
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return bool(editor = visibleWindow(kEditorTitle)); }, 30000))
        << apptest::logText().mid(beforeTap).toStdString();
    EXPECT_TRUE(apptest::logText().indexOf("[Hotkey] Двойной тап -> AI-редактор", beforeTap) >= 0);

    // 3. The first tab ("Нейтральный", at the left of the strip above the
    // result) rewrites the source through the stand-in.
    DevService::Answer rewrite;
    rewrite.json = QJsonObject{{"text", kRewrite}};
    service.queue("/transcribe/postprocess", rewrite);
    const int resultLeft = editor->x + editor->width / 2;
    click(resultLeft + 12 + 24, editor->y + 12 + 12);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return !service.requests("/transcribe/postprocess").isEmpty(); }, 30000))
        << "no tab run reached the stand-in";
    const auto runs = service.requests("/transcribe/postprocess");
    ASSERT_EQ(runs.size(), 1);
    const QJsonObject body = QJsonDocument::fromJson(runs[0].body).object();
    // The source box held the dictation, trimmed.
    EXPECT_EQ(body.value("text").toString(), kDictated);
    EXPECT_EQ(body.value("tone_style").toString(), "neutral");

    // The result box shows the rewrite: select it all and copy it. The
    // answer reaches the window a moment after the stand-in sent it, and
    // until then the box is not there to click: try again until it is.
    QElapsedTimer copying;
    copying.start();
    bool copied = false;
    while (!copied && copying.elapsed() < 30000) {
        click(resultLeft + editor->width / 4, editor->y + editor->height / 2);
        keys("ctrl+a");
        keys("ctrl+c");
        copied = testsupport::waitUntil(
            [&] { return QApplication::clipboard()->text() == kRewrite; }, 2000);
    }
    ASSERT_TRUE(copied) << QApplication::clipboard()->text().toStdString();
    screenshot("result");

    // 4. "Применить" (the default button at the right end of the bar under
    // the columns) closes the editor and pastes into the field, which has
    // the keyboard again; the clipboard holds what it held before.
    QApplication::clipboard()->setText("held before");
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return QApplication::clipboard()->text() == "held before"; }));
    click(editor->x + editor->width - 12 - 30, editor->y + editor->height - 12 - 12);
    EXPECT_TRUE(testsupport::waitUntil([&] { return !visibleWindow(kEditorTitle); }, 30000));
    EXPECT_TRUE(
        testsupport::waitUntil([&] { return field.text() == kDictated + " " + kRewrite; }, 30000))
        << field.text().toStdString() << "\nthe application's log ends:\n"
        << apptest::logText().right(4000).toStdString();
    EXPECT_TRUE(testsupport::waitUntil(
        [&] { return QApplication::clipboard()->text() == "held before"; }, 30000))
        << QApplication::clipboard()->text().toStdString();
    screenshot("applied");
}

}  // namespace
