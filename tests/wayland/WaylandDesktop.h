#pragma once

// The headless desktop of scripts/with-wayland-env as a test sees it: a
// Wayland-native text field of another process, and the user's keyboard.
#include <QString>
#include <QStringList>

#include "support/TestSupport.h"
#include "support/WaylandField.h"

namespace wltest {

using ::WaylandField;

inline QString desktop() {
    return qEnvironmentVariable("ORMIL_WAYLAND_DESKTOP");
}

// Keys as the user presses them (Linux key codes; see the drivers).
inline bool pressKeys(const QStringList& specs) {
    int rc = -1;
    if (desktop() == "kde")
        testsupport::runProgram(ORMIL_KWIN_FAKE_KEYS, specs, &rc);
    else
        testsupport::runProgram(ORMIL_MUTTER_KEYS, specs, &rc);
    return rc == 0;
}


}  // namespace wltest
