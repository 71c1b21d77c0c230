// "errors-queue.jsonl" as found on disk: one sending run over it, then a new
// report appended. A line that is no event is dropped, never sent.
#include <QFile>
#include <QJsonDocument>

#include "FuzzSupport.h"
#include "platform/SettingsStore.h"
#include "service/ErrorReportService.h"

namespace {
int g_sentEvents = 0;

ErrorReportService& service() {
    static SettingsStore settings;
    static ErrorReportService* s = [] {
        ErrorReportService::Account account;
        account.readToken = [](const QString&) {
            TokenReadResult r;
            r.token = QStringLiteral("token");
            return r;
        };
        account.refreshAccessToken = [] {};
        HttpSend send = [](const HttpRequest& request) {
            const QJsonDocument doc = QJsonDocument::fromJson(request.body);
            const QJsonArray events = doc.object().value(QStringLiteral("events")).toArray();
            for (const QJsonValue& e : events)
                if (!e.isObject()) __builtin_trap();
            g_sentEvents += int(events.size());
            HttpResponse response;
            response.status = 200;
            return response;
        };
        return new ErrorReportService(settings, Clock::system(), account, send,
                                      QStringLiteral("http://127.0.0.1:1"),
                                      fuzz::scratchDir() + QStringLiteral("/errors-queue.jsonl"));
    }();
    return *s;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ErrorReportService& s = service();
    {
        QFile f(s.queueFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    g_sentEvents = 0;
    s.sendPending();
    if (g_sentEvents > ErrorReportService::maxBatch) __builtin_trap();
    s.report(QStringLiteral("fuzz"), QStringLiteral("code"), QStringLiteral("message"));
    if (s.queuedLines().size() > ErrorReportService::maxQueue) __builtin_trap();
    return 0;
}
