// The clipboard and the paste on the real X server: another X client (a
// peer on its own connection and thread) owns, reads and receives keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMap>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QFile>
#include <QWidget>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

#include "pipeline/KeyboardSimulator.h"
#include "pipeline/PasteboardGuard.h"
#include "records/ClipboardHistoryService.h"
#include "fakes/FakeClock.h"
#include "platform/FrontmostApp.h"
#include "platform/KeySynthesizer.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "platform/x11/X11Pasteboard.h"
#include "support/TestSupport.h"
#include "fakes/FakeNotifier.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11KeySynthesizer.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include "XtermSink.h"

namespace {

// Another X client: owns the CLIPBOARD with given formats, fetches targets
// from whoever owns it, and has a window that can hold the input focus.
class XPeer {
public:
    explicit XPeer(QByteArray windowClass = "OrmilPeer") {
        m_thread = std::thread([this] { run(); });
        call([this, windowClass] {
            m_dpy = XOpenDisplay(nullptr);
            m_window =
                XCreateSimpleWindow(m_dpy, DefaultRootWindow(m_dpy), 10, 10, 200, 100, 0, 0, 0);
            XClassHint hint{const_cast<char*>("ormil-peer"),
                            const_cast<char*>(windowClass.constData())};
            XSetClassHint(m_dpy, m_window, &hint);
            XSelectInput(m_dpy, m_window, KeyPressMask | StructureNotifyMask | PropertyChangeMask);
            m_targets = XInternAtom(m_dpy, "TARGETS", False);
            m_property = XInternAtom(m_dpy, "ORMIL_PEER", False);
            XFlush(m_dpy);
        });
    }
    ~XPeer() {
        call([this] {
            XCloseDisplay(m_dpy);
            m_dpy = nullptr;
        });
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_thread.join();
    }

    // Owns the selection, and returns once Qt has handled the notice of it:
    // until then Qt answers from what it knew of the previous owner.
    void own(QMap<QByteArray, QByteArray> formats, const QByteArray& selection = "CLIPBOARD") {
        const QClipboard::Mode mode =
            selection == "PRIMARY" ? QClipboard::Selection : QClipboard::Clipboard;
        bool noticed = false;
        QObject receiver;
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed, &receiver,
                         [&](QClipboard::Mode changed) { noticed = noticed || changed == mode; });
        ownUnnoticed(std::move(formats), selection);
        ASSERT_TRUE(testsupport::waitUntil([&] { return noticed; })) << selection.constData();
    }

    // Owns the selection with a server time later than that of every event
    // sent before the call (a copy in another window that comes after
    // everything Qt may have handled so far), and returns before Qt handled
    // the notice of it.
    void ownUnnoticed(QMap<QByteArray, QByteArray> formats,
                      const QByteArray& selection = "CLIPBOARD") {
        call([this, formats, selection] {
            const unsigned long start = serverTime();
            unsigned long now = start;
            // The server's clock counts milliseconds: ask until it moved on.
            while (now <= start) now = serverTime();
            const Atom atom = XInternAtom(m_dpy, selection.constData(), False);
            m_formats[atom] = formats;
            XSetSelectionOwner(m_dpy, atom, m_window, now);
            XSync(m_dpy, False);
        });
    }

