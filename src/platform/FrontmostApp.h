#pragma once

#include <QString>
#include <optional>

// The application that has the keyboard focus, named by the WM_CLASS of its
// window: the class part stands where the design uses a bundle identifier.
// Safe to call from any thread.
class FrontmostApp {
public:
    struct Identity {
        QString instanceName;  // first WM_CLASS string
        QString className;     // second WM_CLASS string
    };

    virtual ~FrontmostApp() = default;
    // Nothing when no window is active or it carries no WM_CLASS.
    virtual std::optional<Identity> identity() const = 0;

    // The class, or nothing when there is no frontmost application or it has
    // no class.
    std::optional<QString> bundleIdentifier() const {
        const std::optional<Identity> id = identity();
        if (!id || id->className.isEmpty()) return std::nullopt;
        return id->className;
    }

    static FrontmostApp& shared();
    static void setShared(FrontmostApp* app);
};
