// Cost of one typed key through the text-expansion engine with 1,000
// snippets, half of them also matched on the other keyboard layout: every
// key the user types anywhere passes it. Goal: under 20 us per key. The
// typed text never completes a trigger, so every key scans every snippet.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>

#include "fakes/FakeClock.h"
#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeKeyEventSource.h"
#include "fakes/FakeKeySynthesizer.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakePasteboard.h"
#include "pipeline/KeyboardSimulator.h"
#include "pipeline/TextExpansionEngine.h"
#include "platform/KeySynthesizer.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/WindowWatcher.h"
#include "records/TextExpansionService.h"

static void BM_TypedKeyWithThousandItems(benchmark::State& state) {
    const QString file = QDir::tempPath() + "/ormil-bench-expansions.json";
    QFile::remove(file);
    TextExpansionService items(file);
    QList<TextExpansionItem> list;
    for (int i = 0; i < 1000; ++i) {
        TextExpansionItem item;
        item.id = QUuid::createUuid();
        item.trigger = QString(";q%1").arg(i);
        item.expandedText = "expanded text";
        item.matchBothLayouts = i % 2 == 0;
        list << item;
    }
    items.setItems(list);
    FakeClock clock;
    FakePasteboard pasteboard;
    FakeKeySynthesizer keys;
    FakeFrontmostApp frontmost;
    FakeNotifier notifier;
    SettingsStore settings;
    WindowWatcher windows;
    FakeKeyEventSource source;
    KeyboardSimulator inserter(pasteboard, keys, frontmost, notifier, settings, clock);
    TextExpansionEngine engine({items, source, keys, &pasteboard, inserter, windows, clock});
    engine.start();
    const QString typed = QString::fromUtf8("the quick brown fox привет mир ");
    KeyEvent event;
    event.type = KeyEventType::keyDown;
    event.keyIsDown = true;
    qsizetype i = 0;
    for (auto _ : state) {
        const QChar c = typed[i++ % typed.size()];
        event.keyCode = c == ' ' ? 60 : 0;  // no Space: the buffer keeps growing to its cap
        event.text = QString(c);
        source.send(event);
    }
    if (engine.isExpanding()) state.SkipWithError("a trigger fired");
    state.SetItemsProcessed(state.iterations());
    QFile::remove(file);
}
BENCHMARK(BM_TypedKeyWithThousandItems)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
