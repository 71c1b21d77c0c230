#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

// The windows uploaded while one recording runs. Each window is registered
// before its upload starts, so a join that follows never misses it; the join
// waits for every window and gives their texts in order.
class StreamingSession {
public:
    // A window's upload: its text, or nothing when it failed.
    using Upload = std::function<std::optional<QString>()>;
    // Runs a job in the background.
    using Start = std::function<void(std::function<void()>)>;

    // Registers window `index` (replacing an earlier one of that index) and
    // starts its upload.
    void addWindow(qint64 index, Upload upload, const Start& start);

    // The texts of the windows from the first to the last, once each has
    // ended. Nothing when there is no window, or when a window is missing or
    // failed (said in the log: the caller then sends the whole recording).
    std::optional<QStringList> joinTexts();

private:
    struct Window;
    std::mutex m_mutex;
    std::map<qint64, std::shared_ptr<Window>> m_windows;
};
