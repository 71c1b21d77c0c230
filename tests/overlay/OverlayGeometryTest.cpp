#include <QMouseEvent>

#include "overlay/OverlayFixture.h"
#include "support/TestSupport.h"

namespace {
class OverlayPlacement : public OverlayFixture {
protected:
    void SetUp() override {
        settings.set("overlayHideWhenIdle", false);
        controller->setup();
    }
    void showDocked(const QString& edge, OverlayState state) {
        settings.set("overlayDockEdge", edge);
        controller->show(state);
    }
};
}  // namespace

TEST_F(OverlayPlacement, DockedFrameForEachEdgeAndState) {
    // Visible frame (0, 0, 1920, 1052); the panel overhangs it by 16 points.
    struct Case {
        const char* edge;
        OverlayState state;
        QRectF frame;
    };
    const Case cases[] = {
        {"bottom", OverlayState::idle, {880, -16, 160, 76}},
        {"bottom", OverlayState::postProcessing, {820, -16, 280, 76}},
        {"top", OverlayState::recording, {880, 992, 160, 76}},
        {"top", OverlayState::postProcessing, {820, 992, 280, 76}},
        {"left", OverlayState::processing, {-16, 446, 76, 160}},
        {"left", OverlayState::postProcessing, {-16, 446, 76, 160}},
        {"right", OverlayState::success, {1860, 446, 76, 160}},
        {"right", OverlayState::postProcessing, {1860, 446, 76, 160}},
        {"middle", OverlayState::error, {880, -16, 160, 76}},  // unknown: bottom
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edge) + " " + overlayStateName(c.state).toStdString());
        showDocked(c.edge, c.state);
        EXPECT_EQ(panelFrame(), c.frame);
        EXPECT_EQ(model().isVertical(), QString(c.edge) == "left" || QString(c.edge) == "right");
    }
    settings.set("overlayDockEdge", 3);
    EXPECT_EQ(controller->currentDockEdge(), OverlayDockEdge::bottom);
}

TEST_F(OverlayPlacement, PanelIsPlacedInWindowSystemCoordinates) {
    showDocked("top", OverlayState::recording);
    // y flips: the top-docked panel overhangs the 28-point bar's lower edge.
    EXPECT_EQ(controller->panel()->geometry(), QRect(880, 12, 160, 76));
}

TEST_F(OverlayPlacement, SavedCentreAndItsOlderForm) {
    struct Case {
        const char* edge;
        std::optional<double> centerY, bottomY;
        OverlayState state;
        QPointF centre;
    };
    const Case cases[] = {
        {"bottom", 300, std::nullopt, OverlayState::idle, {500, 300}},
        {"bottom", std::nullopt, 200, OverlayState::idle, {500, 238}},
        {"bottom", 300, 200, OverlayState::idle, {500, 300}},  // the centre wins
        {"left", std::nullopt, 200, OverlayState::recording, {500, 280}},
        // The post-processing pill grows about the same centre.
        {"top", 300, std::nullopt, OverlayState::postProcessing, {500, 300}},
    };
    for (const Case& c : cases) {
        settings.setMany({{"overlayPositionCenterX", 500}},
                         {"overlayPositionCenterY", "overlayPositionBottomY"});
        if (c.centerY) settings.set("overlayPositionCenterY", *c.centerY);
        if (c.bottomY) settings.set("overlayPositionBottomY", *c.bottomY);
        showDocked(c.edge, c.state);
        EXPECT_EQ(panelFrame().center(), c.centre) << c.edge;
        EXPECT_EQ(panelFrame().size(),
                  OverlayGeometry::panelSize(*OverlayDock::fromRaw(c.edge), c.state));
        EXPECT_TRUE(controller->hasCustomDraggedPosition());
    }
    // Only an x is not a position.
    settings.remove("overlayPositionCenterY");
    settings.remove("overlayPositionBottomY");
    EXPECT_FALSE(controller->hasCustomDraggedPosition());
}

