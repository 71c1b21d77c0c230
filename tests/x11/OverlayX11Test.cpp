// The overlay on the real X server: it never takes the keyboard focus, the
// edge menu sees clicks in other windows without taking them, and each pill
// is drawn into build/artifacts for a look.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include "core/L10n.h"
#include "overlay/OverlayPainter.h"
#include "overlay/OverlayPanel.h"
#include "overlay/OverlayWindowController.h"
#include "platform/x11/X11OverlayWindow.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
// X11 headers last: their macros clash with Qt and gtest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#undef None
#undef Bool
#undef Status

namespace {
// A plain window of another X client, focused, that records button presses.
class OtherClient {
public:
    OtherClient(int x, int y) {
        dpy = XOpenDisplay(nullptr);
        win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), x, y, 300, 200, 0, 0, 0xffffff);
        XSelectInput(dpy, win, StructureNotifyMask | ButtonPressMask | ExposureMask);
        XMapWindow(dpy, win);
        XEvent ev;
        do XNextEvent(dpy, &ev);
        while (ev.type != MapNotify);
        XSetInputFocus(dpy, win, RevertToParent, CurrentTime);
        XSync(dpy, False);
    }
    ~OtherClient() {
        XDestroyWindow(dpy, win);
        XCloseDisplay(dpy);
    }
    unsigned long focus() {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(dpy, &w, &revert);
        return w;
    }
    int buttonPresses() {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == ButtonPress) ++presses;
        }
        return presses;
    }
    void clickAt(int x, int y) {
        XTestFakeMotionEvent(dpy, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
        XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
        XSync(dpy, False);
    }
    Display* dpy = nullptr;
    Window win = 0;
    int presses = 0;
};

QString artifactsDir() {
    // The test program lives in <build>/tests/x11.
    QDir dir(QCoreApplication::applicationDirPath() + "/../../artifacts");
    dir.mkpath(".");
    return dir.absolutePath();
}

// What the window shows on screen: without a compositor it is cut to its mask.
QImage shownPart(QWidget* w) {
    QImage img = w->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRegion mask = w->mask();
    if (mask.isEmpty()) return img;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (!mask.contains(QPoint(x, y))) img.setPixel(x, y, qRgba(0, 0, 0, 0));
    return img;
}

// The pill over a light backdrop, three times enlarged so details show.
QImage onBackdrop(const QImage& pill) {
    QImage out(pill.size() * 3, QImage::Format_ARGB32);
    out.fill(QColor(214, 218, 224));
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint(0, 0), out.size()), pill);
    return out;
}

class OverlayOnX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no X display";
        settings.set("overlayHideWhenIdle", false);
        controller = std::make_unique<OverlayWindowController>(settings, Clock::system());
        controller->setup();
    }
    bool panelExposed() const {
        QWindow* w = controller->panel()->windowHandle();
        return w && w->isExposed();
    }
    // Waits for the pill of the state to be on screen with its animation done.
    void showAndSettle(OverlayState state) {
        controller->show(state);
        ASSERT_TRUE(testsupport::waitUntil([&] { return panelExposed(); }));
        ASSERT_TRUE(testsupport::waitUntil([&] { return !controller->panel()->isAnimating(); }));
        testsupport::processEvents(20);
    }

    SettingsStore settings;
    std::unique_ptr<OverlayWindowController> controller;
};
}  // namespace

TEST_F(OverlayOnX11, ShowingAndUpdatingLeavesTheFocusWhereItWas) {
    OtherClient other(100, 100);
    ASSERT_EQ(other.focus(), other.win);
    for (OverlayState s :
         {OverlayState::recording, OverlayState::processing, OverlayState::postProcessing,
          OverlayState::success, OverlayState::error, OverlayState::idle}) {
        controller->show(s);
        controller->setSticky(true);
        controller->updateAudioLevel(0.8f);
        controller->ensureVisibleIfNeeded();
        ASSERT_TRUE(testsupport::waitUntil([&] { return panelExposed(); }));
        testsupport::processEvents(30);
        EXPECT_EQ(other.focus(), other.win) << overlayStateName(s).toStdString();
    }
    EXPECT_EQ(QGuiApplication::focusWindow(), nullptr);
    // The window manager is told not to give it the keyboard either.
    XWMHints* hints = XGetWMHints(other.dpy, controller->panel()->winId());
    ASSERT_NE(hints, nullptr);
    EXPECT_TRUE(hints->flags & InputHint);
    EXPECT_FALSE(hints->input);
    XFree(hints);
}

