#include "HttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace devservice {

namespace {

constexpr qsizetype kMaxHeaderBytes = 64 * 1024;
constexpr qsizetype kMaxBodyBytes = 200 * 1024 * 1024;
constexpr int kKeepAliveMs = 30000;
constexpr int kPollMs = 100;

bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const char* reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 201:
            return "Created";
        case 204:
            return "No Content";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 411:
            return "Length Required";
        case 413:
            return "Payload Too Large";
        case 422:
            return "Unprocessable Entity";
        case 429:
            return "Too Many Requests";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        default:
            return "Status";
    }
}

// Reads from a socket with short waits, so that stop() is seen quickly.
class Reader {
public:
    Reader(int fd, const std::atomic<bool>& stop) : m_fd(fd), m_stop(stop) {}

    // Appends whatever arrives; false on close, error, stop or idle timeout.
    bool fill(int idleMs) {
        int waited = 0;
        for (;;) {
            if (m_stop.load()) return false;
            pollfd p{m_fd, POLLIN, 0};
            const int r = ::poll(&p, 1, kPollMs);
            if (r < 0 && errno != EINTR) return false;
            if (r > 0) break;
            waited += kPollMs;
            if (waited >= idleMs) return false;
        }
        char chunk[64 * 1024];
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n <= 0) return false;
        buffer.append(chunk, n);
        return true;
    }

    // Ensures at least `count` bytes are buffered.
    bool need(qsizetype count, int idleMs) {
        while (buffer.size() < count)
            if (!fill(idleMs)) return false;
        return true;
    }

    // Returns the next CRLF-terminated line (without CRLF) or false.
    bool line(QByteArray& out, int idleMs) {
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n");
            if (end >= 0) {
                out = buffer.left(end);
                buffer.remove(0, end + 2);
                return true;
            }
            if (buffer.size() > kMaxHeaderBytes || !fill(idleMs)) return false;
        }
    }

    QByteArray buffer;

private:
    int m_fd;
    const std::atomic<bool>& m_stop;
};

bool writeAll(int fd, const QByteArray& data) {
    qsizetype sent = 0;
    while (sent < data.size()) {
        const ssize_t n =
            ::send(fd, data.constData() + sent, size_t(data.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += n;
    }
    return true;
}

bool readChunkedBody(Reader& in, QByteArray& body) {
    for (;;) {
        QByteArray sizeLine;
        if (!in.line(sizeLine, kKeepAliveMs)) return false;
        bool ok = false;
        const qsizetype size = sizeLine.split(';').first().trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0 || body.size() + size > kMaxBodyBytes) return false;
        if (size == 0) {
            QByteArray trailer;
            do {
                if (!in.line(trailer, kKeepAliveMs)) return false;
            } while (!trailer.isEmpty());
            return true;
        }
        if (!in.need(size + 2, kKeepAliveMs)) return false;
        body.append(in.buffer.left(size));
        in.buffer.remove(0, size + 2);
    }
}

}  // namespace

QByteArray Request::header(const QByteArray& name) const {
    for (const auto& h : headers)
        if (sameName(h.first, name)) return h.second;
    return {};
}

QByteArray Request::bearerToken() const {
    const QByteArray value = header("Authorization");
    if (!value.startsWith("Bearer ")) return {};
    return value.mid(7).trimmed();
}

void Response::setJson(int code, const QByteArray& json) {
    status = code;
    body = json;
    setHeader("Content-Type", "application/json");
}

void Response::setHeader(const QByteArray& name, const QByteArray& value) {
    headers.removeIf([&](const auto& h) { return sameName(h.first, name); });
    headers.append({name, value});
}

HttpServer::HttpServer(Handler handler) : m_handler(std::move(handler)) {}

HttpServer::~HttpServer() {
    stop();
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [&] { return m_threads == 0; });
    if (m_listenFd >= 0) ::close(m_listenFd);
}

int HttpServer::bind(int port) {
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0) return -1;
    const int yes = 1;
    ::setsockopt(m_listenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(uint16_t(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_listenFd, 128) != 0)
        return -1;
    socklen_t len = sizeof addr;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len);
    return ntohs(addr.sin_port);
}

