// The running application as the user meets it: the time from starting the
// executable to its icon docked in the tray, and its memory (RSS) once idle,
// each beside the same figure of a minimal Qt tray program measured in the
// same run (the floor for any Qt tray application on the machine).
// The idle memory is that of a signed-in user (the local stand-in of the
// service plays the account) once the launch's pulls have finished, with the
// largest mappings listed; a signed-out launch is measured beside it.
// Needs an X display (scripts/with-test-env), the trayer tray host and curl.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <cstdio>
// X11 headers last: their macros clash with Qt.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Bool
#undef Status

namespace {

// The programs measured: Ormil, the minimal tray program, and another build
// of Ormil to compare with when ORMIL_BENCH_BASELINE names its executable
// (e.g. one built from main, for figures before and after in the same run).
struct Program {
    const char* label;
    QString path;
    QByteArray windowName;  // the first WM_CLASS string of its windows
};
const Program& program(int index) {
    static const Program programs[] = {
        {"ormil", QCoreApplication::applicationDirPath() + QStringLiteral("/../src/ormil"),
         "ormil"},
        {"minimal Qt tray", QStringLiteral(ORMIL_MINIMAL_TRAY_PATH), "ormil-minimal-tray"},
        {"ormil baseline", qEnvironmentVariable("ORMIL_BENCH_BASELINE"), "ormil"},
    };
    return programs[index];
}
bool hasBaseline() {
    return !program(2).path.isEmpty() && QFile::exists(program(2).path);
}

// Medians by program and memory by case of BM_IdleRss, printed side by side
// at the end.
double g_startMs[3] = {-1, -1, -1};
double g_rssMb[4] = {-1, -1, -1, -1};

bool isProgram(Display* dpy, Window w, const QByteArray& name) {
    XClassHint hint{};
    if (!XGetClassHint(dpy, w, &hint)) return false;
    const bool ours = hint.res_name && QByteArray(hint.res_name) == name;
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return ours;
}

// Whether a viewable window of the program sits inside another client's
// window (the tray's), searched below `w`.
bool hasDockedIcon(Display* dpy, Window w, Window root, const QByteArray& name) {
    Window r, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &r, &parent, &children, &n)) return false;
    bool found = false;
    for (unsigned i = 0; i < n && !found; ++i) {
        XWindowAttributes a;
        if (w != root && XGetWindowAttributes(dpy, children[i], &a) && a.map_state == IsViewable &&
            a.width <= 64 && isProgram(dpy, children[i], name))
            found = true;
        else
            found = hasDockedIcon(dpy, children[i], root, name);
    }
    if (children) XFree(children);
    return found;
}

struct Environment {
    QTemporaryDir dir;
    QProcess tray;
    QProcess service;
    QString serviceBase;
    QJsonObject tokens;  // "access_token" and "refresh_token" of the account
    Display* dpy = nullptr;
    // The start-up launches: a home of their own, no account.
    QProcessEnvironment env;

    bool start() {
        dpy = XOpenDisplay(nullptr);
        const QString trayer = QStandardPaths::findExecutable("trayer");
        if (!dpy || trayer.isEmpty() || !QFile::exists(program(0).path) ||
            !QFile::exists(program(1).path) || !startService())
            return false;
        env = home(QStringLiteral("launches"));
        tray.start(trayer, {"--edge", "top", "--align", "right", "--widthtype", "request",
                            "--height", "24", "--SetDockType", "true"});
        if (!tray.waitForStarted()) return false;
        const Atom selection = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
        for (int i = 0; i < 5000 && XGetSelectionOwner(dpy, selection) == 0; ++i)
            QThread::msleep(1);
        return XGetSelectionOwner(dpy, selection) != 0;
    }
    ~Environment() {
        for (QProcess* p : {&tray, &service}) {
            p->kill();
            p->waitForFinished();
        }
        if (dpy) XCloseDisplay(dpy);
    }

