// The running application as the user meets it: the time from starting the
// executable to its icon docked in the tray, and its memory (RSS) once idle,
// each beside the same figure of a minimal Qt tray program measured in the
// same run (the floor for any Qt tray application on the machine).
// Needs an X display (scripts/with-test-env) and the trayer tray host.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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

// The programs measured: Ormil, then the minimal tray program.
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
    };
    return programs[index];
}

// Medians and memory by program, printed side by side at the end.
double g_startMs[2] = {-1, -1};
double g_rssMb[2] = {-1, -1};

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
    Display* dpy = nullptr;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    bool start() {
        dpy = XOpenDisplay(nullptr);
        const QString trayer = QStandardPaths::findExecutable("trayer");
        if (!dpy || trayer.isEmpty() || !QFile::exists(program(0).path) ||
            !QFile::exists(program(1).path))
            return false;
        for (const char* sub : {"home", "tmp", "config", "data"}) QDir(dir.path()).mkpath(sub);
        env.insert("HOME", dir.filePath("home"));
        env.insert("TMPDIR", dir.filePath("tmp"));
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        env.insert("XDG_DATA_HOME", dir.filePath("data"));
        env.insert("ORMIL_DEBUG_LOG", logPath());
        tray.start(trayer, {"--edge", "top", "--align", "right", "--widthtype", "request",
                            "--height", "24", "--SetDockType", "true"});
        if (!tray.waitForStarted()) return false;
        const Atom selection = XInternAtom(dpy, "_NET_SYSTEM_TRAY_S0", False);
        for (int i = 0; i < 5000 && XGetSelectionOwner(dpy, selection) == 0; ++i)
            QThread::msleep(1);
        return XGetSelectionOwner(dpy, selection) != 0;
    }
    ~Environment() {
        tray.kill();
        tray.waitForFinished();
        if (dpy) XCloseDisplay(dpy);
    }

    QString logPath() const { return dir.filePath("ormil-debug.log"); }

    // Starts the application and returns the milliseconds until its icon is
    // docked (negative when it never shows).
    double launch(QProcess& app, const Program& which) {
        app.setProcessEnvironment(env);
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

void BM_StartToTrayIcon(benchmark::State& state) {
    if (!g_env) {
        state.SkipWithError("needs an X display, trayer and the built programs");
        return;
    }
    const int index = static_cast<int>(state.range(0));
    std::vector<double> times;
    for (auto _ : state) {
        QProcess app;
        const double ms = g_env->launch(app, program(index));
        Environment::stop(app);
        if (ms < 0) {
            state.SkipWithError("the icon never docked");
            return;
        }
        times.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
        if (index == 0 && times.size() == 2) g_env->printLaunchSteps(ms);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    state.counters["median_ms"] = median;
    g_startMs[index] = median;
    std::printf("start to tray icon, %s: median %.1f ms over %zu launches\n", program(index).label,
                median, times.size());
}
BENCHMARK(BM_StartToTrayIcon)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_IdleRss(benchmark::State& state) {
    if (!g_env) {
        state.SkipWithError("needs an X display, trayer and the built programs");
        return;
    }
    const int index = static_cast<int>(state.range(0));
    for (auto _ : state) {
        QProcess app;
        if (g_env->launch(app, program(index)) < 0) {
            state.SkipWithError("the icon never docked");
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
        Environment::stop(app);
        state.counters["rss_MB"] = rssMb;
        g_rssMb[index] = rssMb;
        std::printf("idle RSS, %s: %.1f MB\n", program(index).label, rssMb);
    }
}
BENCHMARK(BM_IdleRss)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

void printSideBySide() {
    if (g_startMs[0] > 0 && g_startMs[1] > 0)
        std::printf("start to tray: ormil %.1f ms, minimal Qt tray %.1f ms: %.2fx (goal: at most "
                    "1.5x)\n",
                    g_startMs[0], g_startMs[1], g_startMs[0] / g_startMs[1]);
    if (g_rssMb[0] > 0 && g_rssMb[1] > 0)
        std::printf("idle memory: ormil %.1f MB, minimal Qt tray %.1f MB: %.2fx (goal: at most "
                    "1.6x)\n",
                    g_rssMb[0], g_rssMb[1], g_rssMb[0] / g_rssMb[1]);
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
