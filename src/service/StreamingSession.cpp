#include "service/StreamingSession.h"

#include <condition_variable>

#include "platform/DebugLog.h"

// One window's upload: its text once it is done, nothing when it failed.
struct StreamingSession::Window {
    std::mutex mutex;
    std::condition_variable doneChanged;
    bool done = false;
    std::optional<QString> text;

    void finish(std::optional<QString> result) {
        std::lock_guard lock(mutex);
        text = std::move(result);
        done = true;
        doneChanged.notify_all();
    }
    std::optional<QString> wait() {
        std::unique_lock lock(mutex);
        doneChanged.wait(lock, [this] { return done; });
        return text;
    }
};

void StreamingSession::addWindow(qint64 index, Upload upload, const Start& start) {
    auto window = std::make_shared<Window>();
    {
        std::lock_guard lock(m_mutex);
        m_windows[index] = window;
    }
    start([window, upload = std::move(upload)] { window->finish(upload()); });
}

std::optional<QStringList> StreamingSession::joinTexts() {
    std::map<qint64, std::shared_ptr<Window>> windows;
    {
        std::lock_guard lock(m_mutex);
        windows = m_windows;
    }
    if (windows.empty()) return std::nullopt;

    // Every window from the first to the last must be there: a joined text
    // with a stretch missing would look like success while losing speech.
    QStringList texts;
    qint64 expected = 0;
    for (const auto& [index, window] : windows) {
        if (index != expected) {
            debugLog(QStringLiteral(
                         "[Streaming] Окно %1 не было передано — вся запись пойдёт обычным путём")
                         .arg(expected + 1));
            return std::nullopt;
        }
        const std::optional<QString> text = window->wait();
        if (!text) {
            debugLog(QStringLiteral(
                         "[Streaming] Окно %1 не распознано — вся запись пойдёт обычным путём")
                         .arg(index + 1));
            return std::nullopt;
        }
        texts << *text;
        ++expected;
    }
    return texts;
}