    // The bytes of a target of the current owner; nothing when refused.
    std::optional<QByteArray> fetch(const QByteArray& target,
                                    const QByteArray& selection = "CLIPBOARD") {
        auto result = std::make_shared<std::promise<std::optional<QByteArray>>>();
        auto future = result->get_future();
        post([this, target, selection, result] {
            m_fetchResult = result;
            XConvertSelection(m_dpy, XInternAtom(m_dpy, selection.constData(), False),
                              XInternAtom(m_dpy, target.constData(), False), m_property,
                              m_window, CurrentTime);
            XFlush(m_dpy);
        });
        // Qt answers on the main thread: keep its events flowing.
        const bool ready = testsupport::waitUntil(
            [&] { return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        if (!ready) return std::nullopt;
        return future.get();
    }

    QStringList targetNames() {
        const std::optional<QByteArray> raw = fetch("TARGETS");
        QStringList names;
        if (!raw) return names;
        const auto* atoms = reinterpret_cast<const Atom*>(raw->constData());
        const int n = raw->size() / int(sizeof(Atom));
        std::vector<Atom> list(atoms, atoms + n);
        call([&] {
            for (Atom a : list) {
                char* name = XGetAtomName(m_dpy, a);
                if (name) names << QString::fromLatin1(name);
                if (name) XFree(name);
            }
        });
        return names;
    }

    void focus() {
        call([this] {
            XMapRaised(m_dpy, m_window);
            XFlush(m_dpy);
        });
        ASSERT_TRUE(testsupport::waitUntil([this] { return mapped(); }));
        call([this] {
            XSetInputFocus(m_dpy, m_window, RevertToParent, CurrentTime);
            XSync(m_dpy, False);
        });
    }

    struct Key {
        unsigned int state;
        QString keysym;
    };
    std::vector<Key> keys() {
        std::lock_guard lock(m_mutex);
        return m_keys;
    }
    bool sawKey(const QString& keysym) {
        std::lock_guard lock(m_mutex);
        return std::any_of(m_keys.begin(), m_keys.end(),
                           [&](const Key& k) { return k.keysym == keysym; });
    }
    bool mapped() {
        std::lock_guard lock(m_mutex);
        return m_mapped;
    }

private:
    void post(std::function<void()> job) {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    void call(std::function<void()> job) {
        auto done = std::make_shared<std::promise<void>>();
        auto f = done->get_future();
        post([job, done] {
            job();
            done->set_value();
        });
        f.wait();
    }

    // On the peer's thread: the server's time now, from the notice of an
    // empty append to a property of our window.
    unsigned long serverTime() {
        const Atom clock = XInternAtom(m_dpy, "ORMIL_PEER_CLOCK", False);
        XChangeProperty(m_dpy, m_window, clock, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
        struct Wanted {
            Window window;
            Atom atom;
        } wanted{m_window, clock};
        XEvent ev;
        XIfEvent(
            m_dpy, &ev,
            [](Display*, XEvent* e, XPointer arg) -> int {
                const auto* w = reinterpret_cast<const Wanted*>(arg);
                return e->type == PropertyNotify && e->xproperty.window == w->window &&
                       e->xproperty.atom == w->atom;
            },
            reinterpret_cast<XPointer>(&wanted));
        return ev.xproperty.time;
    }

    void run() {
        for (;;) {
            std::deque<std::function<void()>> jobs;
            {
                std::lock_guard lock(m_mutex);
                if (m_stop) return;
                jobs.swap(m_jobs);
            }
            for (auto& job : jobs) job();
            if (!m_dpy) {
                std::this_thread::yield();
                continue;
            }
            while (m_dpy && XPending(m_dpy)) {
                XEvent ev;
                XNextEvent(m_dpy, &ev);
                handle(ev);
            }
            if (!m_dpy) continue;
            pollfd fd{ConnectionNumber(m_dpy), POLLIN, 0};
            ::poll(&fd, 1, 5);  // wakes for X events; jobs are picked up each round
        }
    }

    void handle(XEvent& ev) {
        if (ev.type == MapNotify) {
            std::lock_guard lock(m_mutex);
            m_mapped = true;
        } else if (ev.type == KeyPress) {
            const KeySym sym = XLookupKeysym(&ev.xkey, 0);
            const char* name = XKeysymToString(sym);
            std::lock_guard lock(m_mutex);
            m_keys.push_back({ev.xkey.state, QString::fromLatin1(name ? name : "")});
        } else if (ev.type == SelectionRequest) {
            serve(ev.xselectionrequest);
        } else if (ev.type == SelectionNotify && m_fetchResult) {
            std::optional<QByteArray> bytes;
            if (ev.xselection.property != 0) {
                Atom type = 0;
                int format = 0;
                unsigned long count = 0, after = 0;
                unsigned char* data = nullptr;
                if (XGetWindowProperty(m_dpy, m_window, m_property, 0, 1 << 24, True,
                                       AnyPropertyType, &type, &format, &count, &after,
                                       &data) == Success) {
                    const int unit = format == 32 ? int(sizeof(long)) : format / 8;
                    bytes = QByteArray(reinterpret_cast<char*>(data), int(count) * unit);
                    if (data) XFree(data);
                }
            }
            auto result = std::move(m_fetchResult);
            result->set_value(bytes);
        }
    }

    void serve(const XSelectionRequestEvent& req) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = req.display;
        reply.requestor = req.requestor;
        reply.selection = req.selection;
        reply.target = req.target;
        reply.time = req.time;
        reply.property = 0;
        const Atom property = req.property ? req.property : req.target;
        const QMap<QByteArray, QByteArray> formats = m_formats.value(req.selection);
        if (req.target == m_targets) {
            std::vector<Atom> atoms{m_targets};
            for (auto it = formats.begin(); it != formats.end(); ++it)
                atoms.push_back(XInternAtom(m_dpy, it.key().constData(), False));
            XChangeProperty(m_dpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(atoms.data()), int(atoms.size()));
            reply.property = property;
        } else {
            char* name = XGetAtomName(m_dpy, req.target);
            const QByteArray target(name ? name : "");
            if (name) XFree(name);
            if (formats.contains(target)) {
                const QByteArray& bytes = formats[target];
                XChangeProperty(m_dpy, req.requestor, property, req.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(bytes.constData()),
                                int(bytes.size()));
                reply.property = property;
            }
        }
        XSendEvent(m_dpy, req.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(m_dpy);
    }

    std::thread m_thread;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;
    bool m_mapped = false;
    std::vector<Key> m_keys;
    Display* m_dpy = nullptr;
    Window m_window = 0;
    Atom m_targets = 0, m_property = 0;
    QMap<Atom, QMap<QByteArray, QByteArray>> m_formats;  // by selection
    std::shared_ptr<std::promise<std::optional<QByteArray>>> m_fetchResult;
};

// The insertion on the real clipboard, keys and focus; only time is fake.
struct RealInsertion {
    X11Pasteboard pasteboard;
    X11KeySynthesizer keys;
    X11FrontmostApp frontmost;
    FakeNotifier notifier;
    SettingsStore settings;
    FakeClock clock;
    KeyboardSimulator sim{pasteboard, keys, frontmost, notifier, settings, clock};
};

const QByteArray kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR-not-really-an-image", 33);

class PasteOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "not on xcb";
    }
};

}  // namespace

TEST_F(PasteOnX11, ForeignContentsComeBackWithEveryFormat) {
    XPeer peer;
    peer.own({{"UTF8_STRING", "before"}, {"image/png", kPng}});
    X11Pasteboard pasteboard;
    ASSERT_TRUE(testsupport::waitUntil([&] { return !pasteboard.types().isEmpty(); }));

    const PasteboardGuard::Snapshot snapshot = PasteboardGuard::snapshot(pasteboard);
    ASSERT_EQ(snapshot.size(), 1);
    PasteboardGuard::putTransient("dictated", true, pasteboard);

    // Our own reads are not the target taking the text; another client's are.
    EXPECT_EQ(pasteboard.string(), "dictated");
    EXPECT_EQ(PasteboardGuard::snapshot(pasteboard).size(), 1);
    EXPECT_EQ(pasteboard.textFetchCount(), 0);

    // Another client sees the text and the markers while it is ours.
    const QStringList targets = peer.targetNames();
    for (const char* marker : {"org.nspasteboard.TransientType",
                               "org.nspasteboard.AutoGeneratedType", "x-kde-passwordManagerHint"})
        EXPECT_TRUE(targets.contains(marker))
            << marker << " in " << targets.join(' ').toStdString();
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("dictated"));
    EXPECT_EQ(peer.fetch("x-kde-passwordManagerHint"), QByteArray("secret"));
    EXPECT_GT(pasteboard.textFetchCount(), 0);
    EXPECT_TRUE(PasteboardGuard::shouldSkipHistory(pasteboard));

