// The history store at the size a long-time user reaches: 100,000
// transcriptions. Opening the store, the first page of the history list, a
// search, and the dictionary pass over one dictation with 1,000 entries.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/DebugLog.h"
#include "fakes/FakeClock.h"
#include "records/HistoryService.h"
#include "HistoryBenchData.h"

namespace {

using historybench::randomText;

constexpr int kTranscriptions = 100000;

struct Fixture {
    QTemporaryDir dir;
    FakeClock clock;
    QString path;

    Fixture() {
        DebugLog::setPath(dir.filePath("bench.log"));
        path = dir.filePath("Ormil/Ormil.sqlite");
        HistoryService history(path, clock);
        QRandomGenerator rng(42);
        for (int i = 0; i < kTranscriptions; ++i) {
            QString text = randomText(rng, 10 + rng.bounded(30));
            // About one record in a thousand mentions the quarterly plan.
            if (i % 1000 == 7) text += QStringLiteral(" Quarterly Plän");
            history.saveTranscription(text, QStringLiteral("en"), 5.0);
            clock.advance(30);
            if (i % 1000 == 0) QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OpenStore(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        HistoryService history(f.path, f.clock);
        benchmark::DoNotOptimize(history.isStoreLoaded());
    }
}
BENCHMARK(BM_OpenStore)->Unit(benchmark::kMillisecond);

void BM_FirstPage(benchmark::State& state) {
    Fixture& f = fixture();
    HistoryService history(f.path, f.clock);
    history.isStoreLoaded();
    for (auto _ : state) {
        const auto page = history.fetchTranscriptions(200, 0);
        if (page.size() != 200) state.SkipWithError("short page");
    }
}
BENCHMARK(BM_FirstPage)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State& state, const char* query) {
    Fixture& f = fixture();
    HistoryService history(f.path, f.clock);
    history.isStoreLoaded();
    size_t found = 0;
    for (auto _ : state) found = history.searchTranscriptions(QString::fromUtf8(query)).size();
    state.counters["results"] = double(found);
}
BENCHMARK_CAPTURE(BM_Search, trigram, "QUARTERLY PLAN")->Unit(benchmark::kMillisecond);
// Under three characters there is no trigram to look up: the folded texts
// are scanned.
BENCHMARK_CAPTURE(BM_Search, short_query, "QU")->Unit(benchmark::kMillisecond);

void BM_ApplyDictionary(benchmark::State& state) {
    QTemporaryDir dir;
    FakeClock clock;
    HistoryService history(dir.filePath("dictionary.sqlite"), clock);
    QList<QPair<QString, QString>> entries;
    for (int i = 0; i < 1000; ++i)
        entries.append({QStringLiteral("term%1").arg(i), QStringLiteral("Term %1").arg(i)});
    // A few entries that the text really holds.
    entries.append({QStringLiteral("meeting"), QStringLiteral("Meeting")});
    entries.append({QStringLiteral("привет"), QStringLiteral("Привет")});
    history.replaceAllDictionaryEntries(entries);
    QRandomGenerator rng(7);
    QString text = randomText(rng, 195) + QStringLiteral(" term5 term500 term999 x term42");
    history.applyDictionary(text);  // the first call compiles the rules
    for (auto _ : state) benchmark::DoNotOptimize(history.applyDictionary(text));
    state.counters["entries"] = double(entries.size());
}
BENCHMARK(BM_ApplyDictionary)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    return 0;
}
