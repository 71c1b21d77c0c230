#include "ui/SegmentedControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/Colors.h"

namespace {
constexpr int kPadH = 12;
constexpr int kPadV = 4;
constexpr int kInset = 2;
}  // namespace

SegmentedControl::SegmentedControl(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

SegmentedControl::SegmentedControl(const QStringList& titles, QWidget* parent)
    : SegmentedControl(parent) {
    setTitles(titles);
}

void SegmentedControl::setTitles(const QStringList& titles) {
    if (titles == m_titles) return;
    m_titles = titles;
    if (m_current >= count()) m_current = count() - 1;
    if (m_current < 0 && count() > 0) m_current = 0;
    updateGeometry();
    update();
}

void SegmentedControl::setCurrentIndex(int index) {
    // -1 marks no segment (a stored value no segment stands for).
    if (index < -1 || index >= count() || index == m_current) return;
    m_current = index;
    update();
    emit currentIndexChanged(index);
}

QSize SegmentedControl::sizeHint() const {
    const QFontMetrics fm(font());
    int widest = 0;
    for (const QString& t : m_titles) widest = qMax(widest, fm.horizontalAdvance(t));
    const int w = count() * (widest + 2 * kPadH) + 2 * kInset;
    return {qMax(w, 40), fm.height() + 2 * kPadV + 2 * kInset};
}

QSize SegmentedControl::minimumSizeHint() const {
    const QFontMetrics fm(font());
    return {count() * 24, fm.height() + 2 * kPadV + 2 * kInset};
}

QRectF SegmentedControl::segmentRect(int index) const {
    const QRectF inner = QRectF(rect()).adjusted(kInset, kInset, -kInset, -kInset);
    const double w = count() > 0 ? inner.width() / count() : inner.width();
    return {inner.left() + index * w, inner.top(), w, inner.height()};
}

int SegmentedControl::indexAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (segmentRect(i).contains(pos)) return i;
    return -1;
}

void SegmentedControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    QPainterPath track;
    track.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    p.fillPath(track, Colors::withOpacity(pal.color(QPalette::WindowText), 0.08));
    for (int i = 0; i < count(); ++i) {
        const QRectF r = segmentRect(i);
        if (i == m_current) {
            QPainterPath seg;
            seg.addRoundedRect(r, 5, 5);
            p.fillPath(seg, pal.color(QPalette::Base));
            p.setPen(QPen(Colors::separator(pal), 0.8));
            p.drawPath(seg);
        } else if (i > 0 && i - 1 != m_current) {
            p.setPen(QPen(Colors::separator(pal), 1));
            p.drawLine(QPointF(r.left(), r.top() + 5), QPointF(r.left(), r.bottom() - 5));
        }
        p.setPen(isEnabled() ? pal.color(QPalette::WindowText) : Colors::secondary(pal));
        p.drawText(r, Qt::AlignCenter,
                   QFontMetrics(font()).elidedText(m_titles[i], Qt::ElideRight, int(r.width()) - 4));
    }
    if (hasFocus()) {
        p.setPen(QPen(Colors::withOpacity(Colors::accent(pal), 0.6), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(track);
    }
}

void SegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int i = indexAt(event->position().toPoint());
    if (i >= 0) setCurrentIndex(i);
}

void SegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Left && m_current > 0) return setCurrentIndex(m_current - 1);
    if (event->key() == Qt::Key_Right && m_current + 1 < count())
        return setCurrentIndex(m_current + 1);
    QWidget::keyPressEvent(event);
}
