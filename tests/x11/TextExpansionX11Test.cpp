// Text expansion on the real X server: keys typed with XTest into a text
// field of another process or a real xterm are expanded there, the clipboard
// comes back, and a Russian layout's keys fire a Latin trigger.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>
#include <functional>

#include "fakes/FakeNotifier.h"
#include "pipeline/KeyboardSimulator.h"
#include "pipeline/TextExpansionEngine.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11KeyEventSource.h"
#include "platform/x11/X11KeySynthesizer.h"
#include "platform/x11/X11Pasteboard.h"
#include "platform/x11/X11WindowWatcher.h"
#include "records/TextExpansionService.h"
#include "support/TestSupport.h"

// X11 headers last: their macros clash with Qt and gtest.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "AppInput.h"
#include "XtermSink.h"

namespace {

// The text field of another process, and what it reports.
class TextFieldPeer {
public:
    TextFieldPeer() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        m_process.setProcessEnvironment(env);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line.startsWith("window ")) m_window = line.mid(7).toULong();
                if (line == "focused") m_focused = true;
                if (line.startsWith("text")) m_text = QUrl::fromPercentEncoding(line.mid(5));
            }
        });
        m_process.start(ORMIL_TEXTFIELD_PEER, {});
    }
    ~TextFieldPeer() {
        m_process.kill();
        m_process.waitForFinished();
    }
    // Shows the window and gives it the keyboard focus (no window manager).
    bool focus(Display* dpy) {
        if (!testsupport::waitUntil([&] { return m_window != 0; })) return false;
        return apptest::focusWindow(dpy, m_window, [&] { return m_focused; });
    }
    const QString& text() const { return m_text; }

private:
    QProcess m_process;
    unsigned long m_window = 0;
    bool m_focused = false;
    QString m_text;
};

class TextExpansionOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "not on xcb";
        dpy = XOpenDisplay(nullptr);
        ASSERT_NE(dpy, nullptr);
        inserter.setPrimarySelection(&primary);
        QList<TextExpansionItem> list;
        for (const auto& [trigger, text] :
             {std::pair<QString, QString>{"addr", "1 Main St, Springfield"},
              {"ghbdtn", QString::fromUtf8("Привет, мир")}}) {
            TextExpansionItem item;
            item.id = QUuid::createUuid();
            item.trigger = trigger;
            item.expandedText = text;
            list << item;
        }
        items.setItems(list);
    }
    void TearDown() override {
        if (!dpy) return;
        XCloseDisplay(dpy);
        testsupport::runProgram("setxkbmap", {"-layout", "us"});
    }
    void type(const std::vector<KeySym>& symbols) {
        for (KeySym sym : symbols) {
            const KeyCode kc = XKeysymToKeycode(dpy, sym);
            ASSERT_NE(kc, 0);
            XTestFakeKeyEvent(dpy, kc, True, CurrentTime);
            XTestFakeKeyEvent(dpy, kc, False, CurrentTime);
        }
        XSync(dpy, False);
    }
    // Waits for an expansion to start and to end.
    bool expanded() {
        return testsupport::waitUntil([&] { return engine.isExpanding(); }) &&
               testsupport::waitUntil([&] { return !engine.isExpanding(); });
    }

    // Types "xaddr" and then `end` into the focused window, which then
    // shows `expected`; the clipboard and PRIMARY come back.
    void expandAddress(KeySym end, const std::function<QByteArray()>& shown,
                       const QByteArray& expected) {
        pasteboard.setString("keep me");
        primary.setString("selected before");
        engine.start();
        ASSERT_TRUE(engine.isRunning());
        type({XK_x, XK_a, XK_d, XK_d, XK_r});
        ASSERT_TRUE(expanded());
        type({end});
        EXPECT_TRUE(testsupport::waitUntil([&] { return shown() == expected; }))
            << shown().toHex(' ').toStdString();
        EXPECT_EQ(pasteboard.string(), "keep me");
        EXPECT_EQ(primary.string(), "selected before");
    }

    Display* dpy = nullptr;
    TextExpansionService items{testsupport::root() + "/expansion/text_expansions.json"};
    X11KeyEventSource keys;
    X11KeySynthesizer synthesizer;
    X11Pasteboard pasteboard;
    X11Pasteboard primary{nullptr, nullptr, QClipboard::Selection};
    X11FrontmostApp frontmost;
    X11WindowWatcher windows;
    FakeNotifier notifier;
    SettingsStore settings;
    KeyboardSimulator inserter{pasteboard, synthesizer, frontmost,
                               notifier,   settings,    Clock::system()};
    TextExpansionEngine engine{
        {items, keys, synthesizer, &pasteboard, inserter, windows, Clock::system()}};
};

}  // namespace

