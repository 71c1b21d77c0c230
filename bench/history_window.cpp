// The main window's History page over a store of 100,000 dictations, as a
// user meets it:
// - opening the window on History, to the page painted;
// - a search keystroke (one letter, two letters, a word) posted as a key
//   event, to its result listed and painted, and the longest stall of the
//   event loop meanwhile (the worst lateness of a 1 ms timer);
// - scrolling the one-letter result (every record but a few) from top to
//   bottom with 60 wheel events a second, each a fast flick of many
//   notches: the longest stall, and the memory after it against the page
//   at rest before it;
// - the store's search alone and the one-time migration of folded texts.
// Offscreen Qt; prints medians and worst cases at the end.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "HistoryBenchData.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "mainwindow/HistorySection.h"
#include "mainwindow/MainWindowView.h"
#include "platform/Allocator.h"
#include "platform/DebugLog.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "records/HistoryService.h"
#include "ui/SearchField.h"

namespace {

constexpr int kTranscriptions = 100000;
// How long one measurement may run before it is given up (a frozen page).
constexpr qint64 kGiveUpMs = 60000;
// A wheel event scrolls at most a page: a 100,000-row list takes minutes.
const qint64 kScrollGiveUpMs = qEnvironmentVariableIntValue("ORMIL_BENCH_SCROLL_S") > 0
                                   ? qEnvironmentVariableIntValue("ORMIL_BENCH_SCROLL_S") * 1000LL
                                   : 400000;

struct Fixture {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(14, 30))};
    QString path;
    Fixture() {
        DebugLog::setPath(dir.filePath("bench.log"));
        path = dir.filePath("Ormil/Ormil.sqlite");
        historybench::fillStore(path, clock, kTranscriptions, false);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

struct Figures {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median() const {
        if (values.empty()) return -1;
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    double worst() const {
        return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
    }
};

Figures g_open, g_search, g_migration, g_idle;
Figures g_keyTime[3], g_keyAll[3], g_keyStall[3];
Figures g_scrollStall, g_scrollMemory, g_scrollSeconds, g_scrollOver;
int g_keyResults[3] = {0, 0, 0};
bool g_scrollReachedEnd = true;

// The event loop's longest stall: a 1 ms timer's worst lateness.
class StallProbe {
public:
    StallProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const double now = m_clock.nsecsElapsed() / 1e6;
            m_worst = std::max(m_worst, now - m_last - 1.0);
            if (now - m_last - 1.0 > 16) ++m_over;
            m_last = now;
        });
        m_clock.start();
        m_timer.start();
    }
    double worstMs() {
        // A stall still running when asked counts too.
        const double now = m_clock.nsecsElapsed() / 1e6;
        return std::max(m_worst, now - m_last - 1.0);
    }

    // Stalls longer than a frame (16 ms).
    int overFrame() const { return m_over; }

private:
    int m_over = 0;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0;
    double m_worst = 0;
};

// With ORMIL_BENCH_TRACE set, the slowest events the main thread handled
// (type, receiver) are printed after each measurement: where a stall is.
class TracingApp : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        if (!m_on || m_depth > 0) return QApplication::notify(receiver, event);
        ++m_depth;
        QElapsedTimer t;
        t.start();
        const int type = event->type();
        const bool done = QApplication::notify(receiver, event);
        const double ms = t.nsecsElapsed() / 1e6;
        --m_depth;
        if (ms > 4) {
            m_slow.push_back({ms, QStringLiteral("%1 to %2 %3")
                                      .arg(type)
                                      .arg(QString::fromLatin1(receiver->metaObject()->className()))
                                      .arg(receiver->objectName())});
        }
        return done;
    }
    void printSlowest(const char* what) {
        if (!m_on) return;
        std::sort(m_slow.begin(), m_slow.end(),
                  [](const auto& a, const auto& b) { return a.first > b.first; });
        std::printf("  slowest events, %s:\n", what);
        for (size_t i = 0; i < std::min<size_t>(m_slow.size(), 6); ++i)
            std::printf("    %7.1f ms  %s\n", m_slow[i].first, qPrintable(m_slow[i].second));
        m_slow.clear();
    }
    void clear() { m_slow.clear(); }

