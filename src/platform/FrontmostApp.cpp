#include "platform/FrontmostApp.h"

#include "platform/AppIdentity.h"

std::optional<QString> FrontmostApp::bundleIdentifier() const {
    const std::optional<Identity> id = identity();
    if (!id) return std::nullopt;
    return AppIdentity::identifier({id->pid, id->instanceName, id->className});
}
