// HttpClient against the local stand-in: exact requests, responses of every
// status, transport error kinds, timeouts on an injected clock, cancellation
// from another thread, the connection cap and connection reuse.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <future>
#include <set>
#include <thread>

#include "fakes/FakeClock.h"
#include "service/CurlLibrary.h"
#include "service/HttpClient.h"
#include "support/AnswerServer.h"
#include "support/DevService.h"
#include "support/TestSupport.h"

void PrintTo(HttpErrorKind kind, std::ostream* os) {
    *os << HttpError::kindName(kind);
}

namespace {

using testsupport::waitUntil;

// Runs a request on its own thread, as the callers' worker threads do.
struct Pending {
    std::future<HttpResponse> future;

    Pending(HttpClient& client, HttpRequest request)
        : future(std::async(std::launch::async,
                            [&client, request] { return client.send(request); })) {}

    bool finished() const {
        return future.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
    // The kind of the HttpError the request ended with.
    std::optional<HttpErrorKind> errorKind() {
        EXPECT_TRUE(waitUntil([&] { return finished(); }));
        try {
            future.get();
        } catch (const HttpError& e) {
            return e.kind();
        }
        return std::nullopt;
    }
};

class HttpClientTest : public ::testing::Test {
protected:
    HttpRequest request(const QString& path, const QByteArray& method = "GET") {
        HttpRequest r;
        r.method = method;
        r.url = service.url(path);
        return r;
    }

    DevService service;
    FakeClock clock;
    HttpClient client{clock};
};

TEST_F(HttpClientTest, SendsMethodHeadersAndBodyExactly) {
    QByteArray binary;
    for (int i = 0; i < 256; ++i) binary.append(char(i));
    binary += "\r\n--not-a-boundary--\r\n" + QByteArray(70000, 'x');

    struct Case {
        QByteArray method;
        QByteArray body;
        QByteArray contentType;  // empty: none set by the caller
    };
    const Case cases[] = {
        {"POST", binary, "application/octet-stream"},
        {"PUT", R"({"a":1})", "application/json"},
        {"PATCH", "x", ""},
        {"POST", "", "application/json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.method + " " + QByteArray::number(c.body.size())).toStdString());
        service.reset();
        HttpRequest r = request("/echo/path", c.method);
        r.url += "?t=1&x=%20y";
        r.body = c.body;
        if (!c.contentType.isEmpty()) r.headers.set("Content-Type", c.contentType);
        r.headers.set("X-Ormil-Test", "value with  spaces");
        r.headers.set("Authorization", "Bearer abc");
        client.send(r);

        const auto got = service.requests();
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got[0].method, c.method);
        EXPECT_EQ(got[0].path, "/echo/path");
        EXPECT_EQ(got[0].query, "t=1&x=%20y");
        EXPECT_EQ(got[0].body, c.body);
        EXPECT_EQ(got[0].headers.value("content-length"), QByteArray::number(c.body.size()));
        EXPECT_EQ(got[0].headers.value("x-ormil-test"), "value with  spaces");
        EXPECT_EQ(got[0].headers.value("authorization"), "Bearer abc");
        // Nothing the caller did not choose: no form content type, no
        // "100 Continue" handshake.
        EXPECT_EQ(got[0].headers.values("Content-Type"),
                  c.contentType.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{c.contentType});
        EXPECT_FALSE(got[0].headers.contains("Expect"));
    }
}

TEST_F(HttpClientTest, GetSendsNoBodyAndNoContentType) {
    client.send(request("/api/download/version"));
    const auto got = service.requests();
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].method, "GET");
    EXPECT_TRUE(got[0].body.isEmpty());
    EXPECT_FALSE(got[0].headers.contains("Content-Type"));
    EXPECT_FALSE(got[0].headers.contains("Content-Length"));
}

TEST_F(HttpClientTest, EveryStatusIsAResponseWithHeadersAndBody) {
    for (int status : {200, 201, 204, 401, 404, 429, 500, 503}) {
        SCOPED_TRACE(status);
        DevService::Answer answer;
        answer.status = status;
        answer.body =
            status == 204 ? QByteArray() : "body of " + QByteArray::number(status) + "\0\xff";
        answer.headers = {{"X-Request-Id", "r-" + QByteArray::number(status)},
                          {"Set-Cookie", "a=1"},
                          {"set-cookie", "b=2"}};
        service.queue("/answer", answer);
        const HttpResponse response = client.send(request("/answer"));
        EXPECT_EQ(response.status, status);
        EXPECT_EQ(response.body, answer.body);
        EXPECT_EQ(response.isSuccess(), status / 100 == 2);
        EXPECT_EQ(response.headers.value("x-request-id"), "r-" + QByteArray::number(status));
        EXPECT_EQ(response.headers.value("X-REQUEST-ID"), "r-" + QByteArray::number(status));
        EXPECT_EQ(response.headers.values("Set-Cookie"), (QList<QByteArray>{"a=1", "b=2"}));
    }
}

