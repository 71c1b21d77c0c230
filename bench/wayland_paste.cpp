// The paste call to the whole text in another process's text field, on the
// desktop this runs in (bench/wayland_paste.sh starts each):
//   X11 (scripts/with-test-env): the X11 clipboard and XTest's Control+V;
//   GNOME / KDE (scripts/with-wayland-env): the XWayland clipboard or
//     data-control, and Control+V through the remote-desktop portal (the
//     first paste, which may show the desktop's dialog, is not counted);
//   sway: the same text typed with wtype (virtual keyboard), for comparison.
// Prints the median and the slowest of the runs, in milliseconds.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "fakes/FakeFrontmostApp.h"
#include "fakes/FakeNotifier.h"
#include "pipeline/KeyboardSimulator.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/PortalKeySynthesizer.h"
#include "platform/x11/X11KeySynthesizer.h"
#include "platform/x11/X11Pasteboard.h"

// X11 last: its macros clash with Qt.
#include <X11/Xlib.h>

namespace {

constexpr int kRuns = 10;

bool waitFor(const std::function<bool()>& condition, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct Field {
    QProcess process;
    QString text;
    bool focused = false;
    unsigned long window = 0;
    explicit Field(const QByteArray& platform) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", platform);
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
            while (process.canReadLine()) {
                const QByteArray line = process.readLine().trimmed();
                if (line.startsWith("window ")) window = line.mid(7).toULong();
                if (line == "focused") focused = true;
                if (line == "unfocused") focused = false;
                if (line.startsWith("text")) text = QUrl::fromPercentEncoding(line.mid(5));
            }
        });
        process.start(ORMIL_TEXTFIELD_PEER, {});
    }
    ~Field() {
        process.kill();
        process.waitForFinished();
    }
};

QString sample(int length) {
    const QString words = QString::fromUtf8("Привет, это диктовка from Ormil, café naïve. ");
    QString s;
    while (s.size() < length) s += words;
    return s.left(length);
}

void report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-58s median %7.1f ms   slowest %7.1f ms   (%zu runs)\n", what, ms[ms.size() / 2],
                ms.back(), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    const QString desktop = qEnvironmentVariable("ORMIL_WAYLAND_DESKTOP");
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    const QString text = sample(200);

    Field field(desktop.isEmpty() ? "xcb" : "wayland");
    if (!waitFor([&] { return field.window != 0; })) return 2;
    if (desktop.isEmpty()) {
        // No window manager on the test display: focus the field ourselves.
        Display* dpy = XOpenDisplay(nullptr);
        waitFor([&] {
            XWindowAttributes a{};
            if (XGetWindowAttributes(dpy, field.window, &a) && a.map_state == IsViewable)
                XSetInputFocus(dpy, field.window, RevertToParent, CurrentTime);
            XSync(dpy, False);
            return field.focused;
        });
        XCloseDisplay(dpy);
    }
    if (!waitFor([&] { return field.focused; })) return 3;

    std::vector<double> ms;
    QString expected;
    if (desktop == "sway") {
        // Typed, not pasted: the virtual keyboard's one key per character.
        for (int i = 0; i < kRuns; ++i) {
            QElapsedTimer t;
            t.start();
            expected += text;
            QProcess::execute("wtype", {text});
            if (!waitFor([&] { return field.text == expected; })) return 4;
            ms.push_back(t.nsecsElapsed() / 1e6);
        }
        report("sway: wtype typing 200 characters", ms);
        return 0;
    }

    SettingsStore settings;
    FakeNotifier notifier;
    FakeFrontmostApp frontmost;
    std::unique_ptr<Pasteboard> clipboard;
    if (desktop == "kde") clipboard = DataControlPasteboard::create();
    if (!clipboard) clipboard = std::make_unique<X11Pasteboard>();
    std::unique_ptr<KeySynthesizer> keys;
    if (desktop.isEmpty())
        keys = std::make_unique<X11KeySynthesizer>();
    else
        keys = std::make_unique<PortalKeySynthesizer>(settings, notifier, Clock::system(),
                                                      PortalKeySynthesizer::Options{});
    KeyboardSimulator paste(*clipboard, *keys, frontmost, notifier, settings, Clock::system());

    for (int i = 0; i <= kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        expected += text;
        paste.insertText(text);
        if (i == 0 && desktop == "gnome") {
            // The desktop asks once; the driver answers as the user would.
            if (!waitFor([&] { return !field.focused; })) return 5;
            QProcess::execute(ORMIL_MUTTER_KEYS, {"answer-dialog"});
        }
        if (!waitFor([&] { return field.text == expected; })) {
            std::fprintf(stderr, "field: %s\n", qPrintable(field.text.right(80)));
            return 6;
        }
        if (i > 0) ms.push_back(t.nsecsElapsed() / 1e6);
        waitFor([&] { return !paste.isInserting(); });
    }
    report(desktop.isEmpty()  ? "X11: X11 clipboard + XTest Control+V, 200 characters"
           : desktop == "kde" ? "KDE: data-control + portal Control+V, 200 characters"
                              : "GNOME: XWayland clipboard + portal Control+V, 200 chars",
           ms);
    return 0;
}