void HttpServer::run() {
    while (!m_stop.load()) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0) continue;
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        const int fd =
            ::accept4(m_listenFd, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_CLOEXEC);
        if (fd < 0) {
            // Out of descriptors: give the open connections time to end
            // instead of spinning on a listener that stays readable.
            if (errno == EMFILE || errno == ENFILE) ::poll(nullptr, 0, kPollMs);
            continue;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        {
            std::lock_guard lock(m_mutex);
            m_connections.insert(fd);
            ++m_threads;
        }
        std::thread([this, fd, port = int(ntohs(peer.sin_port))] {
            serveConnection(fd, port);
            forget(fd);
        }).detach();
    }
}

void HttpServer::stop() {
    m_stop.store(true);
    std::lock_guard lock(m_mutex);
    for (int fd : m_connections) ::shutdown(fd, SHUT_RDWR);
}

void HttpServer::forget(int fd) {
    ::close(fd);
    std::lock_guard lock(m_mutex);
    m_connections.erase(fd);
    --m_threads;
    m_idle.notify_all();
}

void HttpServer::serveConnection(int fd, int remotePort) {
    Reader in(fd, m_stop);
    for (;;) {
        Request req;
        req.remotePort = remotePort;
        QByteArray requestLine;
        if (!in.line(requestLine, kKeepAliveMs)) return;
        const QList<QByteArray> parts = requestLine.split(' ');
        if (parts.size() != 3 || !parts[2].startsWith("HTTP/1.")) {
            writeAll(fd,
                     "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
            return;
        }
        req.method = parts[0];
        const QByteArray target = parts[1];
        const qsizetype q = target.indexOf('?');
        req.path = q < 0 ? target : target.left(q);
        req.query = q < 0 ? QByteArray() : target.mid(q + 1);
        bool keepAlive = parts[2] == "HTTP/1.1";

        QByteArray headerLine;
        for (;;) {
            if (!in.line(headerLine, kKeepAliveMs)) return;
            if (headerLine.isEmpty()) break;
            const qsizetype colon = headerLine.indexOf(':');
            if (colon <= 0) return;
            req.headers.append(
                {headerLine.left(colon).trimmed(), headerLine.mid(colon + 1).trimmed()});
        }
        const QByteArray connection = req.header("Connection").toLower();
        if (connection == "close") keepAlive = false;
        if (connection == "keep-alive") keepAlive = true;

        if (req.header("Transfer-Encoding").toLower().contains("chunked")) {
            if (!readChunkedBody(in, req.body)) return;
        } else if (!req.header("Content-Length").isEmpty()) {
            bool ok = false;
            const qsizetype length = req.header("Content-Length").trimmed().toLongLong(&ok);
            if (!ok || length < 0 || length > kMaxBodyBytes) {
                writeAll(fd,
                         "HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: "
                         "close\r\n\r\n");
                return;
            }
            if (!in.need(length, kKeepAliveMs)) return;
            req.body = in.buffer.left(length);
            in.buffer.remove(0, length);
        }

        Response res;
        m_handler(req, res);
        if (res.drop || m_stop.load()) {
            // Break off after the head of an answer whose body never comes.
            // A client may send a request again by itself when a reused
            // connection closes before any answer; a started answer it
            // never repeats, so one drop is seen as one failed request.
            if (res.drop) writeAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 64\r\n\r\n");
            ::shutdown(fd, SHUT_RDWR);
            return;
        }
        QByteArray out =
            "HTTP/1.1 " + QByteArray::number(res.status) + ' ' + reasonPhrase(res.status) + "\r\n";
        for (const auto& [name, value] : res.headers) out += name + ": " + value + "\r\n";
        out += "Content-Length: " + QByteArray::number(res.body.size()) + "\r\n";
        out += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
        if (req.method != "HEAD") out += res.body;
        if (!writeAll(fd, out) || !keepAlive) return;
    }
}

}  // namespace devservice