TEST_F(HttpClientTest, TransportFailuresHaveTheirKinds) {
    // A port that was free a moment ago: nothing listens there.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const quint16 refusedPort = probe.serverPort();
    probe.close();

    // A server that answers a TLS handshake with plain text.
    QTcpServer plain;
    ASSERT_TRUE(plain.listen(QHostAddress::LocalHost));
    QObject::connect(&plain, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = plain.nextPendingConnection()) {
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
                s->readAll();
                s->write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
                s->disconnectFromHost();
            });
        }
    });

    struct Case {
        const char* name;
        std::function<QString()> url;
        HttpErrorKind kind;
    };
    const Case cases[] = {
        {"refused port", [&] { return QStringLiteral("http://127.0.0.1:%1/x").arg(refusedPort); },
         HttpErrorKind::cannotConnect},
        {"dropped connection",
         [&] {
             DevService::Answer drop;
             drop.drop = true;
             service.queue("/drop", drop);
             return service.url("/drop");
         },
         HttpErrorKind::connectionLost},
        {"dropped after a delay",
         [&] {
             DevService::Answer drop;
             drop.drop = true;
             drop.delayMs = 50;
             service.queue("/drop", drop);
             return service.url("/drop");
         },
         HttpErrorKind::connectionLost},
        {"no TLS on the other side",
         [&] { return QStringLiteral("https://127.0.0.1:%1/x").arg(plain.serverPort()); },
         HttpErrorKind::tlsFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRequest r;
        r.url = c.url();
        Pending pending(client, r);
        EXPECT_EQ(pending.errorKind(), c.kind);
    }
}

TEST_F(HttpClientTest, RefusesUnusableAndPlainRemoteURLsBeforeConnecting) {
    const char* bad[] = {
        "",
        "not a url",
        "/relative/path",
        "ftp://127.0.0.1/file",
        "file:///etc/passwd",
        "http://example.com/transcribe",
        "http://10.0.0.1:18080/x",
        "http://128.0.0.1/x",
        "http://[::2]/x",
        "http://[::ffff:10.0.0.1]/x",
        "http://127.0.0.1.example.com/x",
        "http://localhost.example.com/x",
        "https://",
        "http://user@:80/x",
    };
    for (const char* url : bad) {
        SCOPED_TRACE(url);
        HttpRequest r;
        r.url = QString::fromUtf8(url);
        try {
            client.send(r);
            ADD_FAILURE() << "accepted";
        } catch (const HttpError& e) {
            EXPECT_EQ(e.kind(), HttpErrorKind::badURL);
            EXPECT_FALSE(e.isTransient());
        }
    }
    const char* good[] = {"http://127.0.0.1:1/x",        "http://127.8.9.10/x",
                          "http://localhost:80/",        "http://[::1]:8080/x",
                          "https://example.com/x",       "HTTPS://Example.COM/x",
                          "http://[::ffff:127.0.0.1]/x", "http://127.1/x"};
    for (const char* url : good) {
        SCOPED_TRACE(url);
        EXPECT_NO_THROW(HttpClient::checkURL(QString::fromUtf8(url)));
    }
}

TEST_F(HttpClientTest, RefusesMethodsAndHeadersThatBreakTheFraming) {
    struct Case {
        QByteArray method;
        QByteArray name;
        QByteArray value;
    };
    const Case cases[] = {
        {"GET", "X-Note", "a\r\nX-Injected: 1"},
        {"GET", "X-Note", "a\nb"},
        {"GET", "X-Note", QByteArray("a\0b", 3)},
        {"GET", "Bad Name", "v"},
        {"GET", "Bad:Name", "v"},
        {"GET", "", "v"},
        {"GET /x HTTP/1.1\r\n", "X-Ok", "v"},
        {"", "X-Ok", "v"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.method + "|" + c.name + "|" + c.value).toStdString());
        HttpRequest r = request("/framing", c.method);
        r.headers.add(c.name, c.value);
        try {
            client.send(r);
            ADD_FAILURE() << "sent";
        } catch (const HttpError& e) {
            EXPECT_EQ(e.kind(), HttpErrorKind::other);
        }
    }
    EXPECT_TRUE(service.requests().isEmpty());
}

