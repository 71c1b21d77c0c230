#pragma once

#include <QObject>
#include <QString>

// A desktop that tells which window has the keyboard focus, and when that
// changes (KWin, to a script of ours). Main thread only.
class FocusedWindowSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // A key of the focused window, the same for as long as the window lives;
    // empty when no window has the focus or the desktop did not say.
    virtual QString focusedWindowKey() const = 0;

Q_SIGNALS:
    void focusedWindowChanged();
};
