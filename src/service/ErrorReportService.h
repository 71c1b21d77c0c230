#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include "core/AppState.h"
#include "platform/Clock.h"
#include "service/AuthService.h"

class SettingsStore;

// Client error events (crashes, failed transcriptions, update failures),
// written at once to a JSON-lines queue file and delivered to the service in
// batches by a timer. Never fails visibly: every failure is silent and keeps
// the events for a later run. The setting "sendErrorReports" switches it off.
class ErrorReportService : public QObject {
    Q_OBJECT
public:
    static constexpr int maxQueue = 200;
    static constexpr int maxBatch = 20;
    static constexpr double firstSendDelay = 45;
    static constexpr double sendInterval = 300;

    // What the service needs of the account session.
    struct Account {
        TokenReader readToken;
        // Obtains a new access token; throws when it cannot.
        std::function<void()> refreshAccessToken;
    };

    static ErrorReportService& shared();

    // apiBase: the API base, without a trailing slash; queueFile: the path
    // of "errors-queue.jsonl".
    ErrorReportService(SettingsStore& settings, Clock& clock, Account account, HttpSend send,
                       const QString& apiBase, QString queueFile);
    // Waits for sending runs the timer started.
    ~ErrorReportService() override;

    // "$XDG_DATA_HOME/Ormil/errors-queue.jsonl" (the folder is created).
    static QString defaultQueueFile();
    QString queueFile() const { return m_queueFile; }

    // False only when "sendErrorReports" holds a false value.
    bool enabled() const;

    // A first sending run 45 s later, then one every 300 s (counted from
    // this call), on the main thread's timers; callable from any thread. A
    // second call does nothing.
    void start();

    // Appends one event to the queue file; returns once it is written.
    // Any thread. A message is cut to 300 characters.
    void report(const QString& category, const QString& code,
                const std::optional<QString>& message = std::nullopt,
                const std::optional<QJsonObject>& context = std::nullopt);

    // One sending run (blocking; worker threads). Returns at once when
    // another run is in progress.
    void sendPending();

    // The queue file's lines, oldest first.
    QStringList queuedLines() const;

private:
    QStringList readLinesLocked() const;
    void writeLinesLocked(const QStringList& lines) const;
    void removeSentLines(const QStringList& sent);
    int postBatch(const QJsonArray& events, const QString& token);
    void sendPendingAsync();

    SettingsStore& m_settings;
    Clock& m_clock;
    Account m_account;
    HttpSend m_send;
    QString m_apiURL;
    QString m_queueFile;
    mutable std::mutex m_fileLock;
    std::atomic<bool> m_sending{false};
    std::mutex m_runsLock;
    std::condition_variable m_runsDone;
    int m_asyncRuns = 0;
    ClockTimerPtr m_timer;
    ClockTimerPtr m_firstSend;
};
