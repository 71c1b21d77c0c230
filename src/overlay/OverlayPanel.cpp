#include "overlay/OverlayPanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QResizeEvent>

#include "core/L10n.h"
#include "platform/x11/X11OverlayWindow.h"

namespace {
// Top-level setup shared by the panel and the menu: transparent around the
// drawn shape where a compositor blends windows, else cut to the shape.
bool prepareFloatingWindow(QWidget* w) {
    OverlayWindowSystem::makeNonActivating(w);
    const bool translucent = OverlayWindowSystem::compositingActive();
    w->setAttribute(Qt::WA_TranslucentBackground, translucent);
    if (!translucent) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, Qt::black);
        w->setPalette(pal);
    }
    return translucent;
}

QRegion roundedRegion(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}
}  // namespace

OverlayPanel::OverlayPanel(OverlayModel& model, Clock& clock, QWidget* parent)
    : QWidget(parent), m_model(model), m_clock(clock) {
    m_translucent = prepareFloatingWindow(this);
    setToolTip(L10n::overlayDragHint());
    resize(280, 76);

    m_scale.setStartValue(0.0);
    m_scale.setEndValue(1.0);
    m_scale.setDuration(250);
    m_scale.setEasingCurve(QEasingCurve::OutQuad);

    // Four linear steps of 0.04 s: -5, 5, -3, 0.
    m_shake.setDuration(160);
    m_shake.setKeyValues({{0.0, 0.0}, {0.25, -5.0}, {0.5, 5.0}, {0.75, -3.0}, {1.0, 0.0}});

    // 30 % -> 100 % -> 30 %, each way 0.7 s, for ever.
    m_pulse.setDuration(1400);
    m_pulse.setKeyValues({{0.0, 0.3}, {0.5, 1.0}, {1.0, 0.3}});
    m_pulse.setEasingCurve(QEasingCurve::InOutSine);
    m_pulse.setLoopCount(-1);

    m_fade.setStartValue(0.0);
    m_fade.setEndValue(1.0);
    m_fade.setDuration(200);
    m_fade.setEasingCurve(QEasingCurve::OutQuad);

    for (QVariantAnimation* a : {&m_scale, &m_shake, &m_pulse, &m_fade})
        connect(a, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&m_model, &OverlayModel::stateChanged, this, &OverlayPanel::onStateChanged);
    connect(&m_model, &OverlayModel::barHeightsChanged, this, [this] { update(); });
    connect(&m_model, &OverlayModel::stickyChanged, this, &OverlayPanel::updatePulse);
    connect(&m_model, &OverlayModel::dockEdgeChanged, this, [this] {
        updateShape();
        update();
    });
    onStateChanged(m_model.state());
}

OverlayPanel::~OverlayPanel() = default;

void OverlayPanel::updateSpinner() {
    const PillLook::Kind kind = PillLook::kindFor(m_model.state(), m_model.isVertical());
    const bool spins = isVisible() && (kind == PillLook::Kind::processing ||
                                       kind == PillLook::Kind::postProcessing);
    // Each processing pill has its own spinner, starting at the top spoke.
    if (!spins) {
        m_spinner.reset();
    } else if (!m_spinner) {
        m_spinner = std::make_unique<SpinnerModel>(m_clock);
        connect(m_spinner.get(), &SpinnerModel::activeIndexChanged, this, [this] { update(); });
    }
}

void OverlayPanel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    updateSpinner();
    updatePulse();
}

void OverlayPanel::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    updateSpinner();
    updatePulse();
}

void OverlayPanel::onStateChanged(OverlayState state) {
    updateSpinner();
    m_scale.stop();
    m_shake.stop();
    m_fade.stop();
    // The new pill fades in alone: the old one is gone at once, so no frame
    // shows two states over each other.
    if (isVisible()) m_fade.start();
    if (state == OverlayState::success) m_scale.start();
    if (state == OverlayState::error) m_shake.start();
    updatePulse();
    updateShape();
    update();
}

void OverlayPanel::updatePulse() {
    const PillLook::Kind kind = PillLook::kindFor(m_model.state(), m_model.isVertical());
    const bool bordered = kind == PillLook::Kind::recording || kind == PillLook::Kind::processing ||
                          kind == PillLook::Kind::postProcessing;
    if (m_model.isSticky() && bordered && isVisible()) {
        if (m_pulse.state() != QAbstractAnimation::Running) m_pulse.start();
    } else {
        m_pulse.stop();
    }
    update();
}

