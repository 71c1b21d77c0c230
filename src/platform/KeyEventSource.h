#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/KeyCodes.h"

// The kinds of event a key event tap delivers, with their numeric values.
enum class KeyEventType : quint32 {
    keyDown = 10,
    keyUp = 11,
    flagsChanged = 12,
    tapDisabledByTimeout = 0xFFFFFFFE,
    tapDisabledByUserInput = 0xFFFFFFFF,
};

// One key event in the application's code space. A modifier key's press and
// release are flag changes; `keyIsDown` tells which, because the left and right
// keys of a pair share one flag bit and the bits alone cannot.
struct KeyEvent {
    KeyEventType type = KeyEventType::keyDown;
    qint64 keyCode = 0;
    quint64 flags = 0;  // the KeyFlags bits of the modifier keys held now
    bool keyIsDown = false;
    bool isAutorepeat = false;
    // What a key down types on the current layout with the modifiers held
    // ("ф" for the A key under a Russian layout); empty for keys that type
    // nothing and for every other kind of event.
    QString text;
};

// Turns presses and releases of keys (in the application's code space) into
// key events, keeping which keys are held so that the flags and the repeats
// come out right.
class KeyStateTracker {
public:
    // The event of a press; none for a modifier key that is already held
    // (modifiers do not repeat).
    std::optional<KeyEvent> press(qint64 code);
    KeyEvent release(qint64 code);
    quint64 flags() const;
    bool isDown(qint64 code) const;
    void reset() { m_down.clear(); }

private:
    std::map<qint64, int> m_down;  // code -> number of physical keys holding it
};

// The listen-only key event tap: every key press and release of the session,
// delivered on the main thread, taking nothing away from the focused
// application.
class KeyEventSource {
public:
    using Callback = std::function<void(const KeyEvent&)>;
    virtual ~KeyEventSource() = default;

    // Creates the tap; false when it cannot be made now (no display, no
    // listen access). A running tap is stopped first.
    virtual bool start(Callback callback) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
    // Enables a tap again after the system disabled it.
    virtual void enable() {}

    // The process-wide tap: the X display's, unless start-up installed
    // another one for the session (before the first use).
    static KeyEventSource& shared();
    static void setShared(KeyEventSource* source);
    // A further tap of its own on the same display connection: starting and
    // stopping it leaves the shared one alone.
    static std::unique_ptr<KeyEventSource> makeTap();
};
