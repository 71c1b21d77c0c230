#pragma once

// A small HTTP/1.1 server on loopback. It hands each request whole (the
// body exactly as it came, multipart included) to one handler, keeps
// connections alive, and can drop a connection without answering, which is
// what the tests of a client's transport errors need.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

namespace devservice {

struct Request {
    QByteArray method;
    QByteArray path;   // without the query
    QByteArray query;  // after "?", undecoded
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int remotePort = 0;

    // The first value of a header, names compared case-insensitively.
    QByteArray header(const QByteArray& name) const;
    // The token of "Authorization: Bearer <token>", or empty.
    QByteArray bearerToken() const;
};

struct Response {
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Close the connection without a complete answer.
    bool drop = false;

    void setJson(int status, const QByteArray& json);
    void setHeader(const QByteArray& name, const QByteArray& value);
};

using Handler = std::function<void(const Request&, Response&)>;

class HttpServer {
public:
    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds 127.0.0.1:port (0: any free port). Returns the bound port, or -1.
    int bind(int port);
    // Serves until stop() is called (from another thread or a signal).
    void run();
    // Ends run() soon; safe from a signal handler.
    void requestStop() { m_stop.store(true); }
    // Ends run() and closes every open connection.
    void stop();

private:
    void serveConnection(int fd, int remotePort);
    void forget(int fd);

    Handler m_handler;
    int m_listenFd = -1;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_idle;
    std::set<int> m_connections;
    int m_threads = 0;
};

}  // namespace devservice
