#include "app/MenuBarIcon.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QColor MenuBarIcon::gradientTop() {
    return QColor(99, 102, 241);
}

QColor MenuBarIcon::gradientBottom() {
    return QColor(168, 85, 247);
}

QImage MenuBarIcon::render() {
    QImage image(36, 36, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF square(0.5, 0.5, 17, 17);
    QLinearGradient gradient(square.topLeft(), square.bottomLeft());
    gradient.setColorAt(0, gradientTop());
    gradient.setColorAt(1, gradientBottom());
    QPainterPath path;
    path.addRoundedRect(square, 4.5, 4.5);
    p.fillPath(path, gradient);

    QFont font;
    font.setPixelSize(9);
    font.setWeight(QFont::ExtraBold);
    p.setFont(font);
    p.setPen(Qt::white);
    const qreal height = QFontMetricsF(font).height();
    const QRectF textRect(0, (18 - height) / 2 - 0.5, 18, height);
    p.drawText(textRect, Qt::AlignCenter, QStringLiteral("Z7"));
    p.end();
    return image;
}

QIcon MenuBarIcon::make() {
    // Never destroyed: a pixmap must not outlive the application object.
    static QIcon* cached = nullptr;
    if (cached) return *cached;
    const QImage image = render();
    if (image.isNull()) {
        // Not kept: the next call tries to draw again.
        return QIcon::fromTheme(QStringLiteral("audio-input-microphone"));
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(image));
    cached = new QIcon(icon);
    return icon;
}
