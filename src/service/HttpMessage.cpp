#include "service/HttpMessage.h"

#include <algorithm>

// ---------------------------------------------------------------- HttpError

HttpError::HttpError(HttpErrorKind kind, const QString& detail)
    : std::runtime_error(std::string(kindName(kind)) +
                         (detail.isEmpty() ? std::string() : ": " + detail.toStdString())),
      m_kind(kind),
      m_detail(detail) {}

HttpError HttpError::answerLargerThan(qint64 cap) {
    HttpError error(HttpErrorKind::other,
                    QStringLiteral("the answer is larger than %1 bytes").arg(cap));
    error.m_answerTooLarge = true;
    return error;
}

const char* HttpError::kindName(HttpErrorKind kind) {
    switch (kind) {
        case HttpErrorKind::connectionLost:
            return "connectionLost";
        case HttpErrorKind::timedOut:
            return "timedOut";
        case HttpErrorKind::cannotConnect:
            return "cannotConnect";
        case HttpErrorKind::dnsFailed:
            return "dnsFailed";
        case HttpErrorKind::tlsFailed:
            return "tlsFailed";
        case HttpErrorKind::badURL:
            return "badURL";
        case HttpErrorKind::cancelled:
            return "cancelled";
        case HttpErrorKind::other:
            return "other";
    }
    return "other";
}

QString HttpError::description() const {
    switch (m_kind) {
        case HttpErrorKind::connectionLost:
            return QStringLiteral("The network connection was lost.");
        case HttpErrorKind::timedOut:
            return QStringLiteral("The request timed out.");
        case HttpErrorKind::cannotConnect:
            return QStringLiteral("Could not connect to the server.");
        case HttpErrorKind::dnsFailed:
            return QStringLiteral("The server's host name could not be resolved.");
        case HttpErrorKind::tlsFailed:
            return QStringLiteral("A secure connection to the server could not be made.");
        case HttpErrorKind::badURL:
            return QStringLiteral("The address is not a usable service URL.");
        case HttpErrorKind::cancelled:
            return QStringLiteral("The request was cancelled.");
        case HttpErrorKind::other:
            break;
    }
    return m_detail.isEmpty() ? QStringLiteral("The request failed.")
                              : QStringLiteral("The request failed: %1").arg(m_detail);
}

bool HttpError::isTransient() const {
    switch (m_kind) {
        case HttpErrorKind::connectionLost:
        case HttpErrorKind::timedOut:
        case HttpErrorKind::cannotConnect:
        case HttpErrorKind::dnsFailed:
        case HttpErrorKind::tlsFailed:
            return true;
        default:
            return false;
    }
}

// -------------------------------------------------------------- HttpHeaders

HttpHeaders::HttpHeaders(std::initializer_list<QPair<QByteArray, QByteArray>> fields) {
    for (const auto& f : fields) m_fields.append(f);
}

static bool sameName(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void HttpHeaders::set(const QByteArray& name, const QByteArray& value) {
    remove(name);
    add(name, value);
}

void HttpHeaders::add(const QByteArray& name, const QByteArray& value) {
    m_fields.append({name, value});
}

void HttpHeaders::remove(const QByteArray& name) {
    m_fields.removeIf([&](const auto& f) { return sameName(f.first, name); });
}

bool HttpHeaders::contains(const QByteArray& name) const {
    for (const auto& f : m_fields)
        if (sameName(f.first, name)) return true;
    return false;
}

QByteArray HttpHeaders::value(const QByteArray& name) const {
    for (const auto& f : m_fields)
        if (sameName(f.first, name)) return f.second;
    return {};
}

QList<QByteArray> HttpHeaders::values(const QByteArray& name) const {
    QList<QByteArray> out;
    for (const auto& f : m_fields)
        if (sameName(f.first, name)) out.append(f.second);
    return out;
}

// ----------------------------------------------------------- HttpStreamBody

void HttpStreamBody::addBytes(const QByteArray& bytes) {
    if (bytes.isEmpty()) return;
    m_pieces.push_back({bytes, {}, bytes.size()});
    m_size += bytes.size();
}

bool HttpStreamBody::addFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const qint64 size = file.size();
    m_pieces.push_back({{}, path, size});
    m_size += size;
    return true;
}

bool HttpStreamBody::rewind() {
    m_index = 0;
    m_offset = 0;
    m_file.reset();
    return true;
}

bool HttpStreamBody::openPiece() {
    const Piece& piece = m_pieces[m_index];
    if (piece.path.isEmpty() || m_file) return true;
    m_file = std::make_unique<QFile>(piece.path);
    return m_file->open(QIODevice::ReadOnly) && m_file->size() == piece.size;
}

qint64 HttpStreamBody::read(char* out, qint64 max) {
    qint64 done = 0;
    while (done < max && m_index < m_pieces.size()) {
        const Piece& piece = m_pieces[m_index];
        const qint64 want = std::min(max - done, piece.size - m_offset);
        if (want > 0) {
            if (piece.path.isEmpty()) {
                memcpy(out + done, piece.bytes.constData() + m_offset, size_t(want));
            } else {
                if (!openPiece()) return -1;
                const qint64 got = m_file->read(out + done, want);
                // The file shrank or failed under us: the length already
                // announced can no longer be kept.
                if (got <= 0) return -1;
                m_offset += got;
                done += got;
                continue;
            }
            m_offset += want;
            done += want;
        }
        if (m_offset >= piece.size) {
            ++m_index;
            m_offset = 0;
            m_file.reset();
        }
    }
    return done;
}
