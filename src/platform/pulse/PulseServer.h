#pragma once

#include <pulse/context.h>
#include <pulse/operation.h>
#include <pulse/thread-mainloop.h>

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// One connection to the sound server, kept for the life of the process and
// shared by the back ends that ask it questions (volume, sources). It runs on
// a pa_threaded_mainloop of its own, connects on first use and again on the
// first use after the server went away. No call waits longer than the
// timeout: a server that hangs or is gone costs the caller at most that.
//
// Lock order: libpulse calls back with the mainloop lock held, and the
// callbacks then take this class's mutex or a Pending's. A caller must never
// take the mainloop lock while it holds either of those.
class PulseServer {
public:
    static constexpr std::chrono::milliseconds kTimeout{3000};

    // server: a server address ("unix:/path"), or empty for the default one.
    explicit PulseServer(QByteArray server = {}, std::chrono::milliseconds timeout = kTimeout);
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // The connection the application's back ends share.
    static PulseServer& shared();

    // The answer to one request. The operation's callbacks (on the mainloop
    // thread) fill in a class derived from this one; finish() is called when
    // the operation is done or cancelled.
    class Pending {
    public:
        virtual ~Pending() = default;
        void finish();

    private:
        friend class PulseServer;
        std::mutex m_mutex;
        std::condition_variable m_cv;
        bool m_done = false;
    };

    // Runs `start` with a connected context under the mainloop lock; it
    // issues one operation whose callbacks get `pending` as their user data,
    // and returns it (nullptr when it cannot be issued). Waits until the
    // operation is over; false when it could not run or timed out (the
    // operation is then cancelled, so no callback touches `pending` later).
    bool request(Pending& pending, const std::function<pa_operation*(pa_context*)>& start);

    // Connects now if not connected; false when the server cannot be reached
    // within the timeout.
    bool connect();

    // For long-lived objects on the connection (streams). A call that is
    // made of several steps shares one deadline between them.
    using Deadline = std::chrono::steady_clock::time_point;
    Deadline deadline() const { return std::chrono::steady_clock::now() + m_timeout; }
    // Runs fn under the mainloop lock with a connected context; false when
    // there is no connection by the deadline.
    bool withContext(Deadline deadline, const std::function<void(pa_context*)>& fn);
    // The connection's event loop, for timers of objects on it.
    pa_mainloop_api* api() const { return pa_threaded_mainloop_get_api(m_loop); }
    std::chrono::milliseconds timeout() const { return m_timeout; }
    // Runs fn under the mainloop lock (to let go of a stream).
    void locked(const std::function<void()>& fn);
    // Waits until pending is finished; false when the deadline came first.
    static bool wait(Pending& pending, Deadline deadline);

private:
    bool connectBy(Deadline deadline);
    void dropContextLocked();
    static void onContextState(pa_context* c, void* self);

    const QByteArray m_server;
    const std::chrono::milliseconds m_timeout;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;  // under the mainloop lock

    std::mutex m_mutex;  // guards m_state; taken after the mainloop lock
    std::condition_variable m_stateChanged;
    pa_context_state_t m_state = PA_CONTEXT_UNCONNECTED;
};
