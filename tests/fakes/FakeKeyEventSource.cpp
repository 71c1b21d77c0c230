#include "fakes/FakeKeyEventSource.h"

bool FakeKeyEventSource::start(Callback callback) {
    ++starts;
    m_running = available;
    m_callback = m_running ? std::move(callback) : Callback{};
    return m_running;
}

void FakeKeyEventSource::stop() {
    ++stops;
    m_running = false;
    m_callback = {};
}

void FakeKeyEventSource::press(qint64 code) {
    if (auto e = m_keys.press(code)) send(*e);
}

void FakeKeyEventSource::release(qint64 code) {
    send(m_keys.release(code));
}

void FakeKeyEventSource::send(const KeyEvent& event) {
    if (!m_running || !m_callback) return;
    // The receiver may recreate the tap from inside the call.
    Callback callback = m_callback;
    callback(event);
}
