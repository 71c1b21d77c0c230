#include "ui/Icons.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include "ui/Colors.h"

static void ensureIconResources() {
    // The symbols live in this static library's resource; without an
    // explicit reference the linker would drop it.
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace {

QString pathFor(const QString& name) { return QStringLiteral(":/ormil/icons/%1.svg").arg(name); }

QImage render(const QString& name, int px, const QColor& color) {
    QSvgRenderer renderer(pathFor(name));
    if (!renderer.isValid()) return {};
    QImage mask(px, px, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
    }
    // Alpha from how dark the mark is: black strokes keep full cover, white
    // knock-outs cut through the shape beneath them.
    QImage out(px, px, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    for (int y = 0; y < px; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < px; ++x) {
            const int a = qAlpha(src[x]);
            if (a == 0) continue;
            const double lightness = qGray(src[x]) / 255.0;
            const double cover = a / 255.0 * (1.0 - lightness) * color.alphaF();
            dst[x] = qPremultiply(qRgba(color.red(), color.green(), color.blue(),
                                        int(cover * 255.0 + 0.5)));
        }
    }
    return out;
}

}  // namespace

bool Icons::has(const QString& name) {
    ensureIconResources();
    return QFile::exists(pathFor(name));
}

QStringList Icons::names() {
    ensureIconResources();
    QStringList result;
    for (const QString& file : QDir(QStringLiteral(":/ormil/icons")).entryList({"*.svg"}))
        result << file.chopped(4);
    return result;
}

QPixmap Icons::pixmap(const QString& name, int sizePx, const QColor& color, qreal dpr) {
    ensureIconResources();
    if (sizePx <= 0 || !has(name)) return {};
    static QHash<QString, QPixmap> cache;
    const QString key = QStringLiteral("%1|%2|%3|%4").arg(name).arg(sizePx).arg(
        color.name(QColor::HexArgb)).arg(dpr);
    if (auto it = cache.constFind(key); it != cache.constEnd()) return *it;
    const int px = qMax(1, qRound(sizePx * dpr));
    QPixmap pm = QPixmap::fromImage(render(name, px, color));
    pm.setDevicePixelRatio(dpr);
    cache.insert(key, pm);
    return pm;
}

QIcon Icons::icon(const QString& name, const QColor& color) {
    if (!has(name)) return {};
    QIcon icon;
    for (int size : {16, 20, 24, 32, 48, 64}) {
        icon.addPixmap(pixmap(name, size, color), QIcon::Normal);
        icon.addPixmap(pixmap(name, size, Colors::withOpacity(color, 0.4)), QIcon::Disabled);
    }
    return icon;
}
