#include "service/ErrorReportService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>
#include <QSysInfo>

#include "platform/Characters.h"
#include "platform/PrivateFiles.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "service/AnswerLimits.h"
#include "service/HttpServiceConfig.h"

namespace {

constexpr double kPostTimeout = 15;
constexpr int kMessageCharacters = 300;

QString osVersion() {
    return QSysInfo::prettyProductName() + " (kernel " + QSysInfo::kernelVersion() + ")";
}

}  // namespace

ErrorReportService& ErrorReportService::shared() {
    static ErrorReportService* instance = new ErrorReportService(
        SettingsStore::shared(), Clock::system(),
        Account{[](const QString& key) { return AuthService::shared().readToken(key); },
                [] { AuthService::shared().refreshAccessToken(); }},
        [](const HttpRequest& request) { return HttpClient::shared().send(request); },
        ServiceConfig::apiBase(), defaultQueueFile());
    return *instance;
}

ErrorReportService::ErrorReportService(SettingsStore& settings, Clock& clock, Account account,
                                       HttpSend send, const QString& apiBase, QString queueFile)
    : m_settings(settings),
      m_clock(clock),
      m_account(std::move(account)),
      m_send(std::move(send)),
      m_apiURL(apiBase + "/client-events/errors"),
      m_queueFile(std::move(queueFile)) {}

ErrorReportService::~ErrorReportService() {
    std::unique_lock lock(m_runsLock);
    m_runsDone.wait(lock, [this] { return m_asyncRuns == 0; });
}

QString ErrorReportService::defaultQueueFile() {
    const QString dir =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Ormil";
    PrivateFiles::ensureDir(dir);
    return dir + "/errors-queue.jsonl";
}

bool ErrorReportService::enabled() const {
    if (!m_settings.contains("sendErrorReports")) return true;
    return m_settings.boolean("sendErrorReports");
}

void ErrorReportService::start() {
    runOnMainNowOrQueued([this] {
        if (m_timer) return;
        m_timer = m_clock.repeat(sendInterval, this, [this] { sendPendingAsync(); });
        m_firstSend = m_clock.schedule(firstSendDelay, this, [this] { sendPendingAsync(); });
    });
}

void ErrorReportService::sendPendingAsync() {
    {
        std::lock_guard lock(m_runsLock);
        ++m_asyncRuns;
    }
    runAsync([this] {
        sendPending();
        std::lock_guard lock(m_runsLock);
        --m_asyncRuns;
        m_runsDone.notify_all();
    });
}

void ErrorReportService::report(const QString& category, const QString& code,
                                const std::optional<QString>& message,
                                const std::optional<QJsonObject>& context) {
    if (!enabled()) return;
    QJsonObject event{
        {"ts", m_clock.currentDateTime().toUTC().toString("yyyy-MM-ddTHH:mm:ssZ")},
        {"app", "linux"},
        {"app_version", QStringLiteral(ORMIL_VERSION)},
        {"os_version", osVersion()},
        {"category", category},
        {"code", code},
    };
    if (message) event.insert("message", Characters::leading(*message, kMessageCharacters));
    if (context) event.insert("context", *context);
    const QString line = QString::fromUtf8(QJsonDocument(event).toJson(QJsonDocument::Compact));

    std::lock_guard lock(m_fileLock);
    QStringList lines = readLinesLocked();
    lines.append(line);
    if (lines.size() > maxQueue) lines.erase(lines.begin(), lines.end() - maxQueue);
    writeLinesLocked(lines);
}

QStringList ErrorReportService::queuedLines() const {
    std::lock_guard lock(m_fileLock);
    return readLinesLocked();
}

QStringList ErrorReportService::readLinesLocked() const {
    QFile file(m_queueFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

void ErrorReportService::writeLinesLocked(const QStringList& lines) const {
    if (lines.isEmpty()) {
        QFile::remove(m_queueFile);
        return;
    }
    PrivateFiles::ensureDir(QFileInfo(m_queueFile).absolutePath());
    QSaveFile file(m_queueFile);
    if (!file.open(QIODevice::WriteOnly)) return;
    // Events can quote dictated text and error details: private to the user.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write((lines.join('\n') + '\n').toUtf8());
    file.commit();
}

void ErrorReportService::removeSentLines(const QStringList& sent) {
    // By content, not by position: lines the cap dropped meanwhile, or that
    // arrived after the batch was taken, are never mistaken for sent ones.
    std::lock_guard lock(m_fileLock);
    QStringList lines = readLinesLocked();
    bool changed = false;
    for (const QString& line : sent) {
        const qsizetype at = lines.indexOf(line);
        if (at < 0) continue;
        lines.removeAt(at);
        changed = true;
    }
    if (changed) writeLinesLocked(lines);
}

void ErrorReportService::sendPending() {
    if (m_sending.exchange(true)) return;
    struct Done {
        std::atomic<bool>& flag;
        ~Done() { flag.store(false); }
    } done{m_sending};

    if (!enabled()) return;
    const auto token = m_account.readToken(QStringLiteral("access_token")).token;
    if (!token) return;

    QStringList taken;
    {
        std::lock_guard lock(m_fileLock);
        taken = readLinesLocked().mid(0, maxBatch);
    }
    if (taken.isEmpty()) return;
    QJsonArray events;
    for (const QString& line : taken) {
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8());
        if (doc.isObject()) events.append(doc.object());
    }
    if (events.isEmpty()) {
        removeSentLines(taken);
        return;
    }
    try {
        int status = postBatch(events, *token);
        if (status == 401) {
            m_account.refreshAccessToken();
            const auto fresh = m_account.readToken(QStringLiteral("access_token")).token;
            if (!fresh) return;
            status = postBatch(events, *fresh);
        }
        if (status == 200) removeSentLines(taken);
    } catch (...) {
        // Silent: the batch stays queued for the next run.
    }
}

int ErrorReportService::postBatch(const QJsonArray& events, const QString& token) {
    HttpRequest request;
    request.method = "POST";
    request.url = m_apiURL;
    request.timeout = kPostTimeout;
    AnswerLimitsTable::apply(request, AnswerKind::errorReport);
    request.headers.set("Content-Type", "application/json");
    request.headers.set("Authorization", "Bearer " + token.toUtf8());
    request.body = QJsonDocument(QJsonObject{{"events", events}}).toJson(QJsonDocument::Compact);
    return m_send(request).status;
}
