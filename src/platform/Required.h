#pragma once

#include <stdexcept>
#include <string>

// A service's collaborators are all given by whoever makes it (the
// application's wiring, or a test's fakes): one left out is a mistake caught
// at construction, never a silent fall back to the real facility.
template <typename T>
void requireCollaborator(const T& collaborator, const char* service, const char* name) {
    if (!collaborator) throw std::invalid_argument(std::string(service) + " needs " + name);
}

// requireCollaborators("Service", "clock", m_c.clock, "settings", m_c.settings, ...)
template <typename T, typename... Rest>
void requireCollaborators(const char* service, const char* name, const T& collaborator,
                          const Rest&... rest) {
    requireCollaborator(collaborator, service, name);
    if constexpr (sizeof...(rest) > 0) requireCollaborators(service, rest...);
}