TEST(OverlaySavedPosition, UsedWhileHalfOfTheInsetPanelIsOnAScreen) {
    // A 160 x 76 panel shrinks to 120 x 36: the centre may go 60 points past
    // the right edge (x 1920) and 18 below the bottom edge (y 0).
    const std::vector<OverlayScreen> screens{laptopScreen()};
    struct Case {
        QPointF centre;
        bool used;
    };
    const Case cases[] = {{{1920, 500}, true},  {{1920.5, 500}, false}, {{500, 0}, true},
                          {{500, -0.5}, false}, {{-0.5, 500}, false},   {{500, 1052}, true},
                          {{5000, 5000}, false}};
    for (const Case& c : cases) {
        OverlaySavedPosition saved{c.centre.x(), c.centre.y(), std::nullopt};
        const auto r = OverlayGeometry::savedCenterPosition(saved, {160, 76}, screens);
        EXPECT_EQ(r.has_value(), c.used) << c.centre.x() << "," << c.centre.y();
    }
}

TEST_F(OverlayPlacement, SavedCentreOnAScreenThatIsGoneFallsBackToTheEdge) {
    screens.push_back(sideScreen());
    settings.setMany({{"overlayPositionCenterX", 2500}, {"overlayPositionCenterY", 500}});
    controller->show(OverlayState::idle);
    EXPECT_EQ(panelFrame().center(), QPointF(2500, 500));

    screens.pop_back();  // the side screen is unplugged
    controller->ensureVisibleIfNeeded();
    EXPECT_EQ(panelFrame(), QRectF(880, -16, 160, 76));
    // The position is kept for when the screen comes back, and still counts as dragged.
    EXPECT_TRUE(controller->hasCustomDraggedPosition());
    EXPECT_EQ(settings.doubleValue("overlayPositionCenterX"), 2500);
}

TEST_F(OverlayPlacement, NoScreensLeavesThePanelWhereItIs) {
    controller->show(OverlayState::recording);
    const QRect before = controller->panel()->geometry();
    screens.clear();
    controller->show(OverlayState::postProcessing);
    EXPECT_EQ(controller->panel()->geometry(), before);
    EXPECT_FALSE(controller->targetPanelFrame().has_value());
}

TEST(OverlayDragTracker, MovesOnlyOncePastTheThreshold) {
    OverlayDragTracker t;
    EXPECT_FALSE(t.move({10, 10}).has_value());  // no press
    t.press({100, 100}, {500, 500});
    EXPECT_FALSE(t.move({103, 100}).has_value());
    EXPECT_FALSE(t.move({102.8, 102.8}).has_value());  // 3.96 points
    EXPECT_FALSE(t.isDragging());
    EXPECT_EQ(t.move({102.9, 102.9}), QPointF(502.9, 502.9));
    // Once dragging, small moves follow the mouse, back to the start too.
    EXPECT_EQ(t.move({100, 101}), QPointF(500, 501));
    EXPECT_TRUE(t.release());
    EXPECT_FALSE(t.release());
    EXPECT_FALSE(t.move({200, 200}).has_value());
}

