#pragma once

#include <QtGlobal>
#include <functional>
#include <optional>

#include "platform/Clock.h"
#include "platform/KeyEventSource.h"

class QObject;

// Shortcut capture: turns the next key press of the session into a new
// shortcut. A regular key (with the modifiers held) is taken at once; a lone
// modifier is taken when it is released, or when no other key joins it
// within `comboWaitDuration`. Main thread only.
class ShortcutCapture {
public:
    static constexpr double comboWaitDuration = 0.3;

    // Called on the main thread with the captured shortcut.
    using Captured = std::function<void(qint64 keyCode, bool isModifierOnly, quint64 modifiers)>;

    // `context` guards the calls that reach the main thread later.
    ShortcutCapture(Clock& clock, QObject* context, Captured captured);
    ~ShortcutCapture();
    ShortcutCapture(const ShortcutCapture&) = delete;
    ShortcutCapture& operator=(const ShortcutCapture&) = delete;

    // One event of the tap while capture is on.
    void handleEvent(const KeyEvent& event);
    // Forgets a modifier that is waiting for a second key.
    void cancelPendingModifier();

private:
    Clock& m_clock;
    QObject* m_context;
    Captured m_captured;
    std::optional<qint64> m_pendingModifierKeyCode;
    ClockTimerPtr m_pendingModifierTimer;
};
