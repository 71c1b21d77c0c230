// The focused application on KDE's Wayland session, told by KWin to a script
// of ours: a Wayland-native window's app id and process as it takes the
// focus, one of our own X11 windows under XWayland too, and the script gone
// from KWin once unloaded. Runs in scripts/with-wayland-env kde.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusReply>
#include <QGuiApplication>
#include <QWidget>

#include "WaylandDesktop.h"
#include "platform/wayland/KWinFrontmostApp.h"
#include "support/TestSupport.h"

namespace {

bool scriptLoaded() {
    const QDBusReply<bool> loaded = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting",
                                       "isScriptLoaded")
        << KWinFrontmostApp::kPluginName);
    return loaded.isValid() && loaded.value();
}

TEST(KWinFrontmostOnKde, TheFocusedWindowsApplicationIsToldUntilTheScriptIsUnloaded) {
    if (wltest::desktop() != "kde") GTEST_SKIP() << "not in the headless KDE desktop";
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    KWinFrontmostApp frontmost{KWinFrontmostApp::Options{}};
    ASSERT_TRUE(frontmost.isAvailable()) << testsupport::debugLogText().toStdString();
    EXPECT_TRUE(scriptLoaded());
    const auto told = [&] {
        const auto id = frontmost.identity();
        return id ? QStringLiteral("%1/%2 pid %3").arg(id->instanceName, id->className).arg(id->pid)
                  : QStringLiteral("none");
    };
    const auto becomes = [&](const QString& app) {
        return testsupport::waitUntil(
            [&] { return frontmost.bundleIdentifier() == std::optional<QString>(app); });
    };

    wltest::WaylandField first(QStringLiteral("org.ormil.first"));
    ASSERT_TRUE(first.waitFocused());
    EXPECT_TRUE(becomes("org.ormil.first")) << told().toStdString();
    EXPECT_EQ(frontmost.identity().value_or(FrontmostApp::Identity{}).pid, first.pid());
    const QString firstWindow = frontmost.focusedWindowKey();
    EXPECT_FALSE(firstWindow.isEmpty());
    wltest::WaylandField second(QStringLiteral("org.ormil.second"));
    ASSERT_TRUE(second.waitFocused());
    EXPECT_TRUE(becomes("org.ormil.second")) << told().toStdString();
    // Each window its own key, for the paste to know when the focus is back.
    EXPECT_NE(frontmost.focusedWindowKey(), firstWindow);
    EXPECT_FALSE(frontmost.focusedWindowKey().isEmpty());

    // An X11 window of XWayland: KWin names it by its WM_CLASS.
    QWidget own;
    own.setWindowTitle("own X11 window");
    own.show();
    own.activateWindow();
    ASSERT_TRUE(second.waitUnfocused());
    EXPECT_TRUE(testsupport::waitUntil([&] {
        const auto id = frontmost.identity();
        return id && id->pid == QCoreApplication::applicationPid();
    })) << told().toStdString();
    EXPECT_EQ(frontmost.identity().value_or(FrontmostApp::Identity{}).instanceName, "test_wayland")
        << told().toStdString();

    frontmost.unload();
    EXPECT_FALSE(scriptLoaded());
    EXPECT_FALSE(frontmost.identity().has_value());
}

}  // namespace