TEST_F(OverlayOnX11, EdgeMenuClosesOnAClickElsewhereThatStillArrives) {
    OtherClient other(1200, 300);
    controller->showContextMenu({960, 540});
    OverlayEdgeMenu* menu = controller->contextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(testsupport::waitUntil([&] { return menu->windowHandle()->isExposed(); }));

    // A click on the menu's padding keeps it open.
    other.clickAt(menu->geometry().x() + 2, menu->geometry().y() + 80);
    testsupport::processEvents(100);
    ASSERT_NE(controller->contextMenu(), nullptr);

    other.clickAt(1300, 400);
    EXPECT_TRUE(testsupport::waitUntil([&] { return controller->contextMenu() == nullptr; }));
    EXPECT_TRUE(testsupport::waitUntil([&] { return other.buttonPresses() == 1; }));
}

TEST_F(OverlayOnX11, ScreenshotsOfEachPill) {
    const QString dir = artifactsDir();
    struct Shot {
        const char* name;
        const char* edge;
        OverlayState state;
    };
    const Shot shots[] = {
        {"idle", "bottom", OverlayState::idle},
        {"recording", "bottom", OverlayState::recording},
        {"processing", "bottom", OverlayState::processing},
        {"postProcessing", "bottom", OverlayState::postProcessing},
        {"success", "bottom", OverlayState::success},
        {"error", "bottom", OverlayState::error},
        {"recording-left", "left", OverlayState::recording},
        {"postProcessing-right", "right", OverlayState::postProcessing},
    };
    for (const Shot& s : shots) {
        settings.set("overlayDockEdge", s.edge);
        showAndSettle(s.state);
        if (s.state == OverlayState::recording) {
            // Let the meter draw a real level for a few ticks.
            controller->updateAudioLevel(0.6f);
            testsupport::processEvents(300);
        }
        const QImage img = shownPart(controller->panel());
        ASSERT_FALSE(img.isNull());
        const QString path = dir + "/overlay-" + s.name + ".png";
        ASSERT_TRUE(onBackdrop(img).save(path)) << path.toStdString();
    }

    // The hands-free border at both ends of its pulse.
    for (double opacity : {1.0, 0.3}) {
        PillLook look;
        look.kind = PillLook::Kind::recording;
        look.sticky = true;
        look.barHeights = {4, 6, 9, 12, 15, 14, 11, 8, 6, 4};
        look.stickyBorderOpacity = opacity;
        QImage img(280, 76, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        OverlayPainter::paintPill(p, QRectF(0, 0, 280, 76), look);
        p.end();
        const QString path =
            dir + QString("/overlay-sticky-%1.png").arg(static_cast<int>(opacity * 100));
        ASSERT_TRUE(onBackdrop(img).save(path));
    }

    // The edge menu after a drag (dimmed tick), then docked with its second row hovered.
    settings.setMany({{"overlayDockEdge", "bottom"},
                      {"overlayPositionCenterX", 700},
                      {"overlayPositionCenterY", 300}});
    controller->showContextMenu({960, 540});
    ASSERT_TRUE(
        onBackdrop(shownPart(controller->contextMenu())).save(dir + "/overlay-menu-dragged.png"));
    settings.remove("overlayPositionCenterX");
    controller->showContextMenu({960, 540});
    OverlayEdgeMenu* menu = controller->contextMenu();
    const QPointF row = OverlayEdgeMenu::rowRect(OverlayDockEdge::top).center();
    QMouseEvent hover(QEvent::MouseMove, row, row + QPointF(menu->pos()), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &hover);
    ASSERT_EQ(menu->hoveredEdge(), OverlayDockEdge::top);
    ASSERT_TRUE(onBackdrop(shownPart(menu)).save(dir + "/overlay-menu.png"));

    // What the X server shows over a white window: the panel cut to the pill
    // (no compositor here).
    controller->dismissContextMenu();
    settings.set("overlayDockEdge", "bottom");
    showAndSettle(OverlayState::processing);
    const QRect g = controller->panel()->geometry();
    OtherClient backdrop(g.x() - 20, g.y() - 60);
    controller->ensureVisibleIfNeeded();  // back on top of the new window
    testsupport::processEvents(100);
    const QImage screen = QGuiApplication::primaryScreen()
                              ->grabWindow(0, g.x(), g.y(), g.width(), g.height())
                              .toImage();
    ASSERT_TRUE(onBackdrop(screen).save(dir + "/overlay-screen-processing.png"));
}

// With a compositing manager the pill and the edge menu are translucent
// windows with room around them, and their shadows reach the screen over a
// white window of another client.
TEST_F(OverlayOnX11, ShadowsWhereACompositorRuns) {
    QProcess compositor;
    compositor.start("xcompmgr", {});
    ASSERT_TRUE(compositor.waitForStarted());
    struct Stop {
        QProcess& p;
        ~Stop() {
            p.kill();
            p.waitForFinished();
            testsupport::waitUntil([] { return !OverlayWindowSystem::compositingActive(); });
        }
    } stop{compositor};
    ASSERT_TRUE(testsupport::waitUntil([] { return OverlayWindowSystem::compositingActive(); }));
    // Windows decide on translucency when they are made.
    settings.set("overlayDockEdge", "bottom");
    controller = std::make_unique<OverlayWindowController>(settings, Clock::system());
    controller->setup();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    OtherClient backdrop(screen.center().x() - 150, screen.bottom() - 199);
    showAndSettle(OverlayState::recording);
    controller->ensureVisibleIfNeeded();

    auto grey = [](QPoint at) {
        const QImage px = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
        return qGray(px.pixel(0, 0));
    };
    const QRect g = controller->panel()->geometry();
    PillLook pill;
    pill.kind = PillLook::Kind::recording;
    const QRect r = OverlayPainter::pillRect(pill, QRectF(g)).toRect();
    // Shaded just above and beside the pill, white further out.
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return grey(QPoint(r.center().x(), r.top() - 3)) < 250 &&
               grey(QPoint(r.left() - 3, r.center().y())) < 240 &&
               grey(QPoint(r.center().x(), r.top() - 20)) > 252;
    })) << grey(QPoint(r.center().x(), r.top() - 3)) << " "
        << grey(QPoint(r.left() - 3, r.center().y())) << " "
        << grey(QPoint(r.center().x(), r.top() - 20));
    const QRect shot = r.adjusted(-30, -30, 30, 8);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, shot.x(), shot.y(), shot.width(), shot.height())
        .toImage()
        .save(artifactsDir() + "/overlay-shadow-pill.png");

    controller->showContextMenu(QPointF(screen.center()));
    OverlayEdgeMenu* menu = controller->contextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->shadowMargin(), OverlayEdgeMenu::kShadowMargin);
    ASSERT_TRUE(testsupport::waitUntil([&] { return menu->windowHandle()->isExposed(); }));
    const QRect m = menu->menuFrame();
    EXPECT_EQ(m.size(), OverlayGeometry::menuSize.toSize());
    OtherClient menuBackdrop(m.x() - 30, m.y() - 30);
    menu->raise();
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return grey(QPoint(m.center().x(), m.bottom() + 4)) < 240 &&
               grey(QPoint(m.left() - 25, m.center().y())) > 252;
    })) << grey(QPoint(m.center().x(), m.bottom() + 4)) << " "
        << grey(QPoint(m.left() - 25, m.center().y()));
    const QRect menuShot = m.adjusted(-30, -30, 30, 6);
    QGuiApplication::primaryScreen()
        ->grabWindow(0, menuShot.x(), menuShot.y(), menuShot.width(), menuShot.height())
        .toImage()
        .save(artifactsDir() + "/overlay-shadow-menu.png");
    controller->dismissContextMenu();
}