private:
    bool m_on = qEnvironmentVariableIsSet("ORMIL_BENCH_TRACE");
    int m_depth = 0;
    std::vector<std::pair<double, QString>> m_slow;
};

TracingApp* tracer() {
    return static_cast<TracingApp*>(QCoreApplication::instance());
}

double residentMb() {
    // What the process holds, not what the allocator keeps cached for it:
    // a search's freed working set would otherwise count for whichever
    // reading comes first.
    malloc_trim(0);
    // /proc files report no size: read them as a stream.
    std::ifstream statm("/proc/self/statm");
    double size = 0, resident = -1;
    statm >> size >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

MainWindowContext contextFor(HistoryService& history, AppState& appState, Clock& clock) {
    MainWindowContext c;
    c.settings = &SettingsStore::shared();
    c.appState = &appState;
    c.notifications = &NotificationCenter::shared();
    c.history = &history;
    c.clock = &clock;
    // The page copies into memory, never the desktop's clipboard.
    static MemoryPasteboard pasteboard;
    c.pasteboard = &pasteboard;
    c.dictationHotkeyName = [] { return QStringLiteral("Right Alt"); };
    return c;
}

// The page's list: the scroll area that scrolls the most.
QAbstractScrollArea* listOf(QWidget* page) {
    QAbstractScrollArea* best = nullptr;
    for (QAbstractScrollArea* area : page->findChildren<QAbstractScrollArea*>())
        if (!best || area->verticalScrollBar()->maximum() > best->verticalScrollBar()->maximum())
            best = area;
    return best;
}

// Runs the event loop until `done` holds or the time is up; false then.
template <typename Done>
bool runUntil(Done done, qint64 limitMs = kGiveUpMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void typeKey(QLineEdit* edit, QChar c) {
    QApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, QString(c)));
    QApplication::postEvent(edit, new QKeyEvent(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c)));
}

// A page shown in the main window, left to settle.
struct OpenPage {
    AppState appState{SettingsStore::shared(), [](const QString&) { return TokenReadResult{}; }};
    HistoryService history;
    MainWindowView view;
    HistorySection* page;
    explicit OpenPage(Fixture& f)
        : history(f.path, f.clock), view(contextFor(history, appState, f.clock)) {
        view.setSelectedSection(SidebarSection::history);
        view.resize(1000, 700);
        view.show();
        page = qobject_cast<HistorySection*>(view.currentPage());
        runUntil([this] { return page && page->items().size() == HistorySection::pageLimit; });
    }
    QLineEdit* edit() const { return page->searchField()->lineEdit(); }
};