    PasteboardGuard::restore(snapshot, pasteboard);
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("before"));
    EXPECT_EQ(peer.fetch("image/png"), kPng);
    EXPECT_TRUE(peer.targetNames().contains("com.ormil.restored"));
    EXPECT_FALSE(peer.targetNames().contains("org.nspasteboard.TransientType"));
}

TEST_F(PasteOnX11, ChangeCounterFollowsOwnersButNotOurOwnWrites) {
    XPeer peer;
    X11Pasteboard pasteboard;
    PasteboardGuard::putTransient("ours", true, pasteboard);
    const int afterPut = pasteboard.changeCount();
    // Whatever the server tells about our own ownership later is not a change.
    testsupport::processEvents(100);
    EXPECT_EQ(pasteboard.changeCount(), afterPut);
    peer.own({{"UTF8_STRING", "theirs"}});
    EXPECT_TRUE(testsupport::waitUntil([&] { return pasteboard.changeCount() > afterPut; }));
    EXPECT_EQ(pasteboard.string(), "theirs");
}

TEST_F(PasteOnX11, SlowTargetReceivesTheDictatedText) {
    XPeer peer;
    peer.own({{"UTF8_STRING", "before"}, {"image/png", kPng}});
    peer.focus();
    RealInsertion real;
    ASSERT_TRUE(real.keys.isAvailable());
    ASSERT_EQ(real.frontmost.bundleIdentifier(), QString("OrmilPeer"));
    auto& [pasteboard, keys, frontmost, notifier, settings, clock, sim] = real;

    sim.insertTextViaPasteboard("dictated ");
    clock.advance(0.05);
    ASSERT_TRUE(testsupport::waitUntil([&] { return peer.sawKey("v"); }));
    const auto keysSeen = peer.keys();
    const auto v = std::find_if(keysSeen.begin(), keysSeen.end(),
                                [](const XPeer::Key& k) { return k.keysym == "v"; });
    EXPECT_EQ(v->state & (ControlMask | ShiftMask), unsigned(ControlMask));

    // The target takes its time: the earliest restore passes first.
    clock.advance(0.2);
    clock.advance(0.3);
    EXPECT_TRUE(sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("dictated "));
    clock.advance(0.05);
    EXPECT_FALSE(sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("before"));
    EXPECT_EQ(peer.fetch("image/png"), kPng);
}

