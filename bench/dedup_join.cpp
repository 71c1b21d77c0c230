// Joining the window texts of a 25-minute dictation: 31 windows of 60 s of
// speech, about 150 words each, neighbours sharing the words of their 12 s
// overlap. Goal: under 5 ms.
#include <benchmark/benchmark.h>

#include <QStringList>
#include <cstdio>
#include <random>

#include "service/TranscriptionService.h"

namespace {

QStringList windowTexts() {
    static const char* vocabulary[] = {
        "и",     "мы",     "решили", "что",     "завтра", "утром",  "поедем",  "на",
        "дачу",  "потому", "погода", "обещает", "быть",   "тёплой", "the",     "meeting",
        "moved", "to",     "Friday", "because", "nobody", "could",  "attend",  "today,",
        "we'll", "need",   "a",      "budget",  "review", "before", "launch.", "Okay",
        "so",    "anyway", "ещё",    "нужно",   "купить", "молоко", "хлеб",    "и",
        "сыр",   "—",      "well",   "I",       "think",  "that's", "it",      "for",
    };
    std::mt19937 random(42);
    std::uniform_int_distribution<int> pick(0, int(std::size(vocabulary)) - 1);
    // 25 minutes at 150 words a minute.
    QStringList speech;
    for (int i = 0; i < 25 * 150 + 60; ++i) speech << QString::fromUtf8(vocabulary[pick(random)]);
    QStringList windows;
    for (int k = 0; k < 31; ++k) {
        // 60 s windows every 48 s: 150 words starting every 120 words.
        const int start = k * 120;
        windows << QStringList(speech.mid(start, 150)).join(' ');
    }
    return windows;
}

void BM_DedupJoin31Windows(benchmark::State& state) {
    const QStringList texts = windowTexts();
    for (auto _ : state) benchmark::DoNotOptimize(TranscriptionService::dedupJoin(texts));
}
BENCHMARK(BM_DedupJoin31Windows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    // The goal, stated where the figure is printed.
    std::printf("dedupJoin of 31 windows x 150 words: goal < 5 ms per join\n");
    benchmark::Shutdown();
    return 0;
}
