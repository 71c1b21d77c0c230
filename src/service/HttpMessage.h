#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// What a caller of HttpClient builds and reads: the request, its body, the
// response, the cancel token and the transport errors.

// How a request failed on its way, as the callers of the service tell
// failures apart (a dropped connection is retried, a bad URL is not).
enum class HttpErrorKind {
    connectionLost,
    timedOut,
    cannotConnect,
    dnsFailed,
    tlsFailed,
    badURL,
    cancelled,
    other,
};

// A request that produced no HTTP response. A response with any status,
// 4xx and 5xx included, is not an error.
class HttpError : public std::runtime_error {
public:
    HttpError(HttpErrorKind kind, const QString& detail = {});
    // The answer's body passed the request's `maxBodyBytes`.
    static HttpError answerLargerThan(qint64 cap);

    HttpErrorKind kind() const { return m_kind; }
    bool isAnswerTooLarge() const { return m_answerTooLarge; }
    // The transport's own words (empty when there are none).
    const QString& detail() const { return m_detail; }
    // The sentence a user may see, the same for every error of one kind.
    QString description() const;
    // A dropped connection, a timeout, a refused or unresolved host, a
    // failed TLS handshake: worth sending again.
    bool isTransient() const;

    static const char* kindName(HttpErrorKind kind);

private:
    HttpErrorKind m_kind;
    QString m_detail;
    bool m_answerTooLarge = false;
};

// Header fields in arrival order; names compare case-insensitively.
class HttpHeaders {
public:
    HttpHeaders() = default;
    HttpHeaders(std::initializer_list<QPair<QByteArray, QByteArray>> fields);

    // Replaces every field of that name.
    void set(const QByteArray& name, const QByteArray& value);
    void add(const QByteArray& name, const QByteArray& value);
    void remove(const QByteArray& name);
    bool contains(const QByteArray& name) const;
    // The first value of that name, or an empty array.
    QByteArray value(const QByteArray& name) const;
    QList<QByteArray> values(const QByteArray& name) const;
    const QList<QPair<QByteArray, QByteArray>>& fields() const { return m_fields; }
    bool isEmpty() const { return m_fields.isEmpty(); }

private:
    QList<QPair<QByteArray, QByteArray>> m_fields;
};

// Set from any thread; a request that carries it ends with `cancelled` soon
// after (or never starts).
class HttpCancelToken {
public:
    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }

private:
    std::atomic<bool> m_cancelled{false};
};

// A request body read piece by piece while it is sent: bytes held in
// memory and files read from disk, in the order they were added, so that a
// large file never sits in memory whole. One body serves one request.
class HttpStreamBody {
public:
    void addBytes(const QByteArray& bytes);
    // Measures the file now; false when it cannot be opened.
    bool addFile(const QString& path);
    qint64 size() const { return m_size; }

    // Back to the first byte (a redirect sends the body again).
    bool rewind();
    // Up to max bytes into out; 0 at the end, -1 when a file cannot be read
    // or no longer has the size it had when it was added.
    qint64 read(char* out, qint64 max);

private:
    struct Piece {
        QByteArray bytes;
        QString path;
        qint64 size = 0;
    };
    bool openPiece();

    std::vector<Piece> m_pieces;
    qint64 m_size = 0;
    size_t m_index = 0;
    qint64 m_offset = 0;
    std::unique_ptr<QFile> m_file;
};

struct HttpRequest {
    QByteArray method = "GET";
    QString url;
    HttpHeaders headers;
    // Sent exactly as given. A POST, PUT or PATCH without a body sends an
    // empty one.
    QByteArray body;
    // When set, the body is read from here instead (same bytes on the wire).
    std::shared_ptr<HttpStreamBody> streamBody;
    // When set, the answer's body goes into this file (created or emptied)
    // instead of HttpResponse::body, whatever the status.
    QString bodyFile;
    // Seconds without a byte moving in either direction (the connection
    // phase included) before the request ends with `timedOut`; 0 or less:
    // no limit.
    double timeout = 60;
    // Seconds for the whole exchange, the wait for a free connection
    // included.
    std::optional<double> totalTimeout;
    // Most bytes of the answer's body (in memory or into bodyFile); a longer
    // answer ends the request with `other`, as soon as its announced length
    // or the bytes received pass the cap. None: no cap.
    std::optional<qint64> maxBodyBytes;
    std::shared_ptr<HttpCancelToken> cancelToken;
};

struct HttpResponse {
    int status = 0;
    HttpHeaders headers;
    QByteArray body;

    bool isSuccess() const { return status >= 200 && status <= 299; }
};