TEST_F(PasteOnX11, CopyAfterThePasteIsKept) {
    XPeer peer;
    peer.own({{"UTF8_STRING", "before"}});
    peer.focus();
    RealInsertion real;
    real.sim.insertTextViaPasteboard("dictated ");
    real.clock.advance(0.05);
    ASSERT_TRUE(testsupport::waitUntil([&] { return peer.sawKey("v"); }));
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("dictated "));
    // The user copies something in the target before the restore. Wait for
    // the change notice itself (reading the contents can see the new owner
    // before its notice has been handled).
    const int before = real.pasteboard.changeCount();
    peer.own({{"UTF8_STRING", "copied later"}});
    ASSERT_TRUE(testsupport::waitUntil([&] { return real.pasteboard.changeCount() > before; }));
    real.clock.advance(1.0);
    EXPECT_FALSE(real.sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("copied later"));
}

// Qt claims a selection with the time of the last X event it handled. A
// copy in another window whose notice Ormil has not handled yet when the
// dictation is put (Ormil sees the user's keys on a connection of its own)
// has a later time: the dictation must still take the clipboard.
TEST_F(PasteOnX11, DictationTakesAClipboardClaimedSinceOurLastEvent) {
    RealInsertion real;
    XPeer peer;
    // Handling that owner's notice gives Qt's clock its time.
    peer.own({{"UTF8_STRING", "before"}});
    peer.focus();

    peer.ownUnnoticed({{"UTF8_STRING", "copied just now"}});
    real.sim.insertTextViaPasteboard("dictated ");
    real.clock.advance(0.05);
    ASSERT_TRUE(testsupport::waitUntil([&] { return peer.sawKey("v"); }));
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("dictated "));
    real.clock.advance(1.0);
    EXPECT_FALSE(real.sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("copied just now"));
}

TEST_F(PasteOnX11, RemoteViewerGetsNoKeystroke) {
    XPeer peer("Remmina");
    peer.own({{"UTF8_STRING", "before"}});
    peer.focus();
    RealInsertion real;
    real.sim.insertTextViaPasteboard("for the remote side ");
    // Another client sees the text, unmarked, and it stays there.
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("for the remote side "));
    EXPECT_FALSE(peer.targetNames().contains("org.nspasteboard.TransientType"));
    real.clock.advance(2.0);
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("for the remote side "));
    EXPECT_FALSE(peer.sawKey("v"));
    EXPECT_EQ(real.notifier.notices.size(), 1u);
}

TEST_F(PasteOnX11, FrontmostAppFromWorkerThreads) {
    XPeer peer("Firefox");
    peer.focus();
    X11FrontmostApp frontmost;
    std::atomic<int> matches{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i)
        workers.emplace_back([&] {
            for (int j = 0; j < 20; ++j)
                if (frontmost.bundleIdentifier() == QString("Firefox")) ++matches;
        });
    for (auto& w : workers) w.join();
    EXPECT_EQ(matches, 80);
}

