#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <functional>
#include <memory>

#include "overlay/OverlayGeometry.h"
#include "overlay/OverlayModel.h"
#include "overlay/OverlayPainter.h"

// The borderless, non-activating panel that carries the pill. It draws the
// pill of the model's state centred in itself, can be dragged with the left
// button and reports right-clicks. Points it reports are global window-system
// coordinates.
class OverlayPanel : public QWidget {
    Q_OBJECT
public:
    OverlayPanel(OverlayModel& model, Clock& clock, QWidget* parent = nullptr);
    ~OverlayPanel() override;

    // Called after a drag ends with the panel's new centre.
    std::function<void(QPointF)> onMoved;
    // Called on a right-button press with the mouse location.
    std::function<void(QPointF)> onRightClick;

    // What is drawn at this moment.
    PillLook look() const;
    // True while a transition (fade, tick, shake) is still running.
    bool isAnimating() const;
    bool isDragging() const { return m_drag.isDragging(); }
    bool isSpinning() const { return m_spinner != nullptr; }
    bool isPulsing() const { return m_pulse.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void onStateChanged(OverlayState state);
    // The spinner and the pulse run only while their pill is on screen.
    void updateSpinner();
    void updatePulse();
    void updateShape();

    OverlayModel& m_model;
    Clock& m_clock;
    bool m_translucent = false;
    OverlayDragTracker m_drag;
    std::unique_ptr<SpinnerModel> m_spinner;
    QVariantAnimation m_scale;  // the tick grows from nothing
    QVariantAnimation m_shake;  // the cross shakes along the long axis
    QVariantAnimation m_pulse;  // the hands-free border breathes
    QVariantAnimation m_fade;   // a new state's pill fades in
};

// The dark menu of the four docking edges, a non-activating panel too.
class OverlayEdgeMenu : public QWidget {
    Q_OBJECT
public:
    OverlayEdgeMenu(OverlayDockEdge activeEdge, bool isAtPreset, QWidget* parent = nullptr);

    std::function<void(OverlayDockEdge)> onSelect;
    // Called on Escape pressed while the menu has the keyboard.
    std::function<void()> onEscape;

    // Where a compositor blends windows the menu casts a shadow, and the
    // window is larger than the menu by this margin on every side.
    static constexpr int kShadowMargin = 14;
    int shadowMargin() const { return m_margin; }
    // Places the window so that the menu itself fills `menuFrame`.
    void placeMenu(const QRect& menuFrame);
    // The menu itself, without its shadow, in global coordinates.
    QRect menuFrame() const;

    OverlayDockEdge activeEdge() const { return m_activeEdge; }
    bool isAtPreset() const { return m_atPreset; }
    std::optional<OverlayDockEdge> hoveredEdge() const { return m_hovered; }
    // The row rectangle of an edge, in the menu's own coordinates.
    static QRectF rowRect(OverlayDockEdge edge);
    // The row under a point in the menu's coordinates.
    static std::optional<OverlayDockEdge> edgeAt(QPointF p);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // A point of the window in the menu's own coordinates.
    QPointF toMenu(QPointF p) const { return p - QPointF(m_margin, m_margin); }

    int m_margin = 0;
    OverlayDockEdge m_activeEdge;
    bool m_atPreset;
    std::optional<OverlayDockEdge> m_hovered;
};

namespace OverlayEdgeMenuColors {
inline const QColor background{24, 24, 27};
inline const QColor border{39, 39, 42};  // also the hovered row
inline const QColor inactiveIcon{161, 161, 170};
inline const QColor activeIcon{167, 139, 250};  // also the tick
inline const QColor rowText{250, 250, 250};
}  // namespace OverlayEdgeMenuColors
