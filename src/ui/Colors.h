#pragma once

#include <QColor>
#include <QPalette>

// The design's colours. Named system colours come from the palette so that
// a dark theme stays readable; the design's fixed colours are RGB.
namespace Colors {
// Secondary text and symbols.
QColor secondary(const QPalette& palette);
// The accent (selection, focus, the chosen item of a control).
QColor accent(const QPalette& palette);
// Dividers and hairline borders.
QColor separator(const QPalette& palette);
// The background of controls and cards that sit on the window background.
QColor controlBackground(const QPalette& palette);
// The window background itself.
QColor windowBackground(const QPalette& palette);

// Fixed colours of the design (sRGB, opaque).
QColor blue();
QColor red();
QColor orange();
QColor green();
QColor violet();
QColor grey();

// color with its alpha multiplied by opacity (0..1).
QColor withOpacity(QColor color, double opacity);
// Whether the palette is a dark one (light text on a dark window).
bool isDark(const QPalette& palette);
}  // namespace Colors
