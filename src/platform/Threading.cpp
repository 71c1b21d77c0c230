#include "platform/Threading.h"

#include <QThreadPool>
#include <exception>

#include "platform/DebugLog.h"

bool isMainThread() {
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void assertMainThread(const char* where) {
    if (!QCoreApplication::instance() || isMainThread()) return;
    qFatal("%s called off the main thread", where);
}

void runOnMain(std::function<void()> fn) {
    if (!fn) return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void runOnMain(QObject* context, std::function<void()> fn) {
    runOnMain(QPointer<QObject>(context), std::move(fn));
}

void runOnMain(const QPointer<QObject>& context, std::function<void()> fn) {
    if (!context || !fn) return;
    runOnMain([guard = context, fn = std::move(fn)] {
        if (guard) fn();
    });
}

void runOnMainNowOrQueued(std::function<void()> fn) {
    if (isMainThread() || !QCoreApplication::instance()) {
        fn();
        return;
    }
    runOnMain(std::move(fn));
}

namespace {
// Never destroyed: tasks may still be queued when the process ends.
QThreadPool* asyncPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool();
        p->setMaxThreadCount(std::max(16, QThread::idealThreadCount() * 4));
        return p;
    }();
    return pool;
}
}  // namespace

void runAsync(std::function<void()> fn) {
    if (!fn) return;
    // An exception left to the pool would end the whole process.
    asyncPool()->start([fn = std::move(fn)] {
        try {
            fn();
        } catch (const std::exception& e) {
            debugLog(QStringLiteral("[Async] A background task failed: ") +
                     QString::fromUtf8(e.what()));
        } catch (...) {
            debugLog(QStringLiteral("[Async] A background task failed"));
        }
    });
}

bool waitForAsyncWork(int timeoutMs) {
    return asyncPool()->waitForDone(timeoutMs);
}

SerialQueue::SerialQueue(QString label) : m_label(std::move(label)) {
    m_thread = std::thread([this] { loop(); });
}

SerialQueue::~SerialQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_cv.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void SerialQueue::async(std::function<void()> job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_cv.notify_one();
}

void SerialQueue::sync(std::function<void()> job) {
    if (std::this_thread::get_id() == m_thread.get_id()) {
        job();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneCv;
    bool done = false;
    async([&] {
        job();
        std::lock_guard l(doneMutex);
        done = true;
        doneCv.notify_all();
    });
    std::unique_lock l(doneMutex);
    doneCv.wait(l, [&] { return done; });
}

void SerialQueue::drain() { sync([] {}); }

void SerialQueue::loop() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_cv.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_jobs.empty()) return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        job();
    }
}
