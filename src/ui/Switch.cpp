#include "ui/Switch.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/Colors.h"

namespace {
constexpr double kTrackW = 32;
constexpr double kTrackH = 18;
constexpr int kGap = 10;
}  // namespace

Switch::Switch(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

Switch::Switch(const QString& text, QWidget* parent) : Switch(parent) { setText(text); }

QSize Switch::sizeHint() const {
    const QFontMetrics fm(font());
    const int textW = text().isEmpty() ? 0 : fm.horizontalAdvance(text()) + kGap;
    return {textW + int(kTrackW) + 2, qMax(int(kTrackH) + 4, fm.height() + 4)};
}

QRectF Switch::trackRect() const {
    return {width() - kTrackW - 1, (height() - kTrackH) / 2, kTrackW, kTrackH};
}

bool Switch::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void Switch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    if (!text().isEmpty()) {
        p.setPen(isEnabled() ? pal.color(QPalette::WindowText) : Colors::secondary(pal));
        const QRect textRect(0, 0, int(trackRect().left()) - kGap, height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
                   fontMetrics().elidedText(text(), Qt::ElideRight, textRect.width()));
    }
    const QRectF track = trackRect();
    QPainterPath path;
    path.addRoundedRect(track, kTrackH / 2, kTrackH / 2);
    QColor fill = isChecked() ? Colors::accent(pal)
                              : Colors::withOpacity(pal.color(QPalette::WindowText), 0.18);
    if (!isEnabled()) fill = Colors::withOpacity(fill, 0.5);
    p.fillPath(path, fill);
    const double d = kTrackH - 4;
    const double x = isChecked() ? track.right() - 2 - d : track.left() + 2;
    p.setPen(QPen(Colors::withOpacity(Qt::black, 0.15), 0.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(x, track.top() + 2, d, d));
    if (hasFocus()) {
        p.setPen(QPen(Colors::withOpacity(Colors::accent(pal), 0.6), 2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
}