PillLook OverlayPanel::look() const {
    PillLook l;
    l.kind = PillLook::kindFor(m_model.state(), m_model.isVertical());
    l.vertical = m_model.isVertical();
    l.sticky = m_model.isSticky();
    l.stickyBorderOpacity =
        m_pulse.state() == QAbstractAnimation::Running ? m_pulse.currentValue().toDouble() : 0.3;
    l.barHeights = m_model.barHeights();
    l.spinnerIndex = m_spinner ? m_spinner->activeIndex() : 0;
    l.successScale =
        m_scale.state() == QAbstractAnimation::Running ? m_scale.currentValue().toDouble() : 1.0;
    l.shakeOffset =
        m_shake.state() == QAbstractAnimation::Running ? m_shake.currentValue().toDouble() : 0.0;
    l.text = L10n::overlayPostProcessing();
    l.shadow = m_translucent;
    return l;
}

bool OverlayPanel::isAnimating() const {
    return m_fade.state() == QAbstractAnimation::Running ||
           m_scale.state() == QAbstractAnimation::Running ||
           m_shake.state() == QAbstractAnimation::Running;
}

void OverlayPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_translucent) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(rect(), Qt::transparent);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (m_fade.state() == QAbstractAnimation::Running) p.setOpacity(m_fade.currentValue().toDouble());
    OverlayPainter::paintPill(p, QRectF(rect()), look());
}

void OverlayPanel::updateShape() {
    if (m_translucent) return;
    // Without a compositor the window is cut to the pill (with room for the shake).
    PillLook l = look();
    QRectF r = OverlayPainter::pillRect(l, QRectF(rect()));
    if (l.kind == PillLook::Kind::error)
        r = l.vertical ? r.adjusted(0, -5, 0, 5) : r.adjusted(-5, 0, 5, 0);
    const double radius = l.kind == PillLook::Kind::idle ? 4 : 15;
    setMask(roundedRegion(r.adjusted(-0.5, -0.5, 0.5, 0.5), radius));
}

void OverlayPanel::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    updateShape();
}

void OverlayPanel::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        if (onRightClick) onRightClick(e->globalPosition());
        e->accept();
        return;
    }
    if (e->button() == Qt::LeftButton) m_drag.press(e->globalPosition(), QPointF(pos()));
    QWidget::mousePressEvent(e);
}

void OverlayPanel::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !m_drag.isPressed()) {
        QWidget::mouseMoveEvent(e);
        return;
    }
    if (auto origin = m_drag.move(e->globalPosition())) move(origin->toPoint());
    e->accept();
}

void OverlayPanel::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        const bool dragged = m_drag.isDragging();
        m_drag.release();
        if (dragged && onMoved) onMoved(QRectF(frameGeometry()).center());
    }
    QWidget::mouseReleaseEvent(e);
}

// ---- edge menu ----

