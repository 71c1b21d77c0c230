#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <semaphore>
#include <thread>
#include <type_traits>

// Runs fn on the main thread after the caller returns (queued). With a
// context object, fn is dropped when the context is gone by then.
void runOnMain(std::function<void()> fn);
void runOnMain(QObject* context, std::function<void()> fn);
// The same from a worker that holds a guarded pointer: the guard is copied,
// never rebuilt from a raw pointer the main thread may be deleting.
void runOnMain(const QPointer<QObject>& context, std::function<void()> fn);
template <typename T>
void runOnMain(const QPointer<T>& context, std::function<void()> fn) {
    runOnMain(QPointer<QObject>(context.data()), std::move(fn));
}
// Runs fn on the main thread now when called there, else queued.
void runOnMainNowOrQueued(std::function<void()> fn);
bool isMainThread();

// Stops the process when called off the main thread (while an application
// object exists), naming `where`. Classes that keep state for the main
// thread alone call it through ORMIL_ASSERT_MAIN_THREAD() at the entry of
// their public methods: debug and sanitized builds check, others do not.
void assertMainThread(const char* where);
#if defined(ORMIL_CHECK_MAIN_THREAD) || !defined(QT_NO_DEBUG)
#define ORMIL_ASSERT_MAIN_THREAD() assertMainThread(Q_FUNC_INFO)
#else
#define ORMIL_ASSERT_MAIN_THREAD() static_cast<void>(0)
#endif

// Starts fn on the shared worker pool (an asynchronous task). An empty fn
// is ignored; an exception escaping fn is logged and ends only that task.
void runAsync(std::function<void()> fn);

// The one way to do work off the main thread and come back: work runs on
// the shared pool, then onDone gets its result on the main thread, only if
// context still lives then (else the result is dropped). onDone takes no
// argument when work returns nothing. When work throws, the exception is
// logged and onDone is not called: work that can fail returns its failure.
template <typename Work, typename Done>
void runAsync(QObject* context, Work work, Done onDone) {
    QPointer<QObject> guard(context);
    runAsync([guard, work = std::move(work), onDone = std::move(onDone)]() mutable {
        if constexpr (std::is_void_v<std::invoke_result_t<Work&>>) {
            work();
            runOnMain(guard, std::move(onDone));
        } else {
            runOnMain(guard, [onDone = std::move(onDone), result = work()]() mutable {
                onDone(std::move(result));
            });
        }
    });
}
// Waits until the tasks started with runAsync have finished, at most
// timeoutMs; true when none is left. For the end of the process: a task
// still running while static objects are destroyed would use them freed.
bool waitForAsyncWork(int timeoutMs);

// A serial dispatch queue: one thread that runs its jobs in order.
class SerialQueue {
public:
    explicit SerialQueue(QString label);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const QString& label() const { return m_label; }
    void async(std::function<void()> job);
    // Runs job on the queue and waits for it.
    void sync(std::function<void()> job);
    // Waits until every job queued so far has run.
    void drain();

private:
    void loop();
    QString m_label;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_jobs;
    bool m_stop = false;
    std::thread m_thread;
};

// "At most N at a time": a counting limiter around a critical section.
class CountingLimiter {
public:
    explicit CountingLimiter(int limit) : m_sem(limit) {}
    void acquire() { m_sem.acquire(); }
    void release() { m_sem.release(); }
    template <typename F>
    auto run(F&& f) {
        acquire();
        struct Release {
            CountingLimiter* l;
            ~Release() { l->release(); }
        } r{this};
        return f();
    }

private:
    std::counting_semaphore<1024> m_sem;
};