namespace {
void sendMouse(QWidget* w, QEvent::Type type, QPointF global, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent e(type, global - QPointF(w->pos()), global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// Drags the panel by d (window-system points) with the left button.
void drag(QWidget* panel, QPointF d) {
    const QPointF start = QRectF(panel->geometry()).center();
    sendMouse(panel, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    sendMouse(panel, QEvent::MouseMove, start + d / 2, Qt::NoButton, Qt::LeftButton);
    sendMouse(panel, QEvent::MouseMove, start + d, Qt::NoButton, Qt::LeftButton);
    sendMouse(panel, QEvent::MouseButtonRelease, start + d, Qt::LeftButton, Qt::NoButton);
}
}  // namespace

TEST_F(OverlayPlacement, ShortDragNeitherMovesNorStores) {
    settings.set("overlayPositionBottomY", 12);
    controller->show(OverlayState::idle);
    const QRect before = controller->panel()->geometry();
    drag(controller->panel(), {3, 2});
    EXPECT_EQ(controller->panel()->geometry(), before);
    EXPECT_FALSE(settings.contains("overlayPositionCenterX"));
    EXPECT_TRUE(settings.contains("overlayPositionBottomY"));
}

TEST_F(OverlayPlacement, DragStoresTheDroppedCentre) {
    settings.set("overlayPositionBottomY", 12);
    controller->show(OverlayState::idle);
    drag(controller->panel(), {40, -30});  // right and up
    EXPECT_EQ(settings.doubleValue("overlayPositionCenterX"), 1000);
    EXPECT_EQ(settings.doubleValue("overlayPositionCenterY"), 52);
    EXPECT_FALSE(settings.contains("overlayPositionBottomY"));
    EXPECT_EQ(panelFrame().center(), QPointF(1000, 52));
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[Overlay] перенесён: centerX=1000 centerY=52"));
}

TEST_F(OverlayPlacement, PillDroppedOffScreenJumpsBackButKeepsTheDrop) {
    settings.set("overlayDockEdge", "right");
    controller->show(OverlayState::recording);
    drag(controller->panel(), {80, 0});
    EXPECT_EQ(panelFrame(), QRectF(1860, 446, 76, 160));
    EXPECT_EQ(settings.doubleValue("overlayPositionCenterX"), 1978);
    EXPECT_TRUE(controller->hasCustomDraggedPosition());
}

TEST_F(OverlayPlacement, DraggedPillKeepsTheSizeOfItsEdge) {
    settings.set("overlayDockEdge", "left");
    controller->show(OverlayState::postProcessing);
    drag(controller->panel(), {600, 0});
    EXPECT_EQ(panelFrame().size(), QSizeF(76, 160));
    EXPECT_EQ(panelFrame().center(), QPointF(622, 526));
}

TEST_F(OverlayPlacement, ChoosingAnEdgeForgetsTheDraggedPosition) {
    settings.setMany({{"overlayPositionCenterX", 500},
                      {"overlayPositionCenterY", 300},
                      {"overlayPositionBottomY", 12}});
    controller->selectDockEdge(OverlayDockEdge::top);
    EXPECT_EQ(settings.string("overlayDockEdge"), "top");
    EXPECT_FALSE(controller->hasCustomDraggedPosition());
    for (const char* key :
         {"overlayPositionCenterX", "overlayPositionCenterY", "overlayPositionBottomY"})
        EXPECT_FALSE(settings.contains(key)) << key;
    EXPECT_EQ(model().dockEdge(), OverlayDockEdge::top);
    EXPECT_EQ(panelFrame(), QRectF(880, 992, 160, 76));
    controller->selectDockEdge(OverlayDockEdge::left);
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[Overlay] выбрана граница: left (vertical=true)"));
}

TEST(OverlayEdgeMenuPlacement, StaysInsideTheVisibleFrame) {
    const auto space = screenSpace({laptopScreen(), sideScreen()});
    struct Case {
        const char* what;
        QPointF click;
        QPointF origin;
    };
    const Case cases[] = {
        {"above the click", {960, 100}, {840, 112}},
        {"below the click near the top", {960, 1000}, {840, 824}},
        {"right side 8 inside", {1910, 100}, {1672, 112}},
        {"left side 8 inside", {10, 100}, {8, 112}},
        {"click in the overhang below the screen", {960, -10}, {840, 8}},
        {"on the screen that was clicked", {2000, 500}, {1928, 512}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OverlayGeometry::menuOrigin(c.click, space), c.origin) << c.what;
    // Without screens the menu keeps to a 1440 x 900 area.
    EXPECT_EQ(OverlayGeometry::menuOrigin({1430, 890}, screenSpace({})), QPointF(1192, 714));
}

TEST(OverlayScreenSpace, ConvertsBothWays) {
    const auto space = screenSpace({laptopScreen()}, 0, 1080);
    EXPECT_EQ(space.toWindowSystem(QRectF(880, -16, 160, 76)), QRectF(880, 1020, 160, 76));
    EXPECT_EQ(space.fromWindowSystem(space.toWindowSystem(QPointF(3, 7))), QPointF(3, 7));
    EXPECT_EQ(space.fromWindowSystem(QRectF(1920, 0, 1280, 1024)), QRectF(1920, 56, 1280, 1024));
}