TEST_F(HttpClientTest, IdleAndTotalTimeoutsFollowTheInjectedClock) {
    service.hold("/slow");
    struct Case {
        double idle;
        std::optional<double> total;
        double tooEarly;  // advancing this much must not end it
        double enough;    // advancing this much more must
    };
    const Case cases[] = {{60, std::nullopt, 59, 2}, {1000, 5.0, 4, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.idle);
        HttpRequest r = request("/slow");
        r.timeout = c.idle;
        r.totalTimeout = c.total;
        const int before = service.requests("/slow").size();
        Pending pending(client, r);
        ASSERT_TRUE(waitUntil([&] { return service.requests("/slow").size() == before + 1; }));
        clock.advance(c.tooEarly);
        // The client checks its clock every few milliseconds; give it the
        // chance to (wrongly) give up, then make sure it did not.
        testsupport::processEvents(200);
        EXPECT_FALSE(pending.finished());
        clock.advance(c.enough);
        EXPECT_EQ(pending.errorKind(), HttpErrorKind::timedOut);
    }
    service.release();
}

TEST_F(HttpClientTest, CancelFromAnotherThreadEndsTheRequest) {
    service.hold("/slow");
    // In flight: the server holds it.
    {
        HttpRequest r = request("/slow");
        r.cancelToken = std::make_shared<HttpCancelToken>();
        Pending pending(client, r);
        ASSERT_TRUE(waitUntil([&] { return service.inFlight() == 1; }));
        std::thread([token = r.cancelToken] { token->cancel(); }).join();
        EXPECT_EQ(pending.errorKind(), HttpErrorKind::cancelled);
    }
    // Cancelled before it starts: nothing is sent.
    {
        service.reset();
        HttpRequest r = request("/never");
        r.cancelToken = std::make_shared<HttpCancelToken>();
        r.cancelToken->cancel();
        Pending pending(client, r);
        EXPECT_EQ(pending.errorKind(), HttpErrorKind::cancelled);
        EXPECT_TRUE(service.requests("/never").isEmpty());
    }
    service.release();
}

TEST_F(HttpClientTest, AtMostSixConnectionsPerHostUnderTwentyConcurrentCalls) {
    service.hold("/held");
    std::vector<std::unique_ptr<Pending>> calls;
    for (int i = 0; i < 20; ++i)
        calls.push_back(std::make_unique<Pending>(client, request("/held")));
    ASSERT_TRUE(waitUntil([&] { return service.inFlight() == 6; }));
    // The other fourteen wait in the client, not at the server.
    EXPECT_EQ(service.requests("/held").size(), 6);

    // A request waiting for a free connection can be cancelled too.
    HttpRequest waiting = request("/held");
    waiting.cancelToken = std::make_shared<HttpCancelToken>();
    Pending cancelled(client, waiting);
    waiting.cancelToken->cancel();
    EXPECT_EQ(cancelled.errorKind(), HttpErrorKind::cancelled);

    service.release("/held");
    std::set<int> ports;
    for (auto& call : calls) {
        ASSERT_TRUE(waitUntil([&] { return call->finished(); }));
        EXPECT_EQ(call->future.get().status, 404);
    }
    EXPECT_EQ(service.maxInFlight(), 6);
    const auto got = service.requests("/held");
    EXPECT_EQ(got.size(), 20);
    for (const auto& r : got) ports.insert(r.remotePort);
    EXPECT_LE(ports.size(), 6u);
}

TEST_F(HttpClientTest, SequentialRequestsReuseOneConnection) {
    for (int i = 0; i < 3; ++i) client.send(request("/api/download/version"));
    const auto got = service.requests();
    ASSERT_EQ(got.size(), 3);
    EXPECT_EQ(got[1].remotePort, got[0].remotePort);
    EXPECT_EQ(got[2].remotePort, got[0].remotePort);
}

TEST_F(HttpClientTest, AfterADroppedConnectionTheNextRequestSucceeds) {
    client.send(request("/api/download/version"));
    DevService::Answer drop;
    drop.drop = true;
    service.queue("/drop", drop);
    EXPECT_THROW(client.send(request("/drop")), HttpError);
    // One drop is one failed request: the client does not quietly repeat it.
    EXPECT_EQ(service.requests("/drop").size(), 1);
    EXPECT_EQ(client.send(request("/api/download/version")).status, 200);
}

