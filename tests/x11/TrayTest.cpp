// The real executable under a tray host: its painted icon is docked into the
// tray, a click on it opens the status menu, and a choice there is stored.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <functional>
#include <optional>

#include "platform/DebugLog.h"
#include "AppProcessTest.h"
#include "platform/SettingsStore.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef None
#undef Bool
#undef Status

namespace {

struct Found {
    Window window;
    int x, y, width, height;
    bool overrideRedirect;
};

class Display_ {
public:
    Display_() : dpy(XOpenDisplay(nullptr)) {}
    ~Display_() {
        if (dpy) XCloseDisplay(dpy);
    }
    Display* dpy;
};

bool isOrmil(Display* dpy, Window w) {
    XClassHint hint{};
    if (!XGetClassHint(dpy, w, &hint)) return false;
    const bool ours = (hint.res_name && QByteArray(hint.res_name) == "ormil");
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return ours;
}

// Viewable windows of ormil anywhere in the tree, with their root positions.
void collect(Display* dpy, Window w, Window root, std::vector<Found>& out) {
    Window r, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &r, &parent, &children, &n)) return;
    for (unsigned i = 0; i < n; ++i) {
        XWindowAttributes a;
        if (XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
            isOrmil(dpy, children[i])) {
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(dpy, children[i], root, 0, 0, &x, &y, &child);
            out.push_back({children[i], x, y, a.width, a.height, a.override_redirect != 0});
            // A docked icon sits inside the tray's window, not on the root.
            if (w != root) out.back().overrideRedirect = false;
        }
        collect(dpy, children[i], root, out);
    }
    if (children) XFree(children);
}

std::vector<Found> ormilWindows(Display* dpy) {
    std::vector<Found> out;
    collect(dpy, DefaultRootWindow(dpy), DefaultRootWindow(dpy), out);
    return out;
}

std::optional<Found> dockedIcon(Display* dpy) {
    const Window root = DefaultRootWindow(dpy);
    for (const Found& f : ormilWindows(dpy)) {
        Window r, parent, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(dpy, f.window, &r, &parent, &children, &n)) continue;
        if (children) XFree(children);
        if (parent != root && f.width <= 64 && f.height <= 64) return f;
    }
    return std::nullopt;
}

TEST(Tray, PaintedIconDocksAndItsMenuChangesASetting) {
    const QString trayer = QStandardPaths::findExecutable("trayer");
    if (trayer.isEmpty()) GTEST_SKIP() << "no tray host installed";
    Display_ display;
    ASSERT_TRUE(display.dpy);
    Display* dpy = display.dpy;

    QProcess host;
    host.start(trayer, {"--edge", "top", "--align", "right", "--widthtype", "request", "--height",
                        "24", "--SetDockType", "true", "--transparent", "false"});
    ASSERT_TRUE(host.waitForStarted());
    const Atom selection = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
    ASSERT_TRUE(testsupport::waitUntil([&] { return XGetSelectionOwner(dpy, selection) != 0; }));

    auto app = apptest::launch();
    ASSERT_TRUE(app->waitForStarted());
    std::optional<Found> icon;
    ASSERT_TRUE(testsupport::waitUntil([&] { return bool(icon = dockedIcon(dpy)); }));

    // The gradient square with white lettering, not a blank or themed icon.
    int violet = 0, white = 0;
    ASSERT_TRUE(testsupport::waitUntil([&] {
        // The host may still move the icon while it lays itself out.
        icon = dockedIcon(dpy);
        if (!icon) return false;
        XImage* image =
            XGetImage(dpy, DefaultRootWindow(dpy), icon->x, icon->y, unsigned(icon->width),
                      unsigned(icon->height), AllPlanes, ZPixmap);
        if (!image) return false;
        violet = white = 0;
        for (int y = 0; y < icon->height; ++y) {
            for (int x = 0; x < icon->width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                const int r = int((p >> 16) & 0xff), g = int((p >> 8) & 0xff), b = int(p & 0xff);
                if (b > 200 && r > 80 && r < 190 && g < 120) ++violet;
                if (r > 220 && g > 220 && b > 220) ++white;
            }
        }
        XDestroyImage(image);
        return violet > icon->width * icon->height / 3 && white > 4;
    })) << "violet="
        << violet << " white=" << white;

    // A click that lands before the icon listens is lost: click again until
    // the menu opens.
    const auto clickIconUntil = [&](const std::function<bool()>& opened) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            XTestFakeMotionEvent(dpy, -1, icon->x + icon->width / 2, icon->y + icon->height / 2, 0);
            XTestFakeButtonEvent(dpy, 1, True, 0);
            XTestFakeButtonEvent(dpy, 1, False, 0);
            XFlush(dpy);
            if (testsupport::waitUntil(opened, 3000)) return true;
        }
        return false;
    };
    ASSERT_TRUE(clickIconUntil([&] {
        for (const Found& f : ormilWindows(dpy))
            if (f.overrideRedirect && f.width > 150 && f.height > 200) return true;
        return false;
    })) << "the status menu did not open";

    // Keyboard through the open menu to "Amplify quiet speech" (the eighth
    // enabled item while signed out with nothing dictated) and choose it.
    const auto tap = [&](const char* key) {
        const KeyCode code = XKeysymToKeycode(dpy, XStringToKeysym(key));
        XTestFakeKeyEvent(dpy, code, True, 0);
        XTestFakeKeyEvent(dpy, code, False, 0);
        XFlush(dpy);
    };
    // Keys go to the menu once it holds the keyboard.
    const auto menuHoldsKeyboard = [&] {
        const int r = XGrabKeyboard(dpy, DefaultRootWindow(dpy), False, GrabModeAsync,
                                    GrabModeAsync, CurrentTime);
        if (r == GrabSuccess) XUngrabKeyboard(dpy, CurrentTime);
        XSync(dpy, False);
        return r == AlreadyGrabbed;
    };
    ASSERT_TRUE(testsupport::waitUntil(menuHoldsKeyboard));
    for (int i = 0; i < 8; ++i) tap("Down");
    tap("Return");
    const QString settingsFile = SettingsStore::defaultFilePath();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return QJsonDocument::fromJson(testsupport::readFile(settingsFile))
                   .object()
                   .value("audioNormalization") == QJsonValue(false);
    })) << testsupport::readFile(settingsFile).toStdString();

    // A fresh start quits from its menu (the last item, one step up from
    // none) with a clean exit.
    apptest::stop(*app);
    // The host may still show the stopped instance's icon for a moment; a
    // click there would reach nobody.
    ASSERT_TRUE(testsupport::waitUntil([&] { return !dockedIcon(dpy); }));
    app = apptest::launch();
    ASSERT_TRUE(app->waitForStarted());
    icon.reset();
    ASSERT_TRUE(testsupport::waitUntil([&] { return bool(icon = dockedIcon(dpy)); }));
    ASSERT_TRUE(clickIconUntil(menuHoldsKeyboard)) << apptest::logText().toStdString();
    tap("Up");
    tap("Return");
    ASSERT_TRUE(app->waitForFinished(20000));
    EXPECT_EQ(app->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app->exitCode(), 0);

    apptest::stop(*app);
    host.terminate();
    if (!host.waitForFinished(10000)) host.kill();
}

}  // namespace
