#pragma once

#include "platform/FrontmostApp.h"

// Reads _NET_ACTIVE_WINDOW (or, without a window manager, the input focus)
// and the WM_CLASS of that window or its nearest ancestor that has one.
class X11FrontmostApp : public FrontmostApp {
public:
    X11FrontmostApp();
    ~X11FrontmostApp() override;
    std::optional<Identity> identity() const override;
    quint64 focusedWindow() const override;
    bool refocus(quint64 window) override;

private:
    struct Private;
    Private* d;
};
