#pragma once

#include <QPointF>
#include <functional>

// Sees mouse-button presses anywhere on the screen without taking them from
// the window they are meant for. The callback gets the pointer position in
// global window-system coordinates, on the main thread.
class OutsideClickMonitor {
public:
    virtual ~OutsideClickMonitor() = default;
    // False when presses cannot be watched (no X server, no XInput2).
    virtual bool start(std::function<void(QPointF)> onPress) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};
