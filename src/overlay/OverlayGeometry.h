#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>
#include <vector>

#include "core/OverlayControl.h"

// The edges the pill docks to, in menu order.
enum class OverlayDockEdge { bottom, top, left, right };

namespace OverlayDock {
inline constexpr OverlayDockEdge allCases[] = {OverlayDockEdge::bottom, OverlayDockEdge::top,
                                               OverlayDockEdge::left, OverlayDockEdge::right};
QString rawValue(OverlayDockEdge edge);
// None for anything that is not one of the four raw values.
std::optional<OverlayDockEdge> fromRaw(const QString& raw);
inline bool isVertical(OverlayDockEdge edge) {
    return edge == OverlayDockEdge::left || edge == OverlayDockEdge::right;
}
}  // namespace OverlayDock

// One screen in overlay coordinates: points, origin at the bottom-left corner
// of the primary screen, y growing upward. All placement is computed in these
// coordinates; OverlayScreenSpace converts at the window-system boundary.
struct OverlayScreen {
    QRectF frame;
    QRectF visibleFrame;
};

// The screens as the window system reports them, plus the conversion between
// overlay coordinates and the window system's (y down, origin top-left of the
// primary screen).
class OverlayScreenSpace {
public:
    // primaryHeight: height of the primary screen in the window system.
    OverlayScreenSpace(std::vector<OverlayScreen> screens, int mainIndex, double primaryHeight);
    // From the application's QScreens (main = the primary screen).
    static OverlayScreenSpace fromApplication();

    const std::vector<OverlayScreen>& screens() const { return m_screens; }
    // The main screen, else the first; none without screens.
    const OverlayScreen* mainScreen() const;

    QRectF toWindowSystem(const QRectF& overlayRect) const;
    QPointF toWindowSystem(const QPointF& overlayPoint) const;
    QRectF fromWindowSystem(const QRectF& rect) const;
    QPointF fromWindowSystem(const QPointF& point) const;

private:
    std::vector<OverlayScreen> m_screens;
    int m_main = 0;
    double m_primaryHeight = 0;
};

// The stored dragged position (settings keys), each part optional.
struct OverlaySavedPosition {
    std::optional<double> centerX;
    std::optional<double> centerY;
    std::optional<double> bottomY;  // older form: y of the panel's bottom edge
};

namespace OverlayGeometry {
inline constexpr double dragThreshold = 4;
inline constexpr QSizeF menuSize{240, 164};

QSizeF panelSize(OverlayDockEdge edge, OverlayState state);
// Origin of a w x h panel docked to edge of the visible frame: it overhangs
// the frame by 16 points on the docked side so the centred pill sits 4 points in.
QPointF dockedOrigin(OverlayDockEdge edge, const QRectF& visibleFrame, QSizeF size);
// The stored centre when the panel shrunk by 20 on every side lies at least
// half (in width and in height) on some screen's visible frame; else none.
std::optional<QPointF> savedCenterPosition(const OverlaySavedPosition& saved, QSizeF size,
                                           const std::vector<OverlayScreen>& screens);
// The panel frame: at the saved centre when it is usable, else docked on the
// main screen. None without screens.
std::optional<QRectF> panelFrame(OverlayDockEdge edge, OverlayState state,
                                 const OverlaySavedPosition& saved,
                                 const OverlayScreenSpace& space);
// Origin of the edge menu for a right-click at p: centred on the click and
// above it, below when it would pass the top, 8 points inside the visible frame.
QPointF menuOrigin(QPointF p, const OverlayScreenSpace& space);
}  // namespace OverlayGeometry

// A left-button press that may become a drag of the panel, in overlay
// coordinates. Moves shorter than the threshold are ignored until the press
// has become a drag.
class OverlayDragTracker {
public:
    void press(QPointF mouse, QPointF panelOrigin);
    // The new panel origin when the press is (now) a drag, else none.
    std::optional<QPointF> move(QPointF mouse);
    // True when the released press was a drag.
    bool release();
    bool isDragging() const { return m_dragging; }
    bool isPressed() const { return m_startMouse.has_value(); }

private:
    std::optional<QPointF> m_startMouse;
    QPointF m_startOrigin;
    bool m_dragging = false;
};
