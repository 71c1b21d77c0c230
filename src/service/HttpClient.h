#pragma once

#include <QString>
#include <memory>
#include <mutex>

#include "service/HttpMessage.h"

class Clock;

// One blocking client for every service call. Requests from all threads
// share one connection pool with at most `maxConnectionsPerHost` connections
// to each host; further requests wait for a free one. Plain http is only
// accepted for loopback hosts. A request ends at its size cap and overall
// deadline (AnswerLimitsTable gives each kind of service call its own) with
// a transport error and an "[HTTP] ... stopped: ..." log line.
class HttpClient {
public:
    static constexpr int kDefaultMaxConnectionsPerHost = 6;

    static HttpClient& shared();

    explicit HttpClient(Clock& clock, int maxConnectionsPerHost = kDefaultMaxConnectionsPerHost);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Blocks until the answer is complete. Throws HttpError.
    HttpResponse send(const HttpRequest& request);

    // Throws HttpError(badURL) unless url is an absolute https URL with a
    // host, or http to a loopback host. Returns "scheme://host:port".
    static QString checkURL(const QString& url);

    int maxConnectionsPerHost() const;

private:
    class Session;
    // Made on the first request, which loads libcurl (see CurlLibrary.h).
    Session* session();

    Clock& m_clock;
    const int m_maxConnectionsPerHost;
    std::once_flag m_sessionMade;
    std::unique_ptr<Session> m_session;
};
