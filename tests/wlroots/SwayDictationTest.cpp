// A dictation through the real executable on a headless sway: the
// compositor's key binding stands in as the start and stop commands of
// later launches, the virtual microphone speaks, and the text lands in a
// Wayland-native field of another application in the tone of that
// application's rule; the user's clipboard comes back and the field keeps
// the focus throughout.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <vector>

#include "WlrootsDesktop.h"
#include "overlay/OverlayGeometry.h"
#include "platform/SettingsStore.h"
#include "support/DevService.h"
#include "support/VirtualMic.h"
#include "x11/AppInput.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xutil.h>

namespace {

const QString kScripted = QStringLiteral("Scripted words from the stand-in");

// The override-redirect windows of XWayland that are mapped, by X11 class.
std::vector<QRect> unmanagedWindows(Display* dpy, const char* className) {
    std::vector<QRect> found;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(dpy, DefaultRootWindow(dpy), &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        XClassHint hint{};
        if (!XGetWindowAttributes(dpy, children[i], &a) || !a.override_redirect ||
            a.map_state != IsViewable || !XGetClassHint(dpy, children[i], &hint))
            continue;
        if (hint.res_class && std::strcmp(hint.res_class, className) == 0)
            found.emplace_back(a.x, a.y, a.width, a.height);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    XFree(children);
    return found;
}

QString waylandClipboard() {
    return QString::fromUtf8(testsupport::runProgram("wl-paste", {"--no-newline"}));
}

class SwayDictation : public ::testing::Test {
protected:
    void SetUp() override {
        if (!wlroots::onSway()) GTEST_SKIP() << "not inside scripts/with-wayland-env sway";
        if (!testsupport::hasPulse()) GTEST_SKIP() << "no sound server";
        service.exportBases();
        service.createAccount({{"email", "e2e@ormil.test"}, {"password", "pw"}});
        service.addTelegramToken("e2e-link", "e2e@ormil.test");
        // Stored before the application starts, which reads them once.
        SettingsStore::shared().setMany(
            {{"toneStyle", "neutral"},
             {"perAppStylesEnabled", true},
             {"perAppStyles", QJsonObject{{"org.ormil.field", "formal"}}}});

        app = apptest::launch();
        ASSERT_TRUE(app->waitForStarted());
        ASSERT_TRUE(
            testsupport::waitUntil([&] { return apptest::runningPid() == app->processId(); }));
        apptest::handOver("ormil://auth?token=e2e-link");
        ASSERT_TRUE(testsupport::waitUntil([&] {
            return QJsonDocument::fromJson(testsupport::readFile(SettingsStore::defaultFilePath()))
                .object()
                .contains("ormil_auth_fallback_access_token");
        }));
        ASSERT_TRUE(testsupport::waitUntil(
            [&] { return apptest::logText().contains("[App] Hotkey service initialized"); }));
        // The sign-in ends with the main window, which sway focuses: the
        // field opens after it and takes the focus from it.
        ASSERT_TRUE(testsupport::waitUntil([] { return wlroots::managesTitled("Ormil"); }));
        field = std::make_unique<wlroots::Field>(QStringLiteral("org.ormil.field"));
        ASSERT_TRUE(field->waitFocused());
        ASSERT_TRUE(
            testsupport::waitUntil([] { return wlroots::focusedApp() == "org.ormil.field"; }));
    }

    void TearDown() override {
        if (app) apptest::stop(*app);
    }

    DevService service;
    std::unique_ptr<QProcess> app;
    std::unique_ptr<wlroots::Field> field;
};

TEST_F(SwayDictation, CommandsDictateIntoTheWaylandFieldInItsToneAndTheClipboardComesBack) {
    int rc = -1;
    testsupport::runProgram("wl-copy", {"held before"}, &rc);
    ASSERT_EQ(rc, 0);
    service.queue("/transcribe", apptest::transcript(kScripted));

    // The pill while it records: an override-redirect window where the
    // design docks it (the bottom edge of the screen), the field focused.
    Display* dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    const OverlayScreenSpace space = OverlayScreenSpace::fromApplication();
    const QRect docked = space
                             .toWindowSystem(*OverlayGeometry::panelFrame(
                                 OverlayDockEdge::bottom, OverlayState::recording, {}, space))
                             .toRect();
    std::vector<QRect> pill;
    const auto describe = [&] {
        QString out = QStringLiteral("docked at (%1,%2 %3x%4); pills:")
                          .arg(docked.x())
                          .arg(docked.y())
                          .arg(docked.width())
                          .arg(docked.height());
        for (const QRect& r : pill)
            out += QStringLiteral(" (%1,%2 %3x%4)")
                       .arg(r.x())
                       .arg(r.y())
                       .arg(r.width())
                       .arg(r.height());
        return out.toStdString();
    };
    apptest::dictateWith([] { apptest::handOver("--start-dictation"); },
                         [&] {
                             EXPECT_TRUE(testsupport::waitUntil([&] {
                                 pill = unmanagedWindows(dpy, "Ormil");
                                 return pill == std::vector<QRect>{docked};
                             })) << describe();
                             EXPECT_TRUE(field->focused());
                             apptest::handOver("--stop-dictation");
                         },
                         VirtualMic::speech("testing one two three") + VirtualMic::silence(0.5));
    XCloseDisplay(dpy);

    EXPECT_TRUE(field->waitText(kScripted + " ", 30000))
        << field->text().toStdString() << "\nthe application's log ends:\n"
        << apptest::logText().right(4000).toStdString();
    EXPECT_TRUE(testsupport::waitUntil([] { return waylandClipboard() == "held before"; }))
        << waylandClipboard().toStdString();
    // The pill came and went without taking the focus.
    EXPECT_TRUE(field->focused());
    EXPECT_EQ(wlroots::focusedApp(), "org.ormil.field")
        << wlroots::swaymsg({"-t", "get_tree"}).toJson().toStdString();

    const auto uploads = service.requests("/transcribe");
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_EQ(uploads[0].formField("tone_style"), "formal");
    const QString log = apptest::logText();
    EXPECT_TRUE(log.contains("[PerApp] org.ormil.field -> formal (overrides global neutral)"))
        << log.right(4000).toStdString();
    EXPECT_TRUE(log.contains("[Overlay] show(recording)")) << log.right(4000).toStdString();
}

}  // namespace
