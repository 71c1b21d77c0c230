// The main window opened on the History section with 100,000 stored
// dictations, and one search keystroke that reloads the page; both measured
// from the call to the page laid out and painted. Also the store's search
// alone for a two-letter query, and the one-time migration that gives the
// records of an older store their folded search text.
// Offscreen Qt; prints the medians at the end.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "mainwindow/HistorySection.h"
#include "mainwindow/MainWindowView.h"
#include "platform/DebugLog.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "records/HistoryService.h"
#include "ui/SearchField.h"
#include "HistoryBenchData.h"

namespace {

constexpr int kTranscriptions = 100000;

// Writes the records straight into the store's tables in one transaction
// (as a long-time user's store holds them); with folded texts unless
// `withoutFoldedText`, which leaves them to the migration.
void fill(const QString& path, FakeClock& clock, bool withoutFoldedText) {
    {
        HistoryService history(path, clock);
        history.isStoreLoaded();  // builds the schema
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "bench-fill");
    db.setDatabaseName(path);
    db.open();
    db.transaction();
    QSqlQuery insert(db);
    insert.prepare(
        "INSERT INTO transcriptions (id, text, language, timestamp, duration, wordCount) "
        "VALUES (?, ?, 'en', ?, 5, ?)");
    QSqlQuery folded(db);
    folded.prepare("INSERT INTO transcription_text (id, searchText) VALUES (?, ?)");
    QRandomGenerator rng(42);
    const double start = clock.currentDateTime().toSecsSinceEpoch() - kTranscriptions * 30.0;
    for (int i = 0; i < kTranscriptions; ++i) {
        QString text = historybench::randomText(rng, 10 + rng.bounded(30));
        // About one record in a thousand mentions the quarterly plan.
        if (i % 1000 == 7) text += QStringLiteral(" Quarterly Plän");
        insert.addBindValue(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        insert.addBindValue(text);
        insert.addBindValue(start + i * 30.0);
        insert.addBindValue(HistoryService::wordCount(text));
        insert.exec();
        if (!withoutFoldedText) {
            folded.addBindValue(insert.lastInsertId());
            folded.addBindValue(HistoryService::foldForSearch(text));
            folded.exec();
        }
    }
    db.commit();
    if (withoutFoldedText) QSqlQuery(db).exec("PRAGMA user_version = 1");
    db.close();
    db = {};
    QSqlDatabase::removeDatabase("bench-fill");
}

struct Fixture {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(14, 30))};
    QString path;
    Fixture() {
        DebugLog::setPath(dir.filePath("bench.log"));
        path = dir.filePath("Ormil/Ormil.sqlite");
        fill(path, clock, false);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::vector<double> g_open, g_keystroke, g_search, g_migration;

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

MainWindowContext contextFor(HistoryService& history, AppState& appState, Clock& clock) {
    MainWindowContext c;
    c.settings = &SettingsStore::shared();
    c.appState = &appState;
    c.notifications = &NotificationCenter::shared();
    c.history = &history;
    c.clock = &clock;
    c.dictationHotkeyName = [] { return QStringLiteral("Right Alt"); };
    return c;
}

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
        QApplication::processEvents();
        view.repaint();
        const double ms = t.nsecsElapsed() / 1e6;
        g_open.push_back(ms);
        state.SetIterationTime(ms / 1000);
        auto* page = qobject_cast<HistorySection*>(view.currentPage());
        if (!page || page->items().size() != HistorySection::pageLimit)
            state.SkipWithError("the page did not list 200 records");
    }
}
BENCHMARK(BM_OpenWindowOnHistory)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_SearchKeystroke(benchmark::State& state) {
    Fixture& f = fixture();
    AppState appState(SettingsStore::shared(), [](const QString&) { return TokenReadResult{}; });
    HistoryService history(f.path, f.clock);
    MainWindowView view(contextFor(history, appState, f.clock));
    view.setSelectedSection(SidebarSection::history);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    auto* page = qobject_cast<HistorySection*>(view.currentPage());
    QLineEdit* edit = page->searchField()->lineEdit();
    size_t found = 0;
    for (auto _ : state) {
        edit->setText("q");
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        edit->setText("qu");  // the second letter typed
        QApplication::processEvents();
        view.repaint();
        const double ms = t.nsecsElapsed() / 1e6;
        g_keystroke.push_back(ms);
        state.SetIterationTime(ms / 1000);
        found = page->items().size();
    }
    state.counters["results"] = double(found);
}
BENCHMARK(BM_SearchKeystroke)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);

void BM_StoreSearchTwoLetters(benchmark::State& state) {
    Fixture& f = fixture();
    HistoryService history(f.path, f.clock);
    history.isStoreLoaded();
    size_t found = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        found = history.searchTranscriptions(QStringLiteral("QU")).size();
        g_search.push_back(t.nsecsElapsed() / 1e6);
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
        fill(path, clock, true);
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        HistoryService history(path, clock);
        history.isStoreLoaded();
        g_migration.push_back(t.nsecsElapsed() / 1e6);
        state.PauseTiming();
        if (history.searchTranscriptions(QStringLiteral("qu")).size() != kTranscriptions / 1000)
            state.SkipWithError("the migrated store does not find every record");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MigrateFoldedTexts)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    std::printf("\n%d stored dictations (medians):\n", kTranscriptions);
    std::printf("  open the main window on History:   %7.1f ms (goal < 100)\n", median(g_open));
    std::printf("  search keystroke (\"q\" -> \"qu\"):    %7.1f ms (goal < 100)\n",
                median(g_keystroke));
    std::printf("  store search, two letters \"QU\":    %7.2f ms (goal < 10)\n", median(g_search));
    std::printf("  one-time migration of folded texts: %7.0f ms\n", median(g_migration));
    return 0;
}