TEST_F(HttpClientTest, AnswersPastTheirCapEndAndAnswersWithinItArriveWhole) {
    const qint64 kMiB = 1024 * 1024;
    QByteArray large(3 * kMiB, 'x');
    large[0] = '[';
    struct Case {
        const char* name;
        AnswerServer::Mode mode;
        qint64 cap;
        bool toFile;
        bool succeeds;
    };
    const Case cases[] = {
        {"endless", AnswerServer::Mode::endless, kMiB, false, false},
        {"endless into a file", AnswerServer::Mode::endless, kMiB, true, false},
        {"announced past the cap", AnswerServer::Mode::whole, large.size() - 1, false, false},
        {"exactly the cap", AnswerServer::Mode::whole, large.size(), false, true},
        {"exactly the cap into a file", AnswerServer::Mode::whole, large.size(), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerServer server(c.mode, large);
        HttpRequest r;
        r.url = server.baseUrl() + "/items?t=1";
        r.maxBodyBytes = c.cap;
        const QString file = testsupport::root() + "/answer.bin";
        if (c.toFile) r.bodyFile = file;
        auto pending = std::async(std::launch::async, [&] { return client.send(r); });
        ASSERT_TRUE(waitUntil([&] {
            return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        }));
        if (c.succeeds) {
            const HttpResponse response = pending.get();
            EXPECT_EQ(response.status, 200);
            EXPECT_TRUE(c.toFile ? testsupport::readFile(file) == large : response.body == large);
            continue;
        }
        try {
            pending.get();
            ADD_FAILURE() << "no error";
        } catch (const HttpError& e) {
            EXPECT_EQ(e.kind(), HttpErrorKind::other);
            EXPECT_EQ(e.detail(), QString("the answer is larger than %1 bytes").arg(c.cap));
        }
        if (c.toFile) {
            EXPECT_LE(QFileInfo(file).size(), c.cap);
        }
        EXPECT_TRUE(testsupport::debugLogText().contains(
            "[HTTP] GET " + server.baseUrl() + "/items stopped: the answer is larger than " +
            QString::number(c.cap) + " bytes"));
    }
}

}  // namespace

// libcurl is loaded on the first request. When it cannot be, requests fail
// with the reason and the log says it once, and nothing else breaks: the
// next client after the library is back works.
TEST_F(HttpClientTest, WithoutLibcurlRequestsFailWithTheReasonInsteadOfCrashing) {
    const QString notALibrary = testsupport::root() + "/libcurl-not.so";
    testsupport::writeFile(notALibrary, "plain text, not a shared object");
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"missing", testsupport::root() + "/nowhere/libcurl.so.4"},
        {"not a shared object", notALibrary},
        // A real shared library without libcurl's functions.
        {"another library", QStringLiteral("libm.so.6")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CurlLibrary::setPathForTesting(c.path);
        HttpClient fresh(clock);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                fresh.send(request("/api/download/version"));
                ADD_FAILURE() << "a request without libcurl succeeded";
            } catch (const HttpError& e) {
                EXPECT_EQ(e.kind(), HttpErrorKind::other);
                EXPECT_TRUE(e.detail().startsWith("libcurl cannot be loaded ("))
                    << qPrintable(e.detail());
            }
        }
        EXPECT_THROW(HttpClient::checkURL(service.url("/")), HttpError);
        EXPECT_EQ(testsupport::debugLogText().count("[HTTP] libcurl cannot be loaded (" + c.path),
                  1);
    }
    CurlLibrary::setPathForTesting({});
    // (The stand-in's record of requests is read over HTTP too.)
    EXPECT_TRUE(service.requests().isEmpty());
    HttpClient fresh(clock);
    EXPECT_EQ(fresh.send(request("/api/download/version")).status, 200);
    EXPECT_TRUE(CurlLibrary::loadError().isEmpty());
}

// Loading libcurl shows GnuTLS a switch that keeps it from setting itself up;
// the process's environment, which children inherit, is the same after the
// loading as before, a user's own value of the switch included, whether the
// library loads or not.
TEST_F(HttpClientTest, LoadingLibcurlLeavesTheEnvironmentAsItWas) {
    const char* const kSwitch = "GNUTLS_NO_IMPLICIT_INIT";
    struct Case {
        const char* name;
        const char* userValue;  // nullptr: not set
        QString path;           // empty: the real library
    };
    const Case cases[] = {
        {"missing library, not set", nullptr, testsupport::root() + "/nowhere/libcurl.so.4"},
        {"missing library, the user's value", "0", testsupport::root() + "/nowhere/libcurl.so.4"},
        {"real library, not set", nullptr, {}},
        {"real library, the user's value", "0", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.userValue)
            qputenv(kSwitch, c.userValue);
        else
            qunsetenv(kSwitch);
        const QStringList before = QProcessEnvironment::systemEnvironment().toStringList();
        CurlLibrary::setPathForTesting(c.path);
        EXPECT_EQ(CurlLibrary::load(), c.path.isEmpty());
        EXPECT_EQ(QProcessEnvironment::systemEnvironment().toStringList(), before);
        EXPECT_EQ(qgetenv(kSwitch), QByteArray(c.userValue));
    }
    qunsetenv(kSwitch);
    CurlLibrary::setPathForTesting({});
    EXPECT_EQ(HttpClient(clock).send(request("/api/download/version")).status, 200);
}