// The machine's own share: the longest stall of an event loop that does
// nothing but the probe, over a second.
void BM_IdleEventLoop(benchmark::State& state) {
    for (auto _ : state) {
        StallProbe probe;
        runUntil([] { return false; }, 1000);
        g_idle.add(probe.worstMs());
    }
}
BENCHMARK(BM_IdleEventLoop)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenWindowOnHistory(benchmark::State& state) {
    Fixture& f = fixture();
    AppState appState(SettingsStore::shared(), [](const QString&) { return TokenReadResult{}; });
    for (auto _ : state) {
        HistoryService history(f.path, f.clock);
        QElapsedTimer t;
        t.start();
        MainWindowView view(contextFor(history, appState, f.clock));
        view.setSelectedSection(SidebarSection::history);
        view.resize(1000, 700);
        view.show();
        auto* page = qobject_cast<HistorySection*>(view.currentPage());
        const bool listed =
            runUntil([&] { return page && page->items().size() == HistorySection::pageLimit; });
        view.repaint();
        const double ms = t.nsecsElapsed() / 1e6;
        g_open.add(ms);
        state.SetIterationTime(ms / 1000);
        if (!listed) state.SkipWithError("the page did not list 200 records");
    }
}
BENCHMARK(BM_OpenWindowOnHistory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

// The three keystrokes: the field's text before, the key, the query after.
struct Keystroke {
    const char* before;
    char key;
};
constexpr Keystroke kKeystrokes[3] = {{"", 't'}, {"r", 'e'}, {"meetin", 'g'}};

void BM_SearchKeystroke(benchmark::State& state) {
    Fixture& f = fixture();
    const int which = int(state.range(0));
    const Keystroke k = kKeystrokes[which];
    const QString query = QString::fromLatin1(k.before) + QLatin1Char(k.key);
    OpenPage open(f);
    const int expected = int(open.history.searchTranscriptions(query).size());
    g_keyResults[which] = expected;
    for (auto _ : state) {
        open.edit()->setText(QString::fromLatin1(k.before));
        runUntil([&] {
            return open.page->items().size() ==
                   (*k.before ? open.history.searchTranscriptions(k.before).size()
                              : HistorySection::pageLimit);
        });
        StallProbe probe;
        QApplication::processEvents();
        tracer()->clear();
        QElapsedTimer t;
        t.start();
        typeKey(open.edit(), QLatin1Char(k.key));
        // Painted: the window shows the first rows of the result.
        runUntil([&] { return open.page->searchText() == query && open.page->hasAnswer(); });
        // What the keystroke changed, painted now: the field and the list.
        open.edit()->repaint();
        open.page->list()->viewport()->repaint();
        const double ms = t.nsecsElapsed() / 1e6;
        const bool listed = runUntil([&] {
            return !open.page->isSearching() && int(open.page->items().size()) == expected;
        });
        g_keyAll[which].add(t.nsecsElapsed() / 1e6);
        QApplication::processEvents();
        g_keyTime[which].add(ms);
        g_keyStall[which].add(probe.worstMs());
        tracer()->printSlowest(qPrintable(query));
        state.SetIterationTime(ms / 1000);
        if (!listed) state.SkipWithError("the search result was not listed in time");
    }
    state.counters["results"] = expected;
}
BENCHMARK(BM_SearchKeystroke)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->DenseRange(0, 2)
    ->Iterations(9);

// 60 wheel events a second, each a flick of `kNotches` notches (Qt scrolls
// at most a page per event), until the list's end stays reached.
constexpr int kNotches = 400;

void BM_ScrollOneLetterResult(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        OpenPage open(f);
        const int expected = int(open.history.searchTranscriptions("t").size());
        open.edit()->setText(QStringLiteral("t"));
        runUntil([&] {
            return !open.page->isSearching() && int(open.page->items().size()) == expected;
        });
        waitForAsyncWork(kGiveUpMs);  // the previous rows let go
        QAbstractScrollArea* list = listOf(open.page);
        QScrollBar* bar = list->verticalScrollBar();
        runUntil([] { return false; }, 500);  // the page at rest
        const double restMb = residentMb();
        StallProbe probe;
        tracer()->clear();
        QElapsedTimer t;
        t.start();
        qint64 nextEvent = 0;
        int atEnd = 0;
        bool reached = false;
        while (t.elapsed() < kScrollGiveUpMs) {
            if (t.elapsed() >= nextEvent) {
                nextEvent += 1000 / 60;
                const QPoint at = list->viewport()->rect().center();
                QApplication::postEvent(
                    list->viewport(),
                    new QWheelEvent(at, list->viewport()->mapToGlobal(at), QPoint(),
                                    QPoint(0, -120 * kNotches), Qt::NoButton, Qt::NoModifier,
                                    Qt::NoScrollPhase, false));
            }
            QApplication::processEvents(QEventLoop::AllEvents, 2);
            if (bar->maximum() > 0 && bar->value() == bar->maximum()) {
                // The end stays the end for a quarter second: all rows made.
                if (++atEnd > 60 && t.elapsed() > 250) {
                    reached = true;
                    break;
                }
            } else {
                atEnd = 0;
            }
        }
        const double seconds = t.elapsed() / 1000.0;
        const double stall = probe.worstMs();
        tracer()->printSlowest("scroll");
        g_scrollOver.add(probe.overFrame());
        runUntil([] { return false; }, 500);
        g_scrollStall.add(stall);
        g_scrollMemory.add(residentMb() - restMb);
        g_scrollSeconds.add(seconds);
        g_scrollReachedEnd = g_scrollReachedEnd && reached;
        state.SetIterationTime(seconds);
        state.counters["results"] = expected;
    }
}
BENCHMARK(BM_ScrollOneLetterResult)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The worker's part of a one-letter search: the store read on a
// connection of its own, then the rows made of its records.
void BM_WorkerSearchOneLetter(benchmark::State& state) {
    Fixture& f = fixture();
    HistoryService history(f.path, f.clock);
    history.isStoreLoaded();
    const QDateTime now = f.clock.currentDateTime();
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const QList<HistoryRecord> first = HistoryService::searchStore(f.path, "t", now, 60);
        state.counters["first_ms"] = t.nsecsElapsed() / 1e6;
        t.restart();
        const QList<HistoryRecord> records = HistoryService::searchStore(f.path, "t", now);
        state.counters["read_ms"] = t.nsecsElapsed() / 1e6;
        t.restart();
        const auto items = HistorySection::filteredTranscriptions(records);
        state.counters["items_ms"] = t.nsecsElapsed() / 1e6;
        t.restart();
        const auto groups = HistorySection::groupedTranscriptions(items, now);
        state.counters["groups_ms"] = t.nsecsElapsed() / 1e6;
    }
}
BENCHMARK(BM_WorkerSearchOneLetter)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StoreSearchTwoLetters(benchmark::State& state) {
    Fixture& f = fixture();
    HistoryService history(f.path, f.clock);
    history.isStoreLoaded();
    size_t found = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        found = history.searchTranscriptions(QStringLiteral("QU")).size();
        g_search.add(t.nsecsElapsed() / 1e6);
    }
    state.counters["results"] = double(found);
}
BENCHMARK(BM_StoreSearchTwoLetters)->Unit(benchmark::kMillisecond);