namespace {
constexpr double kMenuPadding = 6;
constexpr double kRowSpacing = 2;
constexpr int kRows = 4;

QString rowText(OverlayDockEdge edge) {
    switch (edge) {
        case OverlayDockEdge::bottom:
            return L10n::overlayDockBottom();
        case OverlayDockEdge::top:
            return L10n::overlayDockTop();
        case OverlayDockEdge::left:
            return L10n::overlayDockLeft();
        case OverlayDockEdge::right:
            return L10n::overlayDockRight();
    }
    return {};
}

// A small screen with the docking side marked: a bar along that side, and an
// arrow towards it for the horizontal edges.
void paintEdgeSymbol(QPainter& p, const QRectF& box, OverlayDockEdge edge, const QColor& color) {
    const QRectF screen(box.center().x() - 7, box.center().y() - 5.5, 14, 11);
    QPen pen(color, 1.3);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(screen, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    switch (edge) {
        case OverlayDockEdge::left:
            p.drawRect(QRectF(screen.x(), screen.y(), 4, screen.height()));
            break;
        case OverlayDockEdge::right:
            p.drawRect(QRectF(screen.right() - 4, screen.y(), 4, screen.height()));
            break;
        case OverlayDockEdge::bottom:
        case OverlayDockEdge::top: {
            const bool down = edge == OverlayDockEdge::bottom;
            const double barY = down ? screen.bottom() - 2.5 : screen.y() + 0.5;
            p.drawRect(QRectF(screen.center().x() - 3.5, barY, 7, 2));
            p.setPen(pen);
            const double tipY = down ? screen.bottom() - 4 : screen.y() + 4;
            const double tailY = down ? screen.y() + 2 : screen.bottom() - 2;
            const double c = screen.center().x();
            p.drawLine(QPointF(c, tailY), QPointF(c, tipY));
            const double back = down ? -2 : 2;
            p.drawLine(QPointF(c - 2, tipY + back), QPointF(c, tipY));
            p.drawLine(QPointF(c + 2, tipY + back), QPointF(c, tipY));
            break;
        }
    }
}

void paintTick(QPainter& p, QPointF c, const QColor& color) {
    QPen pen(color, 1.8);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(c + QPointF(-4, 0.3));
    path.lineTo(c + QPointF(-1.3, 3.2));
    path.lineTo(c + QPointF(4, -3.2));
    p.drawPath(path);
}
}  // namespace

OverlayEdgeMenu::OverlayEdgeMenu(OverlayDockEdge activeEdge, bool isAtPreset, QWidget* parent)
    : QWidget(parent), m_activeEdge(activeEdge), m_atPreset(isAtPreset) {
    const bool translucent = prepareFloatingWindow(this);
    m_margin = translucent ? kShadowMargin : 0;
    setMouseTracking(true);
    setFixedSize(OverlayGeometry::menuSize.toSize() + QSize(2 * m_margin, 2 * m_margin));
    if (!translucent) setMask(roundedRegion(QRectF(rect()), 10));
}

void OverlayEdgeMenu::placeMenu(const QRect& frame) {
    setGeometry(frame.adjusted(-m_margin, -m_margin, m_margin, m_margin));
}

QRect OverlayEdgeMenu::menuFrame() const {
    return frameGeometry().adjusted(m_margin, m_margin, -m_margin, -m_margin);
}

QRectF OverlayEdgeMenu::rowRect(OverlayDockEdge edge) {
    const QSizeF s = OverlayGeometry::menuSize;
    const double h = (s.height() - 2 * kMenuPadding - (kRows - 1) * kRowSpacing) / kRows;
    const int index = static_cast<int>(edge);
    return {kMenuPadding, kMenuPadding + index * (h + kRowSpacing), s.width() - 2 * kMenuPadding,
            h};
}

std::optional<OverlayDockEdge> OverlayEdgeMenu::edgeAt(QPointF p) {
    for (OverlayDockEdge e : OverlayDock::allCases)
        if (rowRect(e).contains(p)) return e;
    return std::nullopt;
}

void OverlayEdgeMenu::paintEvent(QPaintEvent*) {
    namespace C = OverlayEdgeMenuColors;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QRectF menu(QPointF(m_margin, m_margin), OverlayGeometry::menuSize);
    if (m_margin > 0) OverlayPainter::paintShadow(p, menu, 10, 10, QPointF(0, 3), 0.35);
    p.translate(m_margin, m_margin);
    const QRectF outer = QRectF(QPointF(0, 0), OverlayGeometry::menuSize).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(C::border, 1));
    p.setBrush(C::background);
    p.drawRoundedRect(outer, 10, 10);

    for (OverlayDockEdge edge : OverlayDock::allCases) {
        const QRectF row = rowRect(edge);
        const bool active = m_atPreset && edge == m_activeEdge;
        if (m_hovered == edge) {
            p.setPen(Qt::NoPen);
            p.setBrush(C::border);
            p.drawRoundedRect(row, 6, 6);
        }
        const QRectF content = row.adjusted(10, 8, -10, -8);
        paintEdgeSymbol(p, QRectF(content.x(), content.y(), 16, content.height()), edge,
                        active ? C::activeIcon : C::inactiveIcon);
        QFont font;
        font.setPixelSize(13);  // 12.5 points, rounded to whole pixels
        font.setWeight(active ? QFont::DemiBold : QFont::Normal);
        p.setFont(font);
        p.setPen(C::rowText);
        const QRectF textRect(content.x() + 26, content.y(), content.width() - 26 - 4 - 12,
                              content.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   QFontMetricsF(font).elidedText(rowText(edge), Qt::ElideRight, textRect.width()));
        if (edge == m_activeEdge) {
            QColor tick = C::activeIcon;
            tick.setAlphaF(m_atPreset ? 1.0f : 0.55f);
            paintTick(p, QPointF(content.right() - 5.5, content.center().y()), tick);
        }
    }
}

void OverlayEdgeMenu::mouseMoveEvent(QMouseEvent* e) {
    const auto edge = edgeAt(toMenu(e->position()));
    if (edge != m_hovered) {
        m_hovered = edge;
        update();
    }
}

void OverlayEdgeMenu::leaveEvent(QEvent*) {
    m_hovered.reset();
    update();
}

void OverlayEdgeMenu::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (auto edge = edgeAt(toMenu(e->position())); edge && onSelect) onSelect(*edge);
}

void OverlayEdgeMenu::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape && onEscape) {
        onEscape();
        return;
    }
    QWidget::keyPressEvent(e);
}
