// "Add from running apps" on the real X server: client windows with known
// WM_CLASS and desktop entries are offered by their entries' names; docks
// and this process's own windows are not; a window manager's client list,
// when there is one, decides, and its changes refresh the menu.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include "mainwindow/PerAppStylesGroup.h"
#include "platform/SettingsStore.h"
#include "platform/x11/X11FrontmostApp.h"
#include "platform/x11/X11RunningApps.h"
#include "platform/x11/X11WindowWatcher.h"
#include "support/TestSupport.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// One X client with one mapped top-level window.
class Client {
public:
    Client(const char* instance, const char* className, const char* type = nullptr) {
        dpy = XOpenDisplay(nullptr);
        window = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 40, 40, 160, 80, 0, 0, 0);
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(className)};
        XSetClassHint(dpy, window, &hint);
        if (type) {
            const Atom value = XInternAtom(dpy, type, False);
            XChangeProperty(dpy, window, XInternAtom(dpy, "_NET_WM_WINDOW_TYPE", False), XA_ATOM,
                            32, PropModeReplace, reinterpret_cast<const unsigned char*>(&value),
                            1);
        }
        XMapWindow(dpy, window);
        XSync(dpy, False);
    }
    ~Client() {
        XDestroyWindow(dpy, window);
        XCloseDisplay(dpy);
    }
    Display* dpy = nullptr;
    Window window = 0;
};

class PerAppStylesX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no test display";
        const QString apps = testsupport::root() + "/data/applications";
        entry(apps + "/org.example.Chat.desktop", "Name=Chat Room\nStartupWMClass=OrmilChat");
        entry(apps + "/org.example.Notes.desktop",
              "Name=Field Notes\nName[ru]=Полевые заметки\nStartupWMClass=OrmilNotes");
        entry(apps + "/org.example.Panel.desktop", "Name=Panel\nStartupWMClass=OrmilPanel");
        entry(apps + "/org.example.Later.desktop", "Name=Later App\nStartupWMClass=OrmilLater");
        SettingsStore::setSharedForTesting(&store);
        store.set("perAppStylesEnabled", true);
        dpy = XOpenDisplay(nullptr);
    }
    void TearDown() override {
        if (dpy) {
            XDeleteProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_CLIENT_LIST", False));
            XCloseDisplay(dpy);
        }
        SettingsStore::setSharedForTesting(nullptr);
    }
    static void entry(const QString& path, const QString& fields) {
        testsupport::writeFile(path, ("[Desktop Entry]\nType=Application\n" + fields).toUtf8());
    }
    // What a window manager would publish.
    void publishClients(std::initializer_list<Window> windows) {
        std::vector<unsigned long> list(windows.begin(), windows.end());
        XChangeProperty(dpy, DefaultRootWindow(dpy), XInternAtom(dpy, "_NET_CLIENT_LIST", False),
                        XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list.data()), int(list.size()));
        XSync(dpy, False);
    }
    QStringList menuTexts() const {
        QStringList out;
        for (QAction* a : group->addMenu()->actions()) out << a->text();
        return out;
    }
    void open() {
        group = std::make_unique<PerAppStylesGroup>(store, apps, watcher);
        group->show();
        ASSERT_TRUE(testsupport::waitUntil([&] { return group->isVisible(); }));
    }

    SettingsStore store{testsupport::root() + "/settings-x11.json"};
    X11RunningApps apps;
    X11WindowWatcher watcher;
    std::unique_ptr<PerAppStylesGroup> group;
    Display* dpy = nullptr;
};

TEST_F(PerAppStylesX11, RunningClientsAreOfferedByTheirEntriesNames) {
    Client chat("ormil-chat", "OrmilChat");
    Client notes("ormil-notes", "OrmilNotes");
    Client panel("ormil-panel", "OrmilPanel", "_NET_WM_WINDOW_TYPE_DOCK");
    open();
    const QStringList texts = menuTexts();
    EXPECT_TRUE(texts.contains("Chat Room")) << texts.join(", ").toStdString();
    EXPECT_TRUE(texts.contains("Field Notes")) << texts.join(", ").toStdString();
    EXPECT_FALSE(texts.contains("Panel"));
    EXPECT_LT(texts.indexOf("Chat Room"), texts.indexOf("Field Notes"));
    // This test's own window (the group) is no running application to add.
    EXPECT_EQ(texts.filter("Ormil", Qt::CaseInsensitive), QStringList());

    // The menu as it opens.
    group->addMenu()->popup(group->mapToGlobal(QPoint(0, group->height())));
    ASSERT_TRUE(testsupport::waitUntil([&] { return group->addMenu()->isVisible(); }));
    testsupport::processEvents(200);
    const QString dir = QStringLiteral(ORMIL_ARTIFACTS_DIR);
    QDir().mkpath(dir);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, 0, 0, 700, 500)
        .save(dir + "/per-app-running-menu.png");
    group->addMenu()->hide();

    // Adding one stores the rule under the entry's id; the focused window
    // resolves to the same id.
    for (QAction* a : group->addMenu()->actions())
        if (a->text() == "Chat Room") a->trigger();
    EXPECT_EQ(store.dictionary("perAppStyles")->value("org.example.Chat").toString(), "neutral");
    EXPECT_FALSE(menuTexts().contains("Chat Room"));
    XSetInputFocus(chat.dpy, chat.window, RevertToParent, CurrentTime);
    XSync(chat.dpy, False);
    X11FrontmostApp frontmost;
    EXPECT_EQ(frontmost.bundleIdentifier().value_or(QString()), "org.example.Chat");
}

TEST_F(PerAppStylesX11, AWindowManagersClientListDecidesAndItsChangesRefresh) {
    Client chat("ormil-chat", "OrmilChat");
    Client notes("ormil-notes", "OrmilNotes");
    publishClients({chat.window});
    open();
    EXPECT_TRUE(menuTexts().contains("Chat Room"));
    EXPECT_FALSE(menuTexts().contains("Field Notes")) << "mapped, but not a client";

    Client later("ormil-later", "OrmilLater");
    publishClients({chat.window, later.window});
    EXPECT_TRUE(testsupport::waitUntil([&] { return menuTexts().contains("Later App"); }))
        << menuTexts().join(", ").toStdString();
    publishClients({later.window});
    EXPECT_TRUE(testsupport::waitUntil([&] { return !menuTexts().contains("Chat Room"); }));
}

}  // namespace
