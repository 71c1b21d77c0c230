#pragma once

#include <memory>

#include "platform/WindowWatcher.h"

// Property changes of the root window of $DISPLAY, on a connection of its
// own read through a socket notifier.
class X11WindowWatcher : public WindowWatcher {
    Q_OBJECT
public:
    explicit X11WindowWatcher(QObject* parent = nullptr);
    ~X11WindowWatcher() override;
    bool start() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
    void drain();
};
