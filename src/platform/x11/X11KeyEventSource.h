#pragma once

#include <memory>

#include "platform/KeyEventSource.h"

// XInput2 raw key events on the root window of $DISPLAY, read through a
// socket notifier on the main thread.
class X11KeyEventSource : public KeyEventSource {
public:
    X11KeyEventSource();
    ~X11KeyEventSource() override;
    bool start(Callback callback) override;
    void stop() override;
    bool isRunning() const override;

    // The code an X key code stands for on the current keyboard map (tests).
    std::optional<qint64> codeForXKeycode(int xkeycode) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
