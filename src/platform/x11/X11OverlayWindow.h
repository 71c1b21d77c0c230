#pragma once

#include <QPointF>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/OutsideClickMonitor.h"

// Window-system details of the overlay's non-activating panels.
namespace OverlayWindowSystem {
// Frameless, always on top, a tool window that never takes focus and is shown
// without activating the application.
void makeNonActivating(QWidget* w);
// Makes the windows made non-activating from now on override-redirect: the
// window manager neither places nor focuses them. For XWayland under a
// wlroots compositor, which tiles and focuses every managed window.
void setBypassWindowManager(bool bypass);
// True when a compositing manager runs on the X screen (per-pixel alpha
// works); false elsewhere or off X11.
bool compositingActive();
// Asks the window manager to show the window on every workspace.
void showOnAllWorkspaces(QWidget* w);
}  // namespace OverlayWindowSystem

// XInput2 raw button presses on the root window through a connection of its
// own: listen-only, so every click still reaches its window.
class X11RawButtonMonitor : public OutsideClickMonitor {
public:
    X11RawButtonMonitor();
    ~X11RawButtonMonitor() override;
    bool start(std::function<void(QPointF)> onPress) override;
    void stop() override;
    bool isRunning() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
