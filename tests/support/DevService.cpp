#include "support/DevService.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <stdexcept>

#include "platform/Clock.h"
#include "support/TestSupport.h"

DevService::DevService() : m_http(std::make_unique<HttpClient>(Clock::system())) {
    m_process.setProgram(QStringLiteral(ORMIL_DEVSERVICE_PATH));
    m_process.setArguments({"--port", "0"});
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(20000))
        throw std::runtime_error("the stand-in service did not start");
    static const QRegularExpression listening(
        QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
    QByteArray out;
    QElapsedTimer timer;
    timer.start();
    while (m_port == 0 && timer.elapsed() < 20000) {
        if (!m_process.waitForReadyRead(500) && m_process.state() != QProcess::Running) break;
        out += m_process.readAllStandardOutput();
        const auto match = listening.match(QString::fromUtf8(out));
        if (match.hasMatch()) m_port = match.captured(1).toInt();
    }
    if (m_port == 0) throw std::runtime_error("the stand-in service did not say its port");
    const bool answers = testsupport::waitUntil([&] {
        try {
            control("GET", "/__control/in-flight");
            return true;
        } catch (const std::exception&) {
            return false;
        }
    });
    if (!answers) throw std::runtime_error("the stand-in service does not answer");
}

DevService::~DevService() {
    m_process.terminate();
    if (!m_process.waitForFinished(20000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString DevService::baseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

void DevService::exportBases() const {
    const QByteArray base = baseUrl().toUtf8();
    qputenv("ORMIL_API_BASE", base);
    qputenv("ORMIL_AUTH_BASE", base);
    qputenv("ORMIL_UPDATE_BASE", base);
}

QJsonObject DevService::control(const QByteArray& method, const QString& path,
                                const QJsonObject& body) const {
    HttpRequest request;
    request.method = method;
    request.url = url(path);
    request.timeout = 20;
    if (method != "GET") {
        request.headers.set("Content-Type", "application/json");
        request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    }
    const HttpResponse response = m_http->send(request);
    if (response.status != 200)
        throw std::runtime_error(QStringLiteral("test control %1 answered %2: %3")
                                     .arg(path)
                                     .arg(response.status)
                                     .arg(QString::fromUtf8(response.body))
                                     .toStdString());
    return QJsonDocument::fromJson(response.body).object();
}

void DevService::queue(const QString& path, const Answer& answer) {
    QJsonObject body{{"path", path},
                     {"status", answer.status},
                     {"delay_ms", answer.delayMs},
                     {"drop", answer.drop},
                     {"count", answer.count}};
    if (!answer.method.isEmpty()) body["method"] = QString::fromLatin1(answer.method);
    if (answer.json)
        body["json"] = *answer.json;
    else
        body["body"] = QString::fromUtf8(answer.body);
    QJsonObject headers;
    for (const auto& [name, value] : answer.headers)
        headers[QString::fromLatin1(name)] = QString::fromUtf8(value);
    body["headers"] = headers;
    control("POST", "/__control/queue", body);
}

QList<DevService::Received> DevService::requests(const QString& path) const {
    QList<Received> out;
    const QJsonArray all = control("GET", "/__control/requests").value("requests").toArray();
    for (const QJsonValue& value : all) {
        const QJsonObject o = value.toObject();
        if (!path.isEmpty() && o.value("path").toString() != path) continue;
        Received r;
        r.method = o.value("method").toString().toLatin1();
        r.path = o.value("path").toString().toUtf8();
        r.query = o.value("query").toString().toUtf8();
        for (const QJsonValue& h : o.value("headers").toArray())
            r.headers.add(h[0].toString().toLatin1(), h[1].toString().toUtf8());
        r.body = QByteArray::fromBase64(o.value("body_base64").toString().toLatin1());
        r.remotePort = o.value("remote_port").toInt();
        out.append(r);
    }
    return out;
}

int DevService::inFlight() const {
    return control("GET", "/__control/in-flight").value("in_flight").toInt();
}

int DevService::maxInFlight() const {
    return control("GET", "/__control/in-flight").value("max_in_flight").toInt();
}

void DevService::hold(const QString& path) {
    control("POST", "/__control/hold", {{"path", path}});
}

void DevService::release(const QString& path) {
    control("POST", "/__control/release",
            path.isEmpty() ? QJsonObject() : QJsonObject{{"path", path}});
}

void DevService::expireTokens(const QString& email, bool refreshToo) {
    QJsonObject body{{"refresh", refreshToo}};
    if (!email.isEmpty()) body["email"] = email;
    control("POST", "/__control/expire-tokens", body);
}

void DevService::createAccount(const QJsonObject& fields) {
    control("POST", "/__control/accounts", fields);
}

DevService::Tokens DevService::createSignedInAccount(const QJsonObject& fields) {
    QJsonObject body = fields;
    body["sign_in"] = true;
    const QJsonObject out = control("POST", "/__control/accounts", body);
    return {out.value("access_token").toString(), out.value("refresh_token").toString()};
}

void DevService::addTelegramToken(const QString& token, const QString& email) {
    control("POST", "/__control/telegram-token", {{"token", token}, {"email", email}});
}

void DevService::reset() {
    control("POST", "/__control/reset");
}
