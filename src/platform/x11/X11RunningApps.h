#pragma once

#include "platform/RunningApps.h"

// The client windows of $DISPLAY, on a connection of its own opened on
// first use.
class X11RunningApps : public RunningApps {
public:
    X11RunningApps();
    ~X11RunningApps() override;
    QList<RunningApp> applications() const override;

private:
    struct Private;
    Private* d;
};
