// Cost of one keystroke through the hotkey dispatcher: every key the user
// types anywhere passes it, so a letter that is no shortcut is the common
// path; the key table lookup is what the X source adds per key.
#include <benchmark/benchmark.h>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "pipeline/HotkeyService.h"
#include "fakes/FakeClock.h"
#include "platform/InputAccess.h"
#include "platform/KeyCodes.h"
#include "platform/KeyEventSource.h"
#include "platform/SettingsStore.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakeKeyEventSource.h"
#include "fakes/FakeOverlay.h"

static void BM_DispatchOrdinaryKeystroke(benchmark::State& state) {
    SettingsStore settings;
    settings.set("translateKeyCode", 54);
    settings.set("translateIsModifier", true);
    FakeClock clock;
    FakeKeyEventSource keys;
    FakeInputAccess access;
    FakeOverlay overlay;
    AppState appState(settings, {});
    HotkeyService service(settings, clock, keys, access, overlay, appState);
    service.setup();
    for (auto _ : state) {
        keys.press(KeyCodes::leftShift);
        keys.press(0);
        keys.release(0);
        keys.release(KeyCodes::leftShift);
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_DispatchOrdinaryKeystroke);

static void BM_KeysymLookup(benchmark::State& state) {
    const quint32 keysyms[] = {0x61, 0x76, 0xffea, 0xffe1, 0xffbe, 0xff0d, 0xff61};
    for (auto _ : state)
        for (quint32 k : keysyms) benchmark::DoNotOptimize(KeyCodes::fromKeysym(k));
    state.SetItemsProcessed(state.iterations() * std::size(keysyms));
}
BENCHMARK(BM_KeysymLookup);

BENCHMARK_MAIN();
