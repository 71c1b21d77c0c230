#include "platform/pulse/PulseServer.h"

namespace {

class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : m_loop(loop) {
        pa_threaded_mainloop_lock(m_loop);
    }
    ~LoopLock() { pa_threaded_mainloop_unlock(m_loop); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* m_loop;
};

void onOperationState(pa_operation* op, void* pending) {
    if (pa_operation_get_state(op) != PA_OPERATION_RUNNING)
        static_cast<PulseServer::Pending*>(pending)->finish();
}

}  // namespace

void PulseServer::Pending::finish() {
    // Notified under the lock: the waiter may destroy this object as soon as
    // it holds the lock again.
    std::lock_guard lock(m_mutex);
    m_done = true;
    m_cv.notify_all();
}

PulseServer::PulseServer(QByteArray server, std::chrono::milliseconds timeout)
    : m_server(std::move(server)), m_timeout(timeout), m_loop(pa_threaded_mainloop_new()) {
    pa_threaded_mainloop_set_name(m_loop, "ormil-pulse");
    pa_threaded_mainloop_start(m_loop);
}

PulseServer::~PulseServer() {
    pa_threaded_mainloop_stop(m_loop);
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_free(m_loop);
}

PulseServer& PulseServer::shared() {
    // Never destroyed: worker threads (the ducking queue) may still ask it
    // while the process exits.
    static PulseServer* server = new PulseServer;
    return *server;
}

void PulseServer::onContextState(pa_context* c, void* self) {
    auto* s = static_cast<PulseServer*>(self);
    if (c != s->m_context) return;
    {
        std::lock_guard lock(s->m_mutex);
        s->m_state = pa_context_get_state(c);
    }
    s->m_stateChanged.notify_all();
}

void PulseServer::dropContextLocked() {
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    std::lock_guard lock(m_mutex);
    m_state = PA_CONTEXT_UNCONNECTED;
}

bool PulseServer::connect() {
    return connectBy(deadline());
}

bool PulseServer::connectBy(Deadline deadline) {
    {
        LoopLock loop(m_loop);
        // A context that failed (the server went away) is not reused: a new
        // one connects again.
        if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context))) {
            dropContextLocked();
            m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Ormil");
            if (m_context) {
                pa_context_set_state_callback(m_context, onContextState, this);
                {
                    std::lock_guard lock(m_mutex);
                    m_state = PA_CONTEXT_CONNECTING;
                }
                if (pa_context_connect(m_context, m_server.isEmpty() ? nullptr : m_server.constData(),
                                       PA_CONTEXT_NOFLAGS, nullptr) < 0)
                    dropContextLocked();
            }
        }
    }
    std::unique_lock lock(m_mutex);
    m_stateChanged.wait_until(lock, deadline, [&] {
        return m_state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(m_state);
    });
    return m_state == PA_CONTEXT_READY;
}

bool PulseServer::withContext(Deadline deadline, const std::function<void(pa_context*)>& fn) {
    if (!connectBy(deadline)) return false;
    LoopLock loop(m_loop);
    if (!m_context || pa_context_get_state(m_context) != PA_CONTEXT_READY) return false;
    fn(m_context);
    return true;
}

void PulseServer::locked(const std::function<void()>& fn) {
    LoopLock loop(m_loop);
    fn();
}

bool PulseServer::wait(Pending& pending, Deadline deadline) {
    std::unique_lock lock(pending.m_mutex);
    return pending.m_cv.wait_until(lock, deadline, [&] { return pending.m_done; });
}

bool PulseServer::request(Pending& pending,
                          const std::function<pa_operation*(pa_context*)>& start) {
    const Deadline until = deadline();
    pa_operation* op = nullptr;
    withContext(until, [&](pa_context* c) {
        op = start(c);
        if (op) pa_operation_set_state_callback(op, onOperationState, &pending);
    });
    if (!op) return false;
    wait(pending, until);
    LoopLock loop(m_loop);
    const pa_operation_state_t state = pa_operation_get_state(op);
    if (state == PA_OPERATION_RUNNING) pa_operation_cancel(op);
    pa_operation_set_state_callback(op, nullptr, nullptr);
    pa_operation_unref(op);
    return state == PA_OPERATION_DONE;
}
