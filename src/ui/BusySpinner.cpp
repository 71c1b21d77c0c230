#include "ui/BusySpinner.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/Colors.h"

BusySpinner::BusySpinner(int sizePx, QWidget* parent) : QWidget(parent), m_size(sizePx) {
    setFixedSize(sizePx, sizePx);
    m_timer.setInterval(100);
    connect(&m_timer, &QTimer::timeout, this, &BusySpinner::advance);
}

void BusySpinner::setRunning(bool running) {
    m_running = running;
    syncTimer();
    update();
}

void BusySpinner::setColor(const QColor& color) {
    m_color = color;
    update();
}

void BusySpinner::advance() {
    m_active = (m_active + 1) % 8;
    update();
}

void BusySpinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    syncTimer();
}

void BusySpinner::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    syncTimer();
}

void BusySpinner::syncTimer() {
    if (m_running && isVisible())
        m_timer.start();
    else
        m_timer.stop();
}

void BusySpinner::paintEvent(QPaintEvent*) {
    if (!m_running) return;
    QPainter p(this);
    paintSpokes(p, QRectF(0, 0, width(), height()), m_active,
                m_color.value_or(palette().color(QPalette::WindowText)));
}

void BusySpinner::paintSpokes(QPainter& p, const QRectF& rect, int active, const QColor& base) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double size = std::min(rect.width(), rect.height());
    const QPointF c = rect.center();
    const double outer = size / 2.0 - 1.5;
    const double inner = outer * 0.45;
    for (int i = 0; i < 8; ++i) {
        const int d = (i - active + 8) % 8;
        const double opacity = d == 0 ? 1.0 : d == 7 ? 0.7 : d == 6 ? 0.45 : 0.3;
        const double a = M_PI / 2 - i * M_PI / 4;  // clockwise from the top
        const QPointF dir(std::cos(a), -std::sin(a));
        p.setPen(QPen(Colors::withOpacity(base, opacity), qMax(1.5, size / 10.0), Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(c + dir * inner, c + dir * outer);
    }
    p.restore();
}
