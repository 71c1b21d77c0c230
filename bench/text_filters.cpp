// Cost of cleaning one transcript: the invented-phrase filter and the whole
// post-processing, on a typical paragraph of dictation.
#include <benchmark/benchmark.h>

#include "pipeline/HallucinationFilter.h"
#include "pipeline/TextPostProcessor.h"

namespace {
const QString kParagraph = QStringLiteral(
    "Сегодня мы обсудили план работы на следующую неделю , распределили задачи [музыка] и "
    "договорились встретиться в четверг!! Он сказал «начнём с отчёта. Субтитры сделал "
    "SubtitleFox");
}

static void BM_HallucinationFilter(benchmark::State& state) {
    const HallucinationFilter& f = HallucinationFilter::shared();
    for (auto _ : state) benchmark::DoNotOptimize(f.filter(kParagraph));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_HallucinationFilter);

static void BM_TextPostProcessor(benchmark::State& state) {
    const TextPostProcessor p(HallucinationFilter::shared());
    for (auto _ : state) benchmark::DoNotOptimize(p.process(kParagraph));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextPostProcessor);

BENCHMARK_MAIN();
