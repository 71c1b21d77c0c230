#include "ui/Card.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/Colors.h"

Card::Card(QWidget* parent) : QFrame(parent) {
    setContentsMargins(16, 16, 16, 16);
    setAttribute(Qt::WA_StyledBackground, false);
}

void Card::setRadius(double radius) {
    m_radius = radius;
    update();
}

void Card::setFill(const QColor& color) {
    m_fill = color;
    update();
}

void Card::setBorder(const QColor& color, double width) {
    m_border = color;
    m_borderWidth = width;
    update();
}

QColor Card::fill() const { return m_fill.value_or(Colors::controlBackground(palette())); }

void Card::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double inset = m_borderWidth / 2;
    const QRectF r = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    QPainterPath path;
    path.addRoundedRect(r, m_radius, m_radius);
    p.fillPath(path, fill());
    if (m_borderWidth > 0) {
        p.setPen(QPen(m_border, m_borderWidth));
        p.drawPath(path);
    }
}
