#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QProcess>
#include <QString>
#include <memory>
#include <optional>

#include "service/HttpClient.h"

// The local stand-in of the speech service, started for one test on a free
// port and stopped when the object goes. Its test control drives it: queue
// answers, read back what it received, watch the requests in flight, make
// tokens expire, create accounts.
class DevService {
public:
    DevService();
    ~DevService();
    DevService(const DevService&) = delete;
    DevService& operator=(const DevService&) = delete;

    int port() const { return m_port; }
    // "http://127.0.0.1:PORT", no trailing slash.
    QString baseUrl() const;
    QString url(const QString& path) const { return baseUrl() + path; }
    // Points ORMIL_API_BASE, ORMIL_AUTH_BASE and ORMIL_UPDATE_BASE at it.
    void exportBases() const;

    // One answer in line for a path; it replaces the path's own behaviour
    // for one request (`count` requests).
    struct Answer {
        int status = 200;
        QByteArray body;
        std::optional<QJsonValue> json;  // sent as application/json instead of body
        QByteArray method;               // empty: any method
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;
        bool drop = false;  // close the connection without answering
        int count = 1;
    };
    void queue(const QString& path, const Answer& answer);

    struct Received {
        QByteArray method;
        QByteArray path;
        QByteArray query;
        HttpHeaders headers;
        QByteArray body;
        int remotePort = 0;
        // The value of a plain field of a multipart body (empty when absent).
        QByteArray formField(const QByteArray& name) const {
            const QByteArray marker = "name=\"" + name + "\"\r\n\r\n";
            const qsizetype at = body.indexOf(marker);
            if (at < 0) return {};
            const qsizetype from = at + marker.size();
            return body.mid(from, body.indexOf("\r\n", from) - from);
        }
        // The contents of a file part of a multipart body (empty when absent).
        QByteArray formFile(const QByteArray& name) const {
            const QByteArray delimiter = "\r\n" + body.left(body.indexOf("\r\n"));
            const qsizetype at = body.indexOf("name=\"" + name + "\"; filename=");
            if (at < 0) return {};
            const qsizetype from = body.indexOf("\r\n\r\n", at) + 4;
            return body.mid(from, body.indexOf(delimiter, from) - from);
        }
    };
    // Every request so far (test control excluded), in arrival order; with
    // a path, only those to it.
    QList<Received> requests(const QString& path = {}) const;
    int inFlight() const;
    int maxInFlight() const;

    // Requests to the path wait until released (empty: every path).
    void hold(const QString& path);
    void release(const QString& path = {});

    // Access tokens (and with refreshToo the refresh tokens) of one account,
    // or of every account when email is empty, stop working.
    void expireTokens(const QString& email = {}, bool refreshToo = false);

    struct Tokens {
        QString access;
        QString refresh;
    };
    // Fields as the control path takes them: "email", "password", "name",
    // "tier", "is_admin", "weekly_words_used", "weekly_words_limit".
    void createAccount(const QJsonObject& fields);
    Tokens createSignedInAccount(const QJsonObject& fields);
    void addTelegramToken(const QString& token, const QString& email);

    // Forgets requests, answers, holds, gauges and accounts (the demo
    // account comes back).
    void reset();

    static constexpr const char* kDemoEmail = "demo@ormil.test";
    static constexpr const char* kDemoPassword = "demo";

private:
    QJsonObject control(const QByteArray& method, const QString& path,
                        const QJsonObject& body = {}) const;

    QProcess m_process;
    int m_port = 0;
    // Its own client, so that test control never waits behind the
    // connection cap of the client under test.
    std::unique_ptr<HttpClient> m_http;
};
