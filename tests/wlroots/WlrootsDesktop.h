#pragma once

// The headless sway of scripts/with-wayland-env as a test sees it: Wayland
// text fields of other processes, the user's keyboard, and sway's own view
// of its windows.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "support/TestSupport.h"
#include "support/WaylandField.h"

namespace wlroots {

inline bool onSway() {
    return qEnvironmentVariable("ORMIL_WAYLAND_DESKTOP") == QLatin1String("sway");
}

// Keys as the user presses them (Linux key codes, see ormil-virtual-keys).
inline bool pressKeys(const QStringList& specs) {
    int rc = -1;
    testsupport::runProgram(ORMIL_VIRTUAL_KEYS, specs, &rc);
    return rc == 0;
}

// Runs swaymsg; its JSON answer.
inline QJsonDocument swaymsg(const QStringList& args) {
    return QJsonDocument::fromJson(testsupport::runProgram(QStringLiteral("swaymsg"), args));
}

// The nodes of sway's tree, depth first (floating ones included).
inline void forEachNode(const QJsonObject& node, const std::function<void(const QJsonObject&)>& f) {
    f(node);
    for (const char* key : {"nodes", "floating_nodes"})
        for (const QJsonValue& child : node.value(QLatin1String(key)).toArray())
            forEachNode(child.toObject(), f);
}

// The app id (or X11 class) of the node sway has focused; empty when none.
inline QString focusedApp() {
    QString found;
    forEachNode(swaymsg({"-t", "get_tree"}).object(), [&](const QJsonObject& n) {
        if (!n.value("focused").toBool()) return;
        found = n.value("app_id").toString();
        if (found.isEmpty())
            found = n.value("window_properties").toObject().value("class").toString();
    });
    return found;
}

// Whether sway manages a window of this title, app id or X11 class.
inline bool manages(const QString& app) {
    bool found = false;
    forEachNode(swaymsg({"-t", "get_tree"}).object(), [&](const QJsonObject& n) {
        if (n.value("name").toString() == app || n.value("app_id").toString() == app ||
            n.value("window_properties").toObject().value("class").toString() == app)
            found = true;
    });
    return found;
}

// Whether sway manages a window of exactly this title.
inline bool managesTitled(const QString& title) {
    bool found = false;
    forEachNode(swaymsg({"-t", "get_tree"}).object(), [&](const QJsonObject& n) {
        if (n.value("type").toString() == QLatin1String("con") &&
            n.value("name").toString() == title)
            found = true;
    });
    return found;
}

// The text field peer as a Wayland client.
using Field = ::WaylandField;

}  // namespace wlroots
