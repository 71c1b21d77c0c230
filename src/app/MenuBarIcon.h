#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

// The tray icon: "Z7" in white on a rounded square with an indigo-to-violet
// gradient, drawn once at two pixels per point and kept.
class MenuBarIcon {
public:
    static QColor gradientTop();
    static QColor gradientBottom();
    // The painted icon; a themed microphone icon when it cannot be drawn.
    static QIcon make();
    // The 36 x 36 pixel drawing (null when it cannot be made).
    static QImage render();
};
