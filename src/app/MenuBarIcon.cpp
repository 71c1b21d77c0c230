#include "app/MenuBarIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <iterator>

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
    const QRectF square(0.5, 0.5, 17, 17);
    QLinearGradient gradient(square.topLeft(), square.bottomLeft());
    gradient.setColorAt(0, gradientTop());
    gradient.setColorAt(1, gradientBottom());
    QPainterPath path;
    path.addRoundedRect(square, 4.5, 4.5);
    p.fillPath(path, gradient);

    // The letters are outlines of their own rather than text: text needs the
    // font database (fontconfig, FreeType and the font file, about 1.7 MB
    // resident for the life of the process, and their set-up before the icon
    // can dock), which an idle tray app otherwise never opens. Points on the
    // 18-point square; strokes a little over one point thick.
    static constexpr QPointF kZ[] = {{3.0, 5.0},  {8.6, 5.0},  {8.6, 6.1},  {4.7, 10.4},
                                     {8.7, 10.4}, {8.7, 11.5}, {3.0, 11.5}, {3.0, 10.4},
                                     {6.9, 6.1},  {3.0, 6.1}};
    static constexpr QPointF kSeven[] = {{9.7, 5.0},   {14.6, 5.0}, {14.6, 6.1}, {12.1, 11.5},
                                         {10.6, 11.5}, {13.1, 6.1}, {9.7, 6.1}};
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(kZ, int(std::size(kZ)));
    p.drawPolygon(kSeven, int(std::size(kSeven)));
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