TEST_F(PasteOnX11, TerminalsGetControlShiftV) {
    const struct {
        const char* windowClass;
        unsigned int modifiers;
    } cases[] = {
        {"Gnome-terminal", ControlMask | ShiftMask},
        {"kitty", ControlMask | ShiftMask},
        {"Gedit", ControlMask},
    };
    for (const auto& c : cases) {
        XPeer peer(c.windowClass);
        peer.focus();
        X11FrontmostApp frontmost;
        ASSERT_EQ(frontmost.bundleIdentifier(), QString(c.windowClass));
        X11KeySynthesizer keys;
        ASSERT_TRUE(keys.postPaste(KeySynthesizer::pasteChordFor(frontmost.identity())));
        ASSERT_TRUE(testsupport::waitUntil([&] { return peer.sawKey("v"); })) << c.windowClass;
        for (const auto& k : peer.keys()) {
            if (k.keysym == "v") {
                EXPECT_EQ(k.state & (ControlMask | ShiftMask | Mod1Mask), c.modifiers)
                    << c.windowClass;
            }
        }
    }
}

TEST_F(PasteOnX11, HeldModifiersAreSeenButLocksAreNot) {
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    int rc = -1;
    // Right Alt as AltGr (Mod5), as on most European layouts.
    testsupport::runProgram("setxkbmap",
                            {"-layout", "us", "-option", "", "-option", "lv3:ralt_switch"}, &rc);
    ASSERT_EQ(rc, 0);
    X11KeySynthesizer keys;
    const struct {
        KeySym key;
        bool held;
    } cases[] = {
        {XK_Shift_L, true},          {XK_Control_R, true},  {XK_Alt_L, true}, {XK_Super_L, true},
        {XK_ISO_Level3_Shift, true}, {XK_Caps_Lock, false},  // a lock stays on after its key is up
        {XK_Num_Lock, false},
    };
    for (const auto& c : cases) {
        const KeyCode code = XKeysymToKeycode(dpy, c.key);
        ASSERT_NE(code, 0) << XKeysymToString(c.key);
        XTestFakeKeyEvent(dpy, code, True, CurrentTime);
        XSync(dpy, False);
        if (c.held) {
            EXPECT_TRUE(testsupport::waitUntil([&] { return keys.modifiersHeld(); }))
                << XKeysymToString(c.key);
        }
        XTestFakeKeyEvent(dpy, code, False, CurrentTime);
        XSync(dpy, False);
        EXPECT_TRUE(testsupport::waitUntil([&] { return !keys.modifiersHeld(); }))
            << XKeysymToString(c.key);
        if (!c.held) {
            // Toggle the lock back off.
            XTestFakeKeyEvent(dpy, code, True, CurrentTime);
            XTestFakeKeyEvent(dpy, code, False, CurrentTime);
            XSync(dpy, False);
        }
    }
    XCloseDisplay(dpy);
    testsupport::runProgram("setxkbmap", {"-layout", "us", "-option", ""});
}

TEST_F(PasteOnX11, FocusedLineEditReceivesTheText) {
    XPeer peer;
    peer.own({{"UTF8_STRING", "before"}, {"image/png", kPng}});
    QWidget window;
    auto* edit = new QLineEdit(&window);
    window.resize(300, 60);
    window.show();
    window.activateWindow();
    edit->setFocus();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return window.isActiveWindow() && QApplication::focusWidget() == edit; }));

    RealInsertion real;
    auto& [pasteboard, keys, frontmost, notifier, settings, clock, sim] = real;

    sim.insertTextViaPasteboard("Привет, мир ");
    clock.advance(0.05);
    ASSERT_TRUE(testsupport::waitUntil([&] { return edit->text() == "Привет, мир "; }))
        << edit->text().toStdString();
    clock.advance(0.2);
    EXPECT_FALSE(sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("before"));
    EXPECT_EQ(peer.fetch("image/png"), kPng);
}

// A real xterm pastes through PRIMARY.
TEST_F(PasteOnX11, XtermReceivesTheTextThroughPrimary) {
    XtermSink xterm("raw -echo");
    ASSERT_TRUE(xterm.focus()) << "xterm is one of the test dependencies";

    XPeer peer;
    peer.own({{"UTF8_STRING", "clipboard before"}});
    peer.own({{"UTF8_STRING", "selected before"}}, "PRIMARY");
    RealInsertion real;
    ASSERT_EQ(real.frontmost.identity().value_or(FrontmostApp::Identity{}).className, "XTerm");
    X11Pasteboard primary(nullptr, nullptr, QClipboard::Selection);
    ASSERT_TRUE(testsupport::waitUntil([&] { return primary.string() == "selected before"; }));
    real.sim.setPrimarySelection(&primary);

    const QString text = "dictated into xterm, Grüße, привет ";
    real.sim.insertTextViaPasteboard(text);
    real.clock.advance(0.05);
    EXPECT_TRUE(testsupport::waitUntil([&] { return xterm.received() == text.toUtf8(); }))
        << xterm.received().toHex(' ').toStdString();
    real.clock.advance(0.2);
    EXPECT_FALSE(real.sim.restorePending());
    EXPECT_EQ(peer.fetch("UTF8_STRING", "PRIMARY"), QByteArray("selected before"));
    EXPECT_EQ(peer.fetch("UTF8_STRING"), QByteArray("clipboard before"));
}

