// Peak memory of one large answer from the account: a text-expansions list
// of about 66 MB (argument: the size in MB), first read alone by the HTTP
// client, then pulled whole by the synchronisation, which replaces the local
// list and writes its file. Prints the answer's size, the peak growth of the
// resident memory over the phase and its multiple of the answer's size.
// Goal: the whole pull within a small multiple (under 6x) of the answer.
#include <malloc.h>
#include <netinet/in.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <thread>

#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "service/AnswerLimits.h"
#include "service/HttpClient.h"

namespace {

qint64 statusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ')[0].toLongLong();
    return -1;
}

// The peak resident size starts again from the current one.
void resetPeak() {
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// The answer the account would give, written to a file in pieces so that
// the bench itself does not hold it.
qint64 writeAnswer(const QString& path, qint64 targetBytes) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return -1;
    out.write("{\"entries\":[");
    const QString cyrillic = QString::fromUtf8("Добрый день! Спасибо за письмо, отвечу завтра. ");
    const QString latin = QStringLiteral("Kind regards, see the attached notes for details. ");
    for (qint64 i = 0; out.size() < targetBytes; ++i) {
        QString text;
        for (int k = 0; k < 6 + int(i % 7); ++k) text += (k % 2 ? cyrillic : latin);
        const QJsonObject entry{{"trigger", QStringLiteral(";t%1").arg(i)},
                                {"expanded_text", text},
                                {"expanded_text_windows", QJsonValue::Null},
                                {"description", QStringLiteral("item %1").arg(i)},
                                {"match_both_layouts", i % 2 == 0},
                                {"is_enabled", true}};
        if (i > 0) out.write(",");
        out.write(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    }
    out.write("]}");
    return out.size();
}

// Serves the file to every request on loopback until the process ends.
int serve(const QString& path) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 8);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const QByteArray file = QFile::encodeName(path);
    std::thread([listener, file] {
        for (;;) {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) return;
            std::thread([client, file] {
                QByteArray head;
                char buffer[4096];
                for (;;) {
                    const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
                    if (got <= 0) break;
                    head.append(buffer, got);
                    if (!head.contains("\r\n\r\n")) continue;
                    head.clear();
                    QFile body(QString::fromLocal8Bit(file));
                    body.open(QIODevice::ReadOnly);
                    const QByteArray header =
                        "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                        "Content-Length: " +
                        QByteArray::number(body.size()) + "\r\n\r\n";
                    ::send(client, header.constData(), size_t(header.size()), 0);
                    off_t offset = 0;
                    while (offset < body.size())
                        if (::sendfile(client, body.handle(), &offset,
                                       size_t(body.size() - offset)) <= 0)
                            break;
                }
                ::close(client);
            }).detach();
        }
    }).detach();
    return ntohs(address.sin_port);
}

void report(const char* phase, qint64 answerBytes, qint64 baseKiB) {
    const double grewMB = double(statusKiB("VmHWM:") - baseKiB) / 1024.0;
    const double answerMB = double(answerBytes) / (1024.0 * 1024.0);
    std::printf("%-44s peak +%7.1f MB  (%.1fx the answer)\n", phase, grewMB, grewMB / answerMB);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 targetMB = argc > 1 ? QByteArray(argv[1]).toLongLong() : 66;
    const QString dir = QDir::tempPath() + QStringLiteral("/ormil-bench-sync-pull");
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    const QString answerFile = dir + QStringLiteral("/answer.json");
    const qint64 answerBytes = writeAnswer(answerFile, targetMB * 1024 * 1024);
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(serve(answerFile));
    std::printf("answer: %.1f MB of text expansions\n", double(answerBytes) / (1024.0 * 1024.0));

    FakeClock clock;
    HttpClient client(clock);
    {
        resetPeak();
        const qint64 base0 = statusKiB("VmRSS:");
        HttpRequest request;
        request.url = base + QStringLiteral("/sync/text-expansions");
        AnswerLimitsTable::apply(request, AnswerKind::userItems);
        const HttpResponse response = client.send(request);
        if (response.body.size() != answerBytes) std::printf("short answer!\n");
        report("HTTP client reads the answer", answerBytes, base0);
    }

    HistoryService history(dir + QStringLiteral("/Ormil.sqlite"), clock);
    TextExpansionService expansions(dir + QStringLiteral("/text_expansions.json"));
    SettingsStore settings;
    SyncService::Collaborators c;
    c.baseURL = base;
    c.send = [&client](const HttpRequest& r) { return client.send(r); };
    c.account.accessToken = [] { return std::optional<QString>(QStringLiteral("token")); };
    c.settings = &settings;
    c.history = &history;
    c.textExpansions = &expansions;
    SyncService sync(std::move(c));

    resetPeak();
    const qint64 base1 = statusKiB("VmRSS:");
    const SyncService::Done done = sync.pullTextExpansions();
    while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    report("sync pull: read, convert, replace, save", answerBytes, base1);
    std::printf("items: %lld, file written: %.1f MB\n", qint64(expansions.items().size()),
                double(QFileInfo(dir + QStringLiteral("/text_expansions.json")).size()) /
                    (1024.0 * 1024.0));
    QDir(dir).removeRecursively();
    return 0;
}
