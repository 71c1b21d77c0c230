#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The application's symbols, keyed by the design's symbol names
// ("house", "xmark.circle.fill", ...). Our own monochrome SVGs, tinted when
// drawn: black marks take the colour, white marks inside filled shapes
// become holes, so a symbol reads on any background.
namespace Icons {
bool has(const QString& name);
QStringList names();
// The symbol at sizePx logical pixels in color (device pixel ratio dpr).
// An unknown name gives a null pixmap.
QPixmap pixmap(const QString& name, int sizePx, const QColor& color, qreal dpr = 1.0);
// An icon with normal and disabled modes in color (disabled at 40 %).
QIcon icon(const QString& name, const QColor& color);
}  // namespace Icons
