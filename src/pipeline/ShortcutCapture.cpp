#include "pipeline/ShortcutCapture.h"

#include "platform/KeyCodes.h"
#include "platform/Threading.h"

namespace {

// The modifier keys that capture takes as a lone shortcut (not Caps Lock).
bool isCapturableModifier(qint64 code) {
    return KeyCodes::isModifierKey(code) && code != KeyCodes::capsLock;
}

}  // namespace

ShortcutCapture::ShortcutCapture(Clock& clock, QObject* context, Captured captured)
    : m_clock(clock), m_context(context), m_captured(std::move(captured)) {}

ShortcutCapture::~ShortcutCapture() {
    if (m_pendingModifierTimer) m_pendingModifierTimer->cancel();
}

void ShortcutCapture::cancelPendingModifier() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_pendingModifierTimer) m_pendingModifierTimer->cancel();
    m_pendingModifierTimer.reset();
    m_pendingModifierKeyCode.reset();
}

void ShortcutCapture::handleEvent(const KeyEvent& event) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (event.type == KeyEventType::keyDown) {
        cancelPendingModifier();
        const qint64 code = event.keyCode;
        const quint64 modifiers = event.flags & KeyFlags::mask;
        // Every key is capturable, Escape included: a shortcut may be any key.
        runOnMain(m_context, [this, code, modifiers] { m_captured(code, false, modifiers); });
        return;
    }
    if (event.type != KeyEventType::flagsChanged || !isCapturableModifier(event.keyCode)) return;
    const qint64 code = event.keyCode;
    // The key's own press or release, not the flag bit it shares with its
    // twin on the other side.
    if (event.keyIsDown) {
        m_pendingModifierKeyCode = code;
        if (m_pendingModifierTimer) m_pendingModifierTimer->cancel();
        m_pendingModifierTimer = m_clock.schedule(comboWaitDuration, m_context, [this] {
            m_pendingModifierTimer.reset();
            if (!m_pendingModifierKeyCode) return;
            const qint64 pending = *m_pendingModifierKeyCode;
            m_pendingModifierKeyCode.reset();
            runOnMain(m_context, [this, pending] { m_captured(pending, true, 0); });
        });
    } else if (m_pendingModifierKeyCode == code) {
        cancelPendingModifier();
        runOnMain(m_context, [this, code] { m_captured(code, true, 0); });
    }
}
