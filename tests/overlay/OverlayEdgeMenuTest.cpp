#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "overlay/OverlayFixture.h"
#include "support/TestSupport.h"

namespace {
class KeyRecorder : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys << e->key(); }
};

class OverlayMenu : public OverlayFixture {
protected:
    void SetUp() override {
        settings.set("overlayHideWhenIdle", false);
        controller->setup();
    }
    OverlayEdgeMenu* menu() const { return controller->contextMenu(); }
    void click(QWidget* w, QPointF local, Qt::MouseButton button = Qt::LeftButton) {
        const QPointF global = local + QPointF(w->pos());
        QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
    }
    void key(QObject* target, int k) {
        QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier, k == Qt::Key_A ? "a" : QString());
        QCoreApplication::sendEvent(target, &e);
    }
};
}  // namespace

TEST_F(OverlayMenu, RightClickOnThePillOpensTheMenuAtTheClick) {
    settings.set("overlayDockEdge", "left");
    controller->ensureVisibleIfNeeded();
    click(controller->panel(), {38, 80}, Qt::RightButton);
    ASSERT_NE(menu(), nullptr);
    EXPECT_TRUE(menu()->isVisible());
    EXPECT_EQ(menu()->activeEdge(), OverlayDockEdge::left);
    EXPECT_TRUE(menu()->isAtPreset());
    // The pill's centre (22, 526) is near the left edge: the menu keeps 8 inside.
    const QRectF expected(OverlayGeometry::menuOrigin({22, 526}, screenSpace(screens)),
                          OverlayGeometry::menuSize);
    EXPECT_EQ(screenSpace(screens).fromWindowSystem(QRectF(menu()->geometry())), expected);
    EXPECT_EQ(expected.topLeft(), QPointF(8, 538));
    EXPECT_TRUE(clicks->isRunning());
}

TEST_F(OverlayMenu, DraggedPillDimsTheTickOfItsEdge) {
    const std::pair<bool, bool> cases[] = {{false, true}, {true, false}};
    for (auto [dragged, atPreset] : cases) {
        settings.setMany({{"overlayDockEdge", "top"}},
                         {"overlayPositionCenterX", "overlayPositionCenterY"});
        // A stored drop off every screen still counts as dragged.
        if (dragged)
            settings.setMany({{"overlayPositionCenterX", 9000}, {"overlayPositionCenterY", 9000}});
        controller->showContextMenu({500, 500});
        EXPECT_EQ(menu()->isAtPreset(), atPreset);
        EXPECT_EQ(menu()->activeEdge(), OverlayDockEdge::top);
    }
    // Choosing that same edge docks the pill again.
    click(menu(), OverlayEdgeMenu::rowRect(OverlayDockEdge::top).center());
    EXPECT_FALSE(controller->hasCustomDraggedPosition());
    EXPECT_EQ(menu(), nullptr);
}

TEST_F(OverlayMenu, ChoosingARowDocksAndCloses) {
    controller->showContextMenu({960, 100});
    for (OverlayDockEdge e : OverlayDock::allCases)
        EXPECT_EQ(OverlayEdgeMenu::edgeAt(OverlayEdgeMenu::rowRect(e).center()), e);
    EXPECT_FALSE(OverlayEdgeMenu::edgeAt({2, 2}).has_value());  // the padding

    click(menu(), OverlayEdgeMenu::rowRect(OverlayDockEdge::right).center());
    EXPECT_EQ(settings.string("overlayDockEdge"), "right");
    EXPECT_EQ(menu(), nullptr);
    EXPECT_FALSE(clicks->isRunning());
    EXPECT_EQ(panelFrame(), QRectF(1860, 446, 76, 160));
}

TEST_F(OverlayMenu, HoverFollowsTheRowUnderTheMouse) {
    controller->showContextMenu({960, 100});
    const QPointF row = OverlayEdgeMenu::rowRect(OverlayDockEdge::left).center();
    QMouseEvent move(QEvent::MouseMove, row, row + QPointF(menu()->pos()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(menu(), &move);
    EXPECT_EQ(menu()->hoveredEdge(), OverlayDockEdge::left);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(menu(), &leave);
    EXPECT_FALSE(menu()->hoveredEdge().has_value());
}

TEST_F(OverlayMenu, PressesElsewhereCloseItAndGoOn) {
    controller->showContextMenu({960, 100});
    const QRect frame = menu()->geometry();
    clicks->press(frame.center());  // inside: stays
    ASSERT_NE(menu(), nullptr);
    clicks->press(frame.topLeft() - QPoint(5, 5));  // another application
    EXPECT_EQ(menu(), nullptr);
    EXPECT_FALSE(clicks->isRunning());

    // A press in another window of this application closes it and still arrives.
    QLineEdit field;
    field.show();
    controller->showContextMenu({960, 100});
    click(&field, {5, 5});
    EXPECT_EQ(menu(), nullptr);
}

TEST_F(OverlayMenu, EscapeClosesAndStopsOtherKeysCloseAndGoOn) {
    KeyRecorder target;
    target.show();
    controller->showContextMenu({960, 100});
    key(&target, Qt::Key_A);
    EXPECT_EQ(menu(), nullptr);
    EXPECT_EQ(target.keys, QList<int>({Qt::Key_A}));

    controller->showContextMenu({960, 100});
    key(&target, Qt::Key_Escape);
    EXPECT_EQ(menu(), nullptr);
    EXPECT_EQ(target.keys, QList<int>({Qt::Key_A}));  // Escape was taken by the menu
    key(&target, Qt::Key_Escape);                     // with the menu closed, Escape goes on again
    EXPECT_EQ(target.keys, QList<int>({Qt::Key_A, Qt::Key_Escape}));
}

TEST_F(OverlayMenu, NewRightClickReplacesTheMenuAndADropClosesIt) {
    controller->showContextMenu({960, 100});
    QPointer<OverlayEdgeMenu> first = menu();
    controller->showContextMenu({500, 100});
    EXPECT_NE(menu(), first.data());
    EXPECT_TRUE(first.isNull() || !first->isVisible());
    EXPECT_EQ(clicks->starts, 2);
    EXPECT_TRUE(clicks->isRunning());
    controller->handleDrop({700, 300});
    EXPECT_EQ(menu(), nullptr);
    EXPECT_FALSE(clicks->isRunning());
}
