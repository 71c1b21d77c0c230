#include "support/VirtualMic.h"

#include <fcntl.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "support/TestSupport.h"

namespace VirtualMic {

QByteArray speech(const QString& text) {
    QTemporaryDir dir;
    const QString wav = dir.filePath("speech.wav");
    testsupport::runProgram("espeak-ng", {"-v", "en", "-s", "150", "-w", wav, text});
    return testsupport::runProgram(
        "sox", {wav, "-t", "raw", "-r", "16000", "-c", "1", "-b", "16", "-e", "signed-integer",
                "-L", "-"});
}

QByteArray speechWav(const QString& text) {
    const QByteArray pcm = speech(text);
    QByteArray h(44, 0);
    auto put32 = [&](int at, quint32 v) { qToLittleEndian(v, h.data() + at); };
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, h.data() + at); };
    memcpy(h.data(), "RIFF", 4);
    put32(4, 36 + pcm.size());
    memcpy(h.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 1);
    put32(24, 16000);
    put32(28, 32000);
    put16(32, 2);
    put16(34, 16);
    memcpy(h.data() + 36, "data", 4);
    put32(40, pcm.size());
    return h + pcm;
}

QByteArray tone(double hz, double seconds, double amplitude) {
    const int n = int(seconds * 16000);
    QByteArray pcm(n * 2, 0);
    auto* s = reinterpret_cast<qint16*>(pcm.data());
    for (int i = 0; i < n; ++i)
        s[i] = qint16(std::lround(amplitude * 32767 * std::sin(2 * M_PI * hz * i / 16000.0)));
    return pcm;
}

QByteArray silence(double seconds) { return QByteArray(int(seconds * 16000) * 2, 0); }

int peak(const QByteArray& pcm) {
    int best = 0;
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    for (qsizetype i = 0; i < pcm.size() / 2; ++i) best = std::max(best, std::abs(int(s[i])));
    return best;
}

void play(const QByteArray& pcm) {
    const QByteArray fifo = qgetenv("ORMIL_TEST_MIC_FIFO");
    if (fifo.isEmpty()) return;
    // The feeder of the test environment paces what we write at real time;
    // we only wait until it has been played.
    const auto start = std::chrono::steady_clock::now();
    int fd = ::open(fifo.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return;
    qsizetype off = 0;
    while (off < pcm.size()) {
        ssize_t n = ::write(fd, pcm.constData() + off, size_t(pcm.size() - off));
        if (n <= 0) break;
        off += n;
    }
    ::close(fd);
    std::this_thread::sleep_until(start + std::chrono::milliseconds(pcm.size() / 32 + 40));
}

namespace {
std::thread g_player;
}

void playAsync(const QByteArray& pcm) {
    waitPlayed();
    g_player = std::thread([pcm] { play(pcm); });
}

void waitPlayed() {
    if (g_player.joinable()) g_player.join();
}

}  // namespace VirtualMic
