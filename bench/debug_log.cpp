// Cost of one debug log line (open, append, close), the logger's whole path.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "platform/DebugLog.h"

static void BM_DebugLogAppend(benchmark::State& state) {
    QTemporaryDir dir;
    DebugLog::setPath(dir.filePath("bench.log"));
    const QString message = QStringLiteral("[Audio] meter level -23.5 dB, duration 12.3 s");
    for (auto _ : state) debugLog(message);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DebugLogAppend);

BENCHMARK_MAIN();
