// Cost of the interface texts: the first lookup of a process (median over
// fresh processes), which pays for whatever the texts need before they can be
// read, and a lookup after it.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/L10n.h"
#include "platform/SettingsStore.h"

namespace {

// Prints the nanoseconds of this process's first lookup.
int firstLookupOnce() {
    SettingsStore settings;
    SettingsStore::setSharedForTesting(&settings);
    settings.set(QStringLiteral("interfaceLanguage"), QStringLiteral("de"));
    QElapsedTimer timer;
    timer.start();
    const QString text = L10n::openOrmil();
    const qint64 ns = timer.nsecsElapsed();
    SettingsStore::setSharedForTesting(nullptr);
    if (text.isEmpty()) return 1;
    std::printf("%lld\n", static_cast<long long>(ns));
    return 0;
}

void reportFirstLookup(const char* self) {
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        QProcess p;
        p.start(QString::fromLocal8Bit(self), {QStringLiteral("--first-lookup-once")});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            std::fprintf(stderr, "the first-lookup run failed\n");
            return;
        }
        ms.push_back(p.readAllStandardOutput().trimmed().toDouble() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("first lookup of a process: median %.3f ms, min %.3f, max %.3f\n",
                ms[ms.size() / 2], ms.front(), ms.back());
}

void BM_L10nLookup(benchmark::State& state) {
    SettingsStore settings;
    SettingsStore::setSharedForTesting(&settings);
    settings.set(QStringLiteral("interfaceLanguage"), QStringLiteral("ja"));
    for (auto _ : state) benchmark::DoNotOptimize(L10n::sessionExpiredTitle());
    SettingsStore::setSharedForTesting(nullptr);
}
BENCHMARK(BM_L10nLookup);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--first-lookup-once") == 0) return firstLookupOnce();
    reportFirstLookup(argv[0]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