void BM_MigrateFoldedTexts(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        FakeClock clock;
        const QString path = dir.filePath("old.sqlite");
        historybench::fillStore(path, clock, kTranscriptions, true);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        HistoryService history(path, clock);
        history.isStoreLoaded();
        g_migration.add(t.nsecsElapsed() / 1e6);
        state.PauseTiming();
        if (history.searchTranscriptions(QStringLiteral("qu")).size() != kTranscriptions / 1000)
            state.SkipWithError("the migrated store does not find every record");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MigrateFoldedTexts)->Unit(benchmark::kMillisecond)->Iterations(1);

// The machine's load while the figures were taken (others share it).
std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen + " on " +
           std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores\n";
}

void print(const char* what, const Figures& f, const char* unit, const char* goal) {
    if (f.values.empty()) return;
    std::printf("  %-44s median %8.1f  worst %8.1f %s  (goal %s)\n", what, f.median(), f.worst(),
                unit, goal);
}

}  // namespace

int main(int argc, char** argv) {
    // The allocator set up as the application sets it up, so stalls compare.
    tuneAllocatorForInteractiveUse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TracingApp app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    std::printf("\n%d stored dictations; load average %s", kTranscriptions, loadAverage().c_str());
    std::printf("(stalls are measured against the idle event loop's own, first line)\n");
    print("idle event loop: longest stall over 1 s", g_idle, "ms", "-");
    print("open the main window on History", g_open, "ms", "<= 50");
    const char* names[3] = {"one letter \"t\"", "two letters \"re\"", "a word \"meeting\""};
    for (int i = 0; i < 3; ++i) {
        if (g_keyTime[i].values.empty()) continue;
        char what[96];
        std::snprintf(what, sizeof what, "keystroke to painted, %s (%d)", names[i],
                      g_keyResults[i]);
        print(what, g_keyTime[i], "ms", "<= 50");
        print("  every match listed", g_keyAll[i], "ms", "-");
        std::snprintf(what, sizeof what, "  longest stall meanwhile");
        print(what, g_keyStall[i], "ms", "<= 16");
    }
    if (!g_scrollStall.values.empty()) {
        std::printf("  scroll the \"t\" result top to bottom, 60 wheel events/s of %d notches%s\n",
                    kNotches, g_scrollReachedEnd ? "" : " (GAVE UP: the end was not reached)");
        print("  time taken", g_scrollSeconds, "s", "-");
        print("  longest stall", g_scrollStall, "ms", "<= 16");
        print("  stalls over 16 ms", g_scrollOver, "", "0");
        print("  memory after, above the page at rest", g_scrollMemory, "MB", "<= 10");
    }
    print("store search, two letters \"QU\"", g_search, "ms", "< 10");
    print("one-time migration of folded texts", g_migration, "ms", "-");
    return 0;
}
