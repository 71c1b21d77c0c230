#include "app/MenuBarIcon.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

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
    const QFontMetricsF metrics(font);
    const qreal height = metrics.height();
    const QRectF textRect(0, (18 - height) / 2 - 0.5, 18, height);
    // The two glyphs placed by hand, centred in the rectangle on its first
    // line, as a text layout would place them: laying text out loads the
    // shaping library (about 1 MB resident for the life of the process),
    // which "Z7" does not need.
    const QRawFont raw = QRawFont::fromFont(font);
    const QList<quint32> glyphs = raw.glyphIndexesForString(QStringLiteral("Z7"));
    QList<QPointF> positions;
    qreal width = 0;
    for (const QPointF& advance : raw.advancesForGlyphIndexes(glyphs, QRawFont::KernedAdvances)) {
        positions.append(QPointF(width, 0));
        width += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    p.drawGlyphRun(QPointF((18 - width) / 2, textRect.top() + metrics.ascent()), run);
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
