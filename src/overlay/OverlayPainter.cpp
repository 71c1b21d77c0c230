#include "overlay/OverlayPainter.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

PillLook::Kind PillLook::kindFor(OverlayState state, bool vertical) {
    switch (state) {
        case OverlayState::idle:
            return Kind::idle;
        case OverlayState::recording:
            return Kind::recording;
        case OverlayState::processing:
            return Kind::processing;
        // No room for the label on a vertical edge: the plain spinner pill.
        case OverlayState::postProcessing:
            return vertical ? Kind::processing : Kind::postProcessing;
        case OverlayState::success:
            return Kind::success;
        case OverlayState::error:
            return Kind::error;
    }
    return Kind::idle;
}

namespace OverlayPainter {

const std::array<QLineF, 8>& spinnerLines() {
    static const std::array<QLineF, 8> lines{
        QLineF(10, 2, 10, 6),   QLineF(15.66, 4.34, 13.12, 6.88),
        QLineF(18, 10, 14, 10), QLineF(15.66, 15.66, 13.12, 13.12),
        QLineF(10, 18, 10, 14), QLineF(4.34, 15.66, 6.88, 13.12),
        QLineF(2, 10, 6, 10),   QLineF(4.34, 4.34, 6.88, 6.88),
    };
    return lines;
}

double spokeOpacity(int i, int active) {
    switch ((i - active + 8) % 8) {
        case 0:
            return 1.0;
        case 7:
            return 0.7;
        case 6:
            return 0.45;
        default:
            return 0.3;
    }
}

QFont labelFont() {
    QFont f = QFont();
    f.setPixelSize(11);
    return f;
}

namespace {
constexpr double kRadius = 15;
constexpr double kSpinner = 20;

QSizeF orient(QSizeF s, bool vertical) {
    return vertical ? s.transposed() : s;
}

double postProcessingWidth(const QString& text) {
    return 12 + QFontMetricsF(labelFont()).horizontalAdvance(text) + 8 + kSpinner + 12;
}

QSizeF pillSize(const PillLook& look) {
    using K = PillLook::Kind;
    switch (look.kind) {
        case K::idle:
            return orient({40, 8}, look.vertical);
        case K::recording:
        case K::success:
        case K::error:
            return orient({73, 30}, look.vertical);
        case K::processing:
            return orient({98, 30}, look.vertical);
        case K::postProcessing:
            return {postProcessingWidth(look.text), 30};
    }
    return {};
}

// The 1-point stroke inside the pill's outline.
void strokeOutline(QPainter& p, const QRectF& r, const QColor& color) {
    p.setPen(QPen(color, 1));
    p.setBrush(Qt::NoBrush);
    const double inset = 0.5;
    p.drawRoundedRect(r.adjusted(inset, inset, -inset, -inset), kRadius - inset, kRadius - inset);
}

QColor withOpacity(QColor c, double opacity) {
    c.setAlphaF(static_cast<float>(opacity));
    return c;
}

void paintDots(QPainter& p, QPointF start, bool vertical) {
    p.setPen(Qt::NoPen);
    p.setBrush(OverlayColors::dotGrey);
    for (int i = 0; i < 10; ++i) {
        const double offset = i * 4.0;
        const QPointF tl = vertical ? start + QPointF(-1, offset) : start + QPointF(offset, -1);
        p.drawRoundedRect(QRectF(tl, QSizeF(2, 2)), 0.5, 0.5);
    }
}

void paintGlyph(QPainter& p, QPointF c, bool check) {
    QPen pen(Qt::white, 1.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    if (check) {
        QPainterPath path;
        path.moveTo(c + QPointF(-3.0, 0.2));
        path.lineTo(c + QPointF(-0.9, 2.4));
        path.lineTo(c + QPointF(3.1, -2.3));
        p.drawPath(path);
    } else {
        const double d = 2.6;
        p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
        p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
    }
}
}  // namespace

void paintSpinner(QPainter& p, QPointF topLeft, int activeIndex) {
    const auto& lines = spinnerLines();
    for (int i = 0; i < 8; ++i) {
        QPen pen(withOpacity(OverlayColors::spinnerViolet, spokeOpacity(i, activeIndex)), 2);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(lines[i].translated(topLeft));
    }
}

namespace {
// One pass of a running box average over the alpha channel, along rows or
// columns; three passes come close to a Gaussian blur.
void boxBlurAlpha(QImage& img, int half, bool alongRows) {
    const int w = img.width(), h = img.height();
    const int lines = alongRows ? h : w, length = alongRows ? w : h;
    std::vector<int> alpha(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto at = [&](int i) -> QRgb* {
            return reinterpret_cast<QRgb*>(img.scanLine(alongRows ? line : i)) +
                   (alongRows ? i : line);
        };
        for (int i = 0; i < length; ++i) alpha[size_t(i)] = qAlpha(*at(i));
        int sum = 0;
        for (int i = -half; i <= half; ++i) sum += (i >= 0 && i < length) ? alpha[size_t(i)] : 0;
        for (int i = 0; i < length; ++i) {
            *at(i) = qRgba(0, 0, 0, sum / (2 * half + 1));
            const int out = i - half, in = i + half + 1;
            if (out >= 0) sum -= alpha[size_t(out)];
            if (in < length) sum += alpha[size_t(in)];
        }
    }
}
}  // namespace

void paintShadow(QPainter& p, const QRectF& r, double cornerRadius, double blur, QPointF offset,
                 double opacity) {
    const int margin = static_cast<int>(std::ceil(blur)) + 1;
    const QSize size(static_cast<int>(std::ceil(r.width())) + 2 * margin,
                     static_cast<int>(std::ceil(r.height())) + 2 * margin);
    // Premultiplied black: only the alpha channel carries the shape.
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter ip(&img);
        ip.setRenderHint(QPainter::Antialiasing);
        ip.setPen(Qt::NoPen);
        ip.setBrush(Qt::black);
        ip.drawRoundedRect(QRectF(margin, margin, r.width(), r.height()), cornerRadius,
                           cornerRadius);
    }
    const int half = std::max(1, static_cast<int>(std::lround(blur / 3)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurAlpha(img, half, true);
        boxBlurAlpha(img, half, false);
    }
    p.save();
    p.setOpacity(p.opacity() * opacity);
    p.drawImage(r.topLeft() + offset - QPointF(margin, margin), img);
    p.restore();
}

QRectF pillRect(const PillLook& look, const QRectF& area) {
    const QSizeF s = pillSize(look);
    return {area.center().x() - s.width() / 2, area.center().y() - s.height() / 2, s.width(),
            s.height()};
}

void paintPill(QPainter& p, const QRectF& area, const PillLook& look) {
    using K = PillLook::Kind;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QRectF r = pillRect(look, area);
    const bool v = look.vertical;
    if (look.kind == K::error)
        r.translate(v ? QPointF(0, look.shakeOffset) : QPointF(look.shakeOffset, 0));

    if (look.kind == K::idle) {
        p.setPen(Qt::NoPen);
        p.setBrush(OverlayColors::pillBlack);
        p.drawRoundedRect(r, 4, 4);
        p.restore();
        return;
    }

    if (look.shadow) paintShadow(p, r, kRadius, 8, QPointF(0, 2), 0.4);
    QPainterPath outline;
    outline.addRoundedRect(r, kRadius, kRadius);
    p.fillPath(outline, OverlayColors::pillBlack);
    p.setClipPath(outline);
    const QPointF c = r.center();

    switch (look.kind) {
        case K::recording: {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            const double total = 10 * 2 + 9 * 2;
            for (int i = 0; i < 10; ++i) {
                const double h = look.barHeights[i];
                const double along = -total / 2 + i * 4.0;
                const QRectF bar = v ? QRectF(c.x() - h / 2, c.y() + along, h, 2)
                                     : QRectF(c.x() + along, c.y() - h / 2, 2, h);
                p.drawRoundedRect(bar, 0.5, 0.5);
            }
            break;
        }
        case K::processing: {
            const double total = 38 + 6 + kSpinner;
            if (v) {
                paintDots(p, QPointF(c.x(), c.y() - total / 2), true);
                paintSpinner(p, QPointF(c.x() - kSpinner / 2, c.y() - total / 2 + 44),
                             look.spinnerIndex);
            } else {
                paintDots(p, QPointF(c.x() - total / 2, c.y()), false);
                paintSpinner(p, QPointF(c.x() - total / 2 + 44, c.y() - kSpinner / 2),
                             look.spinnerIndex);
            }
            break;
        }
        case K::postProcessing: {
            p.setFont(labelFont());
            p.setPen(OverlayColors::textGrey);
            const QFontMetricsF fm(labelFont());
            const double tw = fm.horizontalAdvance(look.text);
            p.drawText(QRectF(r.x() + 12, r.y(), tw + 1, r.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, look.text);
            paintSpinner(p, QPointF(r.x() + 12 + tw + 8, c.y() - kSpinner / 2), look.spinnerIndex);
            break;
        }
        case K::success:
        case K::error: {
            p.save();
            p.translate(c);
            if (look.kind == K::success) p.scale(look.successScale, look.successScale);
            p.setPen(Qt::NoPen);
            p.setBrush(look.kind == K::success ? OverlayColors::successGreen
                                               : OverlayColors::errorRed);
            p.drawEllipse(QPointF(0, 0), 7, 7);
            paintGlyph(p, QPointF(0, 0), look.kind == K::success);
            p.restore();
            break;
        }
        case K::idle:
            break;
    }

    const bool plainBorder = look.kind == K::success || look.kind == K::error || !look.sticky;
    strokeOutline(p, r,
                  plainBorder ? OverlayColors::borderGrey
                              : withOpacity(OverlayColors::stickyBlue, look.stickyBorderOpacity));
    p.restore();
}

}  // namespace OverlayPainter
