#include "platform/KeyEventSource.h"

#include "platform/x11/X11KeyEventSource.h"

std::optional<KeyEvent> KeyStateTracker::press(qint64 code) {
    const bool wasDown = isDown(code);
    if (wasDown && KeyCodes::isModifierKey(code)) return std::nullopt;
    ++m_down[code];
    KeyEvent e;
    e.keyCode = code;
    e.keyIsDown = true;
    e.flags = flags();
    if (KeyCodes::isModifierKey(code)) {
        e.type = KeyEventType::flagsChanged;
    } else {
        e.type = KeyEventType::keyDown;
        e.isAutorepeat = wasDown;
        // A repeat is one key still held, not a second one.
        if (wasDown) --m_down[code];
    }
    return e;
}

KeyEvent KeyStateTracker::release(qint64 code) {
    auto it = m_down.find(code);
    if (it != m_down.end() && --it->second <= 0) m_down.erase(it);
    KeyEvent e;
    e.type = KeyCodes::isModifierKey(code) ? KeyEventType::flagsChanged : KeyEventType::keyUp;
    e.keyCode = code;
    e.keyIsDown = isDown(code);
    e.flags = flags();
    return e;
}

quint64 KeyStateTracker::flags() const {
    quint64 f = 0;
    for (const auto& [code, count] : m_down)
        if (count > 0) f |= KeyCodes::modifierFlag(code);
    return f;
}

bool KeyStateTracker::isDown(qint64 code) const {
    auto it = m_down.find(code);
    return it != m_down.end() && it->second > 0;
}

namespace {
KeyEventSource* g_shared = nullptr;
}

KeyEventSource& KeyEventSource::shared() {
    if (g_shared) return *g_shared;
    static X11KeyEventSource source;
    return source;
}

void KeyEventSource::setShared(KeyEventSource* source) {
    g_shared = source;
}

std::unique_ptr<KeyEventSource> KeyEventSource::makeTap() {
    return std::make_unique<X11KeyEventSource>();
}