    // The local stand-in of the service with one account signed in.
    bool startService() {
        service.start(QStringLiteral(ORMIL_DEVSERVICE_PATH), {"--port", "0"});
        if (!service.waitForStarted() || !service.waitForReadyRead(10000)) return false;
        // "listening on http://127.0.0.1:PORT"
        serviceBase = QString::fromLatin1(service.readLine().trimmed()).section(' ', 2);
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   {"-s", "-X", "POST", serviceBase + "/__control/accounts", "-d",
                    R"({"email":"bench@ormil.test","password":"pw","sign_in":true})"});
        if (!curl.waitForFinished(10000)) return false;
        tokens = QJsonDocument::fromJson(curl.readAllStandardOutput()).object();
        return !serviceBase.isEmpty() && tokens.contains("access_token");
    }

    // A fresh home under `name` pointed at the stand-in; signed in, it holds
    // the account's tokens and a user past the first-launch windows whose
    // main window does not open at launch.
    QProcessEnvironment home(const QString& name, bool signedIn = false) const {
        const QDir root(dir.filePath(name));
        for (const char* sub : {"home", "tmp", "config/Ormil", "data"}) root.mkpath(sub);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("HOME", root.filePath("home"));
        e.insert("TMPDIR", root.filePath("tmp"));
        e.insert("XDG_CONFIG_HOME", root.filePath("config"));
        e.insert("XDG_DATA_HOME", root.filePath("data"));
        // The recordings' private folder is in the cache.
        e.insert("XDG_CACHE_HOME", root.filePath("cache"));
        e.insert("ORMIL_DEBUG_LOG", root.filePath("ormil-debug.log"));
        e.insert("ORMIL_API_BASE", serviceBase);
        e.insert("ORMIL_AUTH_BASE", serviceBase);
        if (signedIn) {
            QJsonObject settings{{"firstLaunchDefaultsSet", true},
                                 {"hasSeenOnboarding", true},
                                 {"hasSeenStartupWindow", true},
                                 {"openWindowOnLaunch", false}};
            for (const char* key : {"access_token", "refresh_token"})
                settings.insert(QStringLiteral("ormil_auth_fallback_") + key, tokens.value(key));
            QFile file(root.filePath("config/Ormil/settings.json"));
            if (file.open(QIODevice::WriteOnly)) file.write(QJsonDocument(settings).toJson());
        }
        return e;
    }

    QString logPath() const { return env.value("ORMIL_DEBUG_LOG"); }

    // Starts the application and returns the milliseconds until its icon is
    // docked (negative when it never shows).
    double launch(QProcess& app, const Program& which) { return launch(app, which, env); }
    double launch(QProcess& app, const Program& which, const QProcessEnvironment& in) {
        app.setProcessEnvironment(in);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        lastStart = QTime::currentTime();
        timer.start();
        app.start(which.path, {});
        while (timer.elapsed() < 20000) {
            if (hasDockedIcon(dpy, DefaultRootWindow(dpy), DefaultRootWindow(dpy),
                              which.windowName))
                return double(timer.nsecsElapsed()) / 1e6;
            QThread::usleep(500);
        }
        return -1;
    }
    // The wall-clock time of the last launch, to place its log lines.
    QTime lastStart;

    // Where the last launch of Ormil spent its time up to the icon: each line
    // of its debug log (which it empties at start) with the milliseconds
    // since the process was started.
    void printLaunchSteps(double dockedMs) const {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly)) return;
        std::printf("one launch of ormil, ms after start:\n");
        for (const QByteArray& line : log.readAll().split('\n')) {
            // "[HH:mm:ss.zzz] text"
            const QTime at = QTime::fromString(QString::fromLatin1(line.mid(1, 12)),
                                               QStringLiteral("HH:mm:ss.zzz"));
            if (!at.isValid()) continue;
            const int ms = lastStart.msecsTo(at);
            if (ms > dockedMs) break;
            std::printf("  %6d  %s\n", ms, line.mid(15, 90).constData());
        }
        std::printf("  %6.0f  (icon docked)\n", dockedMs);
    }

    static void stop(QProcess& app) {
        app.terminate();
        if (!app.waitForFinished(5000)) app.kill();
        app.waitForFinished();
        // The tray forgets the icon before the next launch.
        QThread::msleep(200);
    }
};

Environment* g_env = nullptr;

// Each round launches every program once, in turn, so that the load of the
// machine (other builds, tests) weighs on all of them alike; one launch of
// each first reads the programs into the page cache and is not counted.
void BM_StartToTrayIcon(benchmark::State& state) {
    if (!g_env) {
        state.SkipWithError("needs an X display, trayer, curl and the built programs");
        return;
    }
    std::vector<int> measured = {0, 1};
    if (hasBaseline()) measured.push_back(2);
    std::vector<double> times[3];
    bool warm = false;
    for (auto _ : state) {
        for (int index : measured) {
            QProcess app;
            const double ms = g_env->launch(app, program(index));
            Environment::stop(app);
            if (ms < 0) {
                state.SkipWithError("the icon never docked");
                return;
            }
            if (!warm) continue;
            times[index].push_back(ms);
            if (index == 0) state.SetIterationTime(ms / 1000.0);
            if (index == 0 && times[0].size() == 2) g_env->printLaunchSteps(ms);
        }
        if (!warm) state.SetIterationTime(0.0);
        warm = true;
    }
    for (int index : measured) {
        std::vector<double>& t = times[index];
        std::sort(t.begin(), t.end());
        g_startMs[index] = t[t.size() / 2];
        std::printf("start to tray icon, %s: median %.1f ms over %zu launches\n",
                    program(index).label, g_startMs[index], t.size());
    }
    state.counters["median_ms"] = g_startMs[0];
}
BENCHMARK(BM_StartToTrayIcon)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// Resident kilobytes of a process by mapping (a library, "[heap]",
// "[anon]" for the unnamed ones).
QMap<QString, long> rssByMapping(qint64 pid) {
    QMap<QString, long> out;
    QFile smaps(QStringLiteral("/proc/%1/smaps").arg(pid));
    if (!smaps.open(QIODevice::ReadOnly)) return out;
    QString mapping;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':')) {
            mapping = fields.size() >= 6 ? QString::fromUtf8(fields[5]).section('/', -1)
                                         : QStringLiteral("[anon]");
        } else if (fields.size() >= 2 && fields[0] == "Rss:") {
            out[mapping] += fields[1].toLong();
        }
    }
    return out;
}