TEST_F(TextExpansionOnX11, TypedTriggerIsExpandedInAnotherApplication) {
    TextFieldPeer peer;
    ASSERT_TRUE(peer.focus(dpy));
    expandAddress(
        XK_space, [&] { return peer.text().toUtf8(); }, "x1 Main St, Springfield ");
}

TEST_F(TextExpansionOnX11, RussianLayoutKeysFireTheLatinTrigger) {
    int rc = -1;
    testsupport::runProgram("setxkbmap", {"-layout", "us,ru", "-variant", ","}, &rc);
    ASSERT_EQ(rc, 0);
    TextFieldPeer peer;
    ASSERT_TRUE(peer.focus(dpy));
    pasteboard.setString("keep me");
    engine.start();
    ASSERT_TRUE(XkbLockGroup(dpy, XkbUseCoreKbd, 1));
    XSync(dpy, False);

    // The keys of "ghbdtn" type "привет" in the Russian group.
    type({XK_g, XK_h, XK_b, XK_d, XK_t, XK_n});
    ASSERT_TRUE(expanded()) << peer.text().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return peer.text() == QString::fromUtf8("Привет, мир");
    })) << peer.text().toStdString();
    EXPECT_TRUE(testsupport::waitUntil([&] { return pasteboard.string() == "keep me"; }));
    EXPECT_TRUE(testsupport::debugLogText().contains(
        QString::fromUtf8("Alternate layout trigger matched: \"привет\" (original: \"ghbdtn\")")));
    XkbLockGroup(dpy, XkbUseCoreKbd, 0);
    XSync(dpy, False);
}

// xterm pastes PRIMARY with Shift+Insert, and its Control-Shift-V types a
// literal ^V. The line the shell reads shows what the BackSpaces and the
// paste left of the typed trigger.
TEST_F(TextExpansionOnX11, XtermReceivesTheExpandedText) {
    XtermSink xterm("-echo lnext undef");
    ASSERT_TRUE(xterm.focus()) << "xterm is one of the test dependencies";
    expandAddress(
        XK_Return, [&] { return xterm.received(); }, "x1 Main St, Springfield\n");
}

// Another window taking the focus starts the buffer afresh.
TEST_F(TextExpansionOnX11, ActiveWindowChangeClearsTheBuffer) {
    engine.start();
    type({XK_a, XK_d});
    ASSERT_TRUE(testsupport::waitUntil([&] { return engine.typedBuffer() == "ad"; }));
    ASSERT_TRUE(windows.start());
    const Atom active = XInternAtom(dpy, "_NET_ACTIVE_WINDOW", False);
    const Window window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 10, 10, 0, 0, 0);
    XChangeProperty(dpy, DefaultRootWindow(dpy), active, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&window), 1);
    XSync(dpy, False);
    EXPECT_TRUE(testsupport::waitUntil([&] { return engine.typedBuffer().isEmpty(); }));
    XDeleteProperty(dpy, DefaultRootWindow(dpy), active);
    XDestroyWindow(dpy, window);
    XSync(dpy, False);
}