// GTK serves "text/plain" (with or without a charset) with CR LF line ends,
// as that MIME type asks, and UTF8_STRING with the text's own: the text is
// read as UTF-8 string first, so every owner's text keeps its line ends.
TEST_F(PasteOnX11, TextIsReadAsTheUtf8StringFirst) {
    const struct {
        const char* name;
        QMap<QByteArray, QByteArray> formats;
        QString expected;
    } cases[] = {
        {"all three, as GTK offers them",
         {{"UTF8_STRING", "one\ntwo ü"},
          {"text/plain;charset=utf-8", "one\r\ntwo ü"},
          {"text/plain", "one\r\ntwo ü"}},
         "one\ntwo ü"},
        {"UTF-8 plain text without UTF8_STRING",
         {{"text/plain;charset=utf-8", "one\ntwo ü"}, {"text/plain", "one\r\ntwo"}},
         "one\ntwo ü"},
        {"plain text only", {{"text/plain", "one\ntwo"}}, "one\ntwo"},
        {"STRING only", {{"STRING", "one\ntwo"}}, "one\ntwo"},
        {"an empty UTF8_STRING", {{"UTF8_STRING", ""}, {"text/plain;charset=utf-8", "x"}}, "x"},
        {"no text", {{"image/png", kPng}}, ""},
    };
    XPeer peer;
    X11Pasteboard pasteboard;
    for (const auto& c : cases) {
        const int before = pasteboard.changeCount();
        peer.own(c.formats);
        ASSERT_TRUE(testsupport::waitUntil([&] { return pasteboard.changeCount() > before; }))
            << c.name;
        EXPECT_EQ(pasteboard.string().toStdString(), c.expected.toStdString()) << c.name;
    }
    // What we put ourselves reads back as it went in.
    pasteboard.setString("ours\nand more");
    EXPECT_EQ(pasteboard.string(), "ours\nand more");
}

// A copy in a real GTK program, as clipboard history records it and its
// Copy puts it back.
TEST_F(PasteOnX11, GtkCopyKeepsItsLineEnds) {
    QProcess gtk;
    gtk.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gtk.start(QStringLiteral(ORMIL_GTK_FIELD_PEER), {});
    ASSERT_TRUE(gtk.waitForStarted());
    QByteArray said;
    QObject::connect(&gtk, &QProcess::readyReadStandardOutput,
                     [&] { said += gtk.readAllStandardOutput(); });

    X11Pasteboard pasteboard;
    FakeClock clock;
    ClipboardHistoryService history(&pasteboard, clock);
    history.start();
    const QString copied = "first line\nsecond line, Grüße\n";
    gtk.write("copy " + QUrl::toPercentEncoding(copied) + "\n");
    ASSERT_TRUE(testsupport::waitUntil([&] { return said.contains("copied"); }, 30000))
        << said.constData();
    ASSERT_TRUE(testsupport::waitUntil([&] { return pasteboard.changeCount() > 0; }));
    EXPECT_EQ(pasteboard.string().toStdString(), copied.toStdString());
    clock.advance(1.0);
    ASSERT_FALSE(history.history().isEmpty());
    EXPECT_EQ(history.history().first().text.toStdString(), copied.toStdString());

    // Also once a paste has put the copy back as ours.
    const PasteboardGuard::Snapshot snapshot = PasteboardGuard::snapshot(pasteboard);
    PasteboardGuard::putTransient("pasted", true, pasteboard);
    PasteboardGuard::restore(snapshot, pasteboard);
    EXPECT_EQ(pasteboard.string().toStdString(), copied.toStdString()) << "put back";

    XPeer peer;
    history.copyToClipboard(history.history().first().text);
    EXPECT_EQ(peer.fetch("UTF8_STRING"), copied.toUtf8());
    gtk.closeWriteChannel();
    if (!gtk.waitForFinished(10000)) gtk.kill();
}
