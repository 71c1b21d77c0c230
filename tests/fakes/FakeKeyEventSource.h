#pragma once

#include "platform/KeyEventSource.h"

// A tap driven by the test: press()/release() go through the same tracker as
// the X source does.
class FakeKeyEventSource : public KeyEventSource {
public:
    bool start(Callback callback) override;
    void stop() override;
    bool isRunning() const override { return m_running; }
    void enable() override { ++enables; }

    void press(qint64 code);
    void release(qint64 code);
    void send(const KeyEvent& event);

    bool available = true;  // whether start() succeeds
    int starts = 0;
    int stops = 0;
    int enables = 0;

private:
    Callback m_callback;
    KeyStateTracker m_keys;
    bool m_running = false;
};
