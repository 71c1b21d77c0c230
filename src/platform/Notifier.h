#pragma once

#include <QString>
#include <vector>

// Desktop notifications (the system notices of hints and warnings). The
// Linux implementation speaks org.freedesktop.Notifications over D-Bus; a
// missing notification daemon is logged and ignored.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void notify(const QString& title, const QString& body) = 0;

    static Notifier& shared();
    static void setShared(Notifier* notifier);
};
