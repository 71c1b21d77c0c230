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

// Runs fn on the main thread after the caller returns (queued). With a
// context object, fn is dropped when the context is gone by then.
void runOnMain(std::function<void()> fn);
void runOnMain(QObject* context, std::function<void()> fn);
// Runs fn on the main thread now when called there, else queued.
void runOnMainNowOrQueued(std::function<void()> fn);
bool isMainThread();

// Starts fn on the shared worker pool (an asynchronous task).
void runAsync(std::function<void()> fn);
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
