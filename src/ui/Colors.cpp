#include "ui/Colors.h"

QColor Colors::secondary(const QPalette& palette) {
    return withOpacity(palette.color(QPalette::WindowText), 0.55);
}

QColor Colors::accent(const QPalette& palette) { return palette.color(QPalette::Highlight); }

QColor Colors::separator(const QPalette& palette) {
    return withOpacity(palette.color(QPalette::WindowText), 0.15);
}

QColor Colors::controlBackground(const QPalette& palette) {
    return palette.color(QPalette::Base);
}

QColor Colors::windowBackground(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

QColor Colors::blue() { return QColor(0, 122, 255); }
QColor Colors::red() { return QColor(255, 59, 48); }
QColor Colors::orange() { return QColor(255, 149, 0); }
QColor Colors::green() { return QColor(52, 199, 89); }
QColor Colors::violet() { return QColor(139, 92, 246); }
QColor Colors::grey() { return QColor(142, 142, 147); }

QColor Colors::withOpacity(QColor color, double opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

bool Colors::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}