// The mappings of Ormil signed in, largest first, beside the minimal tray's.
QMap<QString, long> g_mappings[2];
void printMappings() {
    if (g_mappings[0].isEmpty() || g_mappings[1].isEmpty()) return;
    QList<std::pair<long, QString>> sorted;
    for (auto it = g_mappings[0].cbegin(); it != g_mappings[0].cend(); ++it)
        sorted.append({it.value(), it.key()});
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    std::printf("idle RSS by mapping, KB: ormil signed in / minimal Qt tray\n");
    long onlyOurs = 0;
    for (const auto& [kb, name] : sorted) {
        const long minimal = g_mappings[1].value(name);
        if (minimal == 0) onlyOurs += kb;
        // The small ones only count towards the sum.
        if (kb >= 64 || (minimal == 0 && kb >= 16))
            std::printf("  %6ld %6ld  %s\n", kb, minimal, qPrintable(name));
    }
    std::printf("  %6ld         mappings the minimal Qt tray does not have\n", onlyOurs);
}

bool waitForLogLine(const QString& path, const QByteArray& text, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile log(path);
        if (log.open(QIODevice::ReadOnly) && log.readAll().contains(text)) return true;
        QThread::msleep(50);
    }
    return false;
}

// 0: Ormil signed in, after its launch pulls; 1: the minimal tray; 2: Ormil
// signed out (the sign-in window up); 3: the baseline build signed in.
void BM_IdleRss(benchmark::State& state) {
    if (!g_env) {
        state.SkipWithError("needs an X display, trayer, curl and the built programs");
        return;
    }
    const int index = static_cast<int>(state.range(0));
    const char* labels[] = {"ormil signed in", "minimal Qt tray", "ormil signed out",
                            "ormil baseline signed in"};
    const int programs[] = {0, 1, 0, 2};
    const bool signedIn = index == 0 || index == 3;
    if (index == 3 && !hasBaseline()) {
        state.SkipWithError("no ORMIL_BENCH_BASELINE to compare with");
        return;
    }
    for (auto _ : state) {
        const QProcessEnvironment env = g_env->home(QStringLiteral("idle-%1").arg(index), signedIn);
        QProcess app;
        if (g_env->launch(app, program(programs[index]), env) < 0) {
            state.SkipWithError("the icon never docked");
            return;
        }
        if (signedIn &&
            !waitForLogLine(env.value("ORMIL_DEBUG_LOG"), "[Sync] pullAll complete", 20000)) {
            Environment::stop(app);
            state.SkipWithError("the launch pulls never finished");
            return;
        }
        // Let the start-up work settle before measuring.
        QThread::sleep(3);
        QFile status(QStringLiteral("/proc/%1/status").arg(app.processId()));
        double rssMb = -1;
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith("VmRSS:"))
                    rssMb = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
        if (index < 2) g_mappings[index] = rssByMapping(app.processId());
        Environment::stop(app);
        state.counters["rss_MB"] = rssMb;
        g_rssMb[index] = rssMb;
        std::printf("idle RSS, %s: %.1f MB\n", labels[index], rssMb);
    }
}
BENCHMARK(BM_IdleRss)->Arg(0)->Arg(3)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

void printSideBySide() {
    if (g_startMs[0] > 0 && g_startMs[1] > 0)
        std::printf(
            "start to tray: ormil %.1f ms, minimal Qt tray %.1f ms: %.2fx (goal: at most "
            "1.5x)\n",
            g_startMs[0], g_startMs[1], g_startMs[0] / g_startMs[1]);
    printMappings();
    if (g_rssMb[0] > 0 && g_rssMb[1] > 0)
        std::printf(
            "idle memory: ormil signed in %.1f MB, minimal Qt tray %.1f MB: %.2fx (goal: "
            "at most 1.6x)\n",
            g_rssMb[0], g_rssMb[1], g_rssMb[0] / g_rssMb[1]);
    if (g_rssMb[2] > 0 && g_rssMb[1] > 0)
        std::printf("idle memory: ormil signed out %.1f MB: %.2fx\n", g_rssMb[2],
                    g_rssMb[2] / g_rssMb[1]);
    if (g_startMs[2] > 0 && g_startMs[1] > 0)
        std::printf("baseline: start to tray %.1f ms: %.2fx\n", g_startMs[2],
                    g_startMs[2] / g_startMs[1]);
    if (g_rssMb[3] > 0 && g_rssMb[1] > 0)
        std::printf("baseline: idle memory signed in %.1f MB: %.2fx\n", g_rssMb[3],
                    g_rssMb[3] / g_rssMb[1]);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Environment env;
    if (env.start()) g_env = &env;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printSideBySide();
    benchmark::Shutdown();
    g_env = nullptr;
    return 0;
}
