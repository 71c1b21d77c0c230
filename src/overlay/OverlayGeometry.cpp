#include "overlay/OverlayGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

QString OverlayDock::rawValue(OverlayDockEdge edge) {
    switch (edge) {
        case OverlayDockEdge::bottom:
            return QStringLiteral("bottom");
        case OverlayDockEdge::top:
            return QStringLiteral("top");
        case OverlayDockEdge::left:
            return QStringLiteral("left");
        case OverlayDockEdge::right:
            return QStringLiteral("right");
    }
    return {};
}

std::optional<OverlayDockEdge> OverlayDock::fromRaw(const QString& raw) {
    for (OverlayDockEdge e : allCases)
        if (rawValue(e) == raw) return e;
    return std::nullopt;
}

OverlayScreenSpace::OverlayScreenSpace(std::vector<OverlayScreen> screens, int mainIndex,
                                       double primaryHeight)
    : m_screens(std::move(screens)), m_main(mainIndex), m_primaryHeight(primaryHeight) {}

OverlayScreenSpace OverlayScreenSpace::fromApplication() {
    const QList<QScreen*> all = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    const double primaryHeight = primary ? primary->geometry().height() : 0;
    OverlayScreenSpace space({}, 0, primaryHeight);
    for (QScreen* s : all) {
        if (s == primary) space.m_main = static_cast<int>(space.m_screens.size());
        space.m_screens.push_back({space.fromWindowSystem(QRectF(s->geometry())),
                                   space.fromWindowSystem(QRectF(s->availableGeometry()))});
    }
    return space;
}

const OverlayScreen* OverlayScreenSpace::mainScreen() const {
    if (m_screens.empty()) return nullptr;
    if (m_main >= 0 && m_main < static_cast<int>(m_screens.size())) return &m_screens[m_main];
    return &m_screens.front();
}

// The flip is its own inverse: y' = H - y - h.
QRectF OverlayScreenSpace::toWindowSystem(const QRectF& r) const {
    return {r.x(), m_primaryHeight - r.y() - r.height(), r.width(), r.height()};
}
QRectF OverlayScreenSpace::fromWindowSystem(const QRectF& r) const {
    return toWindowSystem(r);
}
QPointF OverlayScreenSpace::toWindowSystem(const QPointF& p) const {
    return {p.x(), m_primaryHeight - p.y()};
}
QPointF OverlayScreenSpace::fromWindowSystem(const QPointF& p) const {
    return toWindowSystem(p);
}

namespace OverlayGeometry {

QSizeF panelSize(OverlayDockEdge edge, OverlayState state) {
    if (OverlayDock::isVertical(edge)) return {76, 160};
    if (state == OverlayState::postProcessing) return {280, 76};
    return {160, 76};
}

QPointF dockedOrigin(OverlayDockEdge edge, const QRectF& v, QSizeF size) {
    const double w = size.width(), h = size.height();
    // QRectF's bottom() is y + height, which is the top edge in overlay coordinates.
    const double minY = v.y(), maxY = v.y() + v.height();
    switch (edge) {
        case OverlayDockEdge::bottom:
            return {v.center().x() - w / 2, minY + 4 - 20};
        case OverlayDockEdge::top:
            return {v.center().x() - w / 2, maxY - h - 4 + 20};
        case OverlayDockEdge::left:
            return {v.x() + 4 - 20, v.center().y() - h / 2};
        case OverlayDockEdge::right:
            return {v.x() + v.width() - w - 4 + 20, v.center().y() - h / 2};
    }
    return {};
}

std::optional<QPointF> savedCenterPosition(const OverlaySavedPosition& saved, QSizeF size,
                                           const std::vector<OverlayScreen>& screens) {
    if (!saved.centerX) return std::nullopt;
    const double w = size.width(), h = size.height();
    const double cx = *saved.centerX;
    double cy;
    if (saved.centerY)
        cy = *saved.centerY;
    else if (saved.bottomY)
        cy = *saved.bottomY + h / 2;
    else
        return std::nullopt;
    const QRectF inset(cx - w / 2 + 20, cy - h / 2 + 20, w - 40, h - 40);
    for (const OverlayScreen& s : screens) {
        const QRectF i = s.visibleFrame.intersected(inset);
        if (i.width() >= inset.width() / 2 && i.height() >= inset.height() / 2)
            return QPointF(cx, cy);
    }
    return std::nullopt;
}

std::optional<QRectF> panelFrame(OverlayDockEdge edge, OverlayState state,
                                 const OverlaySavedPosition& saved,
                                 const OverlayScreenSpace& space) {
    const OverlayScreen* screen = space.mainScreen();
    if (!screen) return std::nullopt;
    const QSizeF size = panelSize(edge, state);
    QPointF origin = dockedOrigin(edge, screen->visibleFrame, size);
    if (auto c = savedCenterPosition(saved, size, space.screens()))
        origin = QPointF(c->x() - size.width() / 2, c->y() - size.height() / 2);
    return QRectF(origin, size);
}

QPointF menuOrigin(QPointF p, const OverlayScreenSpace& space) {
    QRectF a(0, 0, 1440, 900);
    if (const OverlayScreen* main = space.mainScreen()) a = main->visibleFrame;
    for (const OverlayScreen& s : space.screens()) {
        // Mouse-in-rectangle: the lower and left edges belong to the rectangle.
        const QRectF& f = s.frame;
        if (p.x() >= f.x() && p.x() < f.x() + f.width() && p.y() >= f.y() &&
            p.y() < f.y() + f.height()) {
            a = s.visibleFrame;
            break;
        }
    }
    const double mw = menuSize.width(), mh = menuSize.height();
    const double minX = a.x(), maxX = a.x() + a.width(), minY = a.y(), maxY = a.y() + a.height();
    double x = p.x() - mw / 2;
    x = std::min(x, maxX - mw - 8);
    x = std::max(x, minX + 8);
    double y = p.y() + 12;
    if (p.y() + 12 + mh > maxY - 8) y = p.y() - mh - 12;
    y = std::min(y, maxY - mh - 8);
    y = std::max(y, minY + 8);
    return {x, y};
}

}  // namespace OverlayGeometry

void OverlayDragTracker::press(QPointF mouse, QPointF panelOrigin) {
    m_startMouse = mouse;
    m_startOrigin = panelOrigin;
    m_dragging = false;
}

std::optional<QPointF> OverlayDragTracker::move(QPointF mouse) {
    if (!m_startMouse) return std::nullopt;
    const QPointF d = mouse - *m_startMouse;
    if (!m_dragging && std::hypot(d.x(), d.y()) < OverlayGeometry::dragThreshold)
        return std::nullopt;
    m_dragging = true;
    return m_startOrigin + d;
}

bool OverlayDragTracker::release() {
    const bool wasDragging = m_dragging;
    m_startMouse.reset();
    m_dragging = false;
    return wasDragging;
}
