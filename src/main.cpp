#include <QApplication>

#include "app/AppServices.h"
#include "platform/Allocator.h"
#include "platform/SessionBackends.h"

int main(int argc, char** argv) {
    tuneAllocatorForInteractiveUse();
    // On a Wayland session the windows stay X11 clients of XWayland.
    prepareQtPlatformForSession();
    QApplication app(argc, argv);
    return AppServices::run(app);
}
