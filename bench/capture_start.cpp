// The recorder's part of key down to the first captured sample: from
// record() (which returns at once) to the first block of samples pushed from
// the capture thread, on the application's kept sound-server connection,
// idle and with every core kept busy. bench/record_start.sh gives the part
// before it (key press to record()); the two add up to key down to the first
// sample. Run inside the test environment (its virtual microphone):
//   scripts/with-test-env build/bench/bench_capture_start
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/pulse/PulseAudioCapture.h"
#include "platform/pulse/PulseServer.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 20;

double firstSampleMs(PulseServer& server, const QString& path) {
    QFile::remove(path);  // the recorder makes its file anew
    PulseAudioCapture capture(path, QString(), server);
    std::atomic<bool> got{false};
    Clock::time_point first;
    capture.onSamples = [&](const char*, qint64) {
        if (!got) first = Clock::now();
        got = true;
    };
    const Clock::time_point start = Clock::now();
    if (!capture.record()) {
        std::printf("record() failed: %s\n", capture.errorString().toUtf8().constData());
        return -1;
    }
    while (!got && Clock::now() - start < std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    capture.stop();
    if (!got) {
        std::printf("nothing in 5 s: %s\n", capture.errorString().toUtf8().constData());
        return -1;
    }
    return std::chrono::duration<double, std::milli>(first - start).count();
}

void measure(const char* label, PulseServer& server, const QString& path) {
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const double t = firstSampleMs(server, path);
        if (t < 0) {
            std::printf("%s: no samples came\n", label);
            return;
        }
        ms.push_back(t);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%7s: record() to the first pushed sample: median %5.1f ms (min %.1f, max %.1f)\n",
                label, ms[ms.size() / 2], ms.front(), ms.back());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString path = QDir::temp().filePath("ormil_bench_capture.wav");
    PulseServer server;
    if (!server.connect()) {
        std::printf("no sound server\n");
        return 1;
    }
    measure("idle", server, path);
    std::atomic<bool> stop{false};
    std::vector<std::thread> spinners;
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i)
        spinners.emplace_back([&] {
            while (!stop) {
            }
        });
    measure("loaded", server, path);
    stop = true;
    for (auto& t : spinners) t.join();
    QFile::remove(path);
    return 0;
}
