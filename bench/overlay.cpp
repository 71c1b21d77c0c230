// Main-thread cost of the overlay's periodic work: one level-meter tick
// (20 per second while recording) and one frame of each pill.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "overlay/OverlayModel.h"
#include "overlay/OverlayPainter.h"
#include "platform/DebugLog.h"
#include "fakes/FakeClock.h"

static void BM_MeterTick(benchmark::State& state) {
    QTemporaryDir dir;
    DebugLog::setPath(dir.filePath("bench.log"));
    FakeClock clock;
    OverlayModel model(clock);
    model.startWaveform();
    model.setAudioLevel(0.4f);
    for (auto _ : state) model.updateBars();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MeterTick);

static void BM_PaintPill(benchmark::State& state) {
    PillLook look;
    look.kind = static_cast<PillLook::Kind>(state.range(0));
    look.sticky = true;
    look.stickyBorderOpacity = 0.6;
    look.barHeights = {4, 6, 9, 12, 15, 14, 11, 8, 6, 4};
    look.text = QStringLiteral("Processing text…");
    QImage img(280, 76, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        img.fill(Qt::transparent);
        QPainter p(&img);
        OverlayPainter::paintPill(p, QRectF(0, 0, 280, 76), look);
    }
    state.SetLabel(std::array{"idle", "recording", "processing", "postProcessing", "success",
                              "error"}[state.range(0)]);
}
BENCHMARK(BM_PaintPill)->DenseRange(0, 5);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
