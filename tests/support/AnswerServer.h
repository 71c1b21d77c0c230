#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>

#include <gtest/gtest.h>

#include "fakes/FakeClock.h"
#include "support/TestSupport.h"

// A local HTTP server for answers no real service gives: an answer that never
// ends, one that trickles a byte when the test says so, or a given body. It
// lives on the test's thread: run the event loop (waitUntil, processEvents)
// while a request is out.
class AnswerServer {
public:
    enum class Mode {
        endless,  // 200 without a length, then bytes until the client leaves
        drip,     // 200 announcing `body`'s length, one byte of it per drip()
        whole,    // 200 with `body`
    };

    explicit AnswerServer(Mode mode, QByteArray body = {}) : m_mode(mode), m_body(std::move(body)) {
        m_server.listen(QHostAddress::LocalHost);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    }

    QString baseUrl() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }
    int requests() const { return m_requests; }
    // Sends the next byte of a dripping answer to every client waiting.
    void drip() {
        for (const QPointer<QTcpSocket>& s : m_dripping)
            if (s && m_dripped < m_body.size()) s->write(m_body.mid(m_dripped, 1));
        ++m_dripped;
    }

    // An endless answer stops here, so a client without a cap cannot take
    // the machine's memory while its test fails.
    static constexpr qint64 kEndlessStopsAt = 64 * 1024 * 1024;

private:
    void accept() {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            auto* head = new QByteArray;
            QObject::connect(s, &QObject::destroyed, [head] { delete head; });
            QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, head] {
                head->append(s->readAll());
                if (!head->contains("\r\n\r\n")) return;
                head->clear();
                ++m_requests;
                answer(s);
            });
        }
    }

    void answer(QTcpSocket* s) {
        switch (m_mode) {
            case Mode::whole:
                s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                         QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                return;
            case Mode::drip:
                s->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                         QByteArray::number(m_body.size()) + "\r\n\r\n");
                m_dripping << s;
                return;
            case Mode::endless: {
                s->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                    "Connection: close\r\n\r\n[");
                auto* sent = new qint64(0);
                QObject::connect(s, &QObject::destroyed, [sent] { delete sent; });
                const QByteArray chunk(64 * 1024, ' ');
                auto more = [s, sent, chunk] {
                    while (s->bytesToWrite() < 4 * chunk.size() && *sent < kEndlessStopsAt) {
                        s->write(chunk);
                        *sent += chunk.size();
                    }
                };
                QObject::connect(s, &QTcpSocket::bytesWritten, s, more);
                more();
                return;
            }
        }
    }

    Mode m_mode;
    QByteArray m_body;
    QTcpServer m_server;
    QList<QPointer<QTcpSocket>> m_dripping;
    qsizetype m_dripped = 0;
    int m_requests = 0;
};

// Keeps a dripping answer alive with a byte every 10 s of `clock` until
// `deadline` seconds have passed, checking that the call has not `ended`
// while bytes still move; the last step takes the clock past the deadline.
inline void dripPastTheDeadline(AnswerServer& server, FakeClock& clock, int deadline,
                                const std::function<bool()>& ended) {
    ASSERT_TRUE(testsupport::waitUntil([&] { return server.requests() == 1; }));
    for (int seconds = 10; seconds < deadline; seconds += 10) {
        server.drip();
        testsupport::processEvents(30);
        clock.advance(10);
        testsupport::processEvents(30);
        EXPECT_FALSE(ended()) << seconds;
    }
    server.drip();
    clock.advance(10);
}
