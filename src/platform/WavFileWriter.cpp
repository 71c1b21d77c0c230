#include "platform/WavFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {
void putLe32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF));
}
void putLe16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}
}  // namespace

WavFileWriter::~WavFileWriter() {
    if (m_file) finish();
}

QByteArray WavFileWriter::header(int sampleRate, int channels, quint32 dataBytes) {
    const quint16 blockAlign = quint16(channels * 2);
    QByteArray h;
    h.reserve(44);
    h.append("RIFF");
    putLe32(h, dataBytes + 36);
    h.append("WAVE");
    h.append("fmt ");
    putLe32(h, 16);
    putLe16(h, 1);  // PCM
    putLe16(h, quint16(channels));
    putLe32(h, quint32(sampleRate));
    putLe32(h, quint32(sampleRate) * blockAlign);
    putLe16(h, blockAlign);
    putLe16(h, 16);
    h.append("data");
    putLe32(h, dataBytes);
    return h;
}

bool WavFileWriter::open(const QString& path, int sampleRate, int channels) {
    if (m_file) {
        m_error = QStringLiteral("already open");
        return false;
    }
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        m_error = errnoText();
        return false;
    }
    m_file = ::fdopen(fd, "wb");
    if (!m_file) {
        m_error = errnoText();
        ::close(fd);
        return false;
    }
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_dataBytes = 0;
    const QByteArray h = header(sampleRate, channels, 0);
    if (std::fwrite(h.constData(), 1, size_t(h.size()), m_file) != size_t(h.size()) ||
        std::fflush(m_file) != 0) {
        m_error = errnoText();
        std::fclose(m_file);
        m_file = nullptr;
        return false;
    }
    return true;
}

bool WavFileWriter::append(const char* data, qint64 size) {
    if (!m_file) return false;
    if (size <= 0) return true;
    // Flushed at once: the live encoder reads the growing file every few
    // seconds and must see every sample written so far.
    if (std::fwrite(data, 1, size_t(size), m_file) != size_t(size) || std::fflush(m_file) != 0) {
        m_error = errnoText();
        return false;
    }
    m_dataBytes += size;
    return true;
}

bool WavFileWriter::finish() {
    if (!m_file) return false;
    // A WAV size field holds at most 4 GiB; longer data keeps the maximum.
    const quint32 data = quint32(std::min<qint64>(m_dataBytes, 0xFFFFFFFFLL - 36));
    const QByteArray h = header(m_sampleRate, m_channels, data);
    bool ok = std::fseek(m_file, 0, SEEK_SET) == 0 &&
              std::fwrite(h.constData(), 1, size_t(h.size()), m_file) == size_t(h.size());
    if (std::fclose(m_file) != 0) ok = false;
    if (!ok) m_error = errnoText();
    m_file = nullptr;
    return ok;
}
