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
#include "TrayProbe.h"

namespace {

using namespace trayprobe;

TEST(Tray, PaintedIconDocksAndItsMenuChangesASetting) {
    const QString trayer = QStandardPaths::findExecutable("trayer");
    if (trayer.isEmpty()) GTEST_SKIP() << "no tray host installed";
    Display_ display;
    ASSERT_TRUE(display.dpy);
    Display* dpy = display.dpy;

    TrayHost host;
    ASSERT_TRUE(host.start(dpy, trayer));

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

    const auto clickIconUntil = [&](const std::function<bool()>& opened) {
        return trayprobe::clickIconUntil(dpy, *icon, opened);
    };
    ASSERT_TRUE(clickIconUntil([&] {
        for (const Found& f : ormilWindows(dpy))
            if (f.overrideRedirect && f.width > 150 && f.height > 200) return true;
        return false;
    })) << "the status menu did not open";

    // Keyboard through the open menu to "Amplify quiet speech" (the eighth
    // enabled item while signed out with nothing dictated) and choose it.
    const auto tap = [&](const char* key) { trayprobe::tap(dpy, key); };
    const auto menuHoldsKeyboard = [&] { return trayprobe::menuHoldsKeyboard(dpy); };
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
}

}  // namespace
