#include "ui/Badge.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/Colors.h"

Badge::Badge(const QString& text, QWidget* parent) : QLabel(text, parent), m_tint(Colors::blue()) {
    setPadding(12, 6);
    setAlignment(Qt::AlignCenter);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void Badge::setTint(const QColor& color, double opacity) {
    m_tint = color;
    m_opacity = opacity;
    update();
}

void Badge::setPadding(int horizontal, int vertical) {
    setContentsMargins(horizontal, vertical, horizontal, vertical);
}

void Badge::setRadius(double radius) {
    m_radius = radius;
    update();
}

void Badge::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        p.fillPath(path, Colors::withOpacity(m_tint, m_opacity));
    }
    QLabel::paintEvent(event);
}
