// The focused application on KDE through a script loaded into a stand-in of
// KWin's scripting on a private bus: the script is loaded, run, reports
// back, and is taken out again; only KWin is believed; and where KWin does
// not take the script, one log line says so and nothing is left behind.
#include <gtest/gtest.h>

#include <QFile>
#include <QJSEngine>
#include <atomic>
#include <thread>

#include "fakes/FakeKWinScripting.h"
#include "platform/wayland/KWinFrontmostApp.h"
#include "support/TestSupport.h"

namespace {

class KWinFrontmost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(bus.address().isEmpty()) << "no dbus-daemon";
        ASSERT_TRUE(client.isConnected());
    }
    KWinFrontmostApp::Options options() {
        KWinFrontmostApp::Options o;
        o.bus = client;
        return o;
    }
    bool identityBecomes(const KWinFrontmostApp& app, std::optional<QString> id) {
        return testsupport::waitUntil([&] { return app.bundleIdentifier() == id; });
    }

    PrivateBus bus{testsupport::root()};
    QDBusConnection client = bus.connect("ormil");
};

}  // namespace

TEST_F(KWinFrontmost, ScriptReportsTheActivatedWindowAndIsTakenOutAgain) {
    FakeKWinScripting kwin(bus);
    KWinFrontmostApp app(options());
    ASSERT_TRUE(app.isAvailable()) << testsupport::debugLogText().toStdString();
    // A stale copy is dropped first; KWin 5 keeps the script object at the
    // root, where the run lands after KWin 6's path.
    EXPECT_EQ(kwin.calls(),
              (QStringList{"unloadScript", "loadScript", "run /Scripting/Script7", "run /7"}));
    EXPECT_EQ(kwin.loadedPlugin(), KWinFrontmostApp::kPluginName);
    // The script calls back to this very connection.
    EXPECT_TRUE(kwin.scriptText().contains('"' + client.baseService().toUtf8() + '"'))
        << kwin.scriptText().toStdString();
    EXPECT_FALSE(app.identity().has_value()) << "nothing reported yet";

    struct Case {
        const char* name;
        QStringList window;  // resource name, class, desktop file name, pid, KWin's id
        std::optional<QString> id;
    };
    const Case cases[] = {
        {"a Wayland window: its app id is the entry",
         {"textfield", "org.ormil.field", "org.ormil.field", "0", "{1}"},
         "org.ormil.field"},
        {"no class: the entry KWin found, given as a file",
         {"kate", "", "/usr/share/applications/org.kde.kate.desktop", "0", "{2}"},
         "org.kde.kate"},
        // (a pid above any Linux one: no process tells its entry)
        {"an X11 window: its class, before the entry KWin guessed",
         {"ormilprobe", "OrmilProbe", "ormil-probe-guess", "4194305", "{3}"},
         "OrmilProbe"},
        {"no window active", {"", "", "", "0", ""}, std::nullopt},
    };
    int changes = 0;
    QObject::connect(&app, &FocusedWindowSource::focusedWindowChanged, [&] { ++changes; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = changes;
        kwin.activate(client.baseService(), c.window);
        EXPECT_TRUE(identityBecomes(app, c.id))
            << app.bundleIdentifier().value_or("none").toStdString();
        EXPECT_EQ(app.focusedWindowKey(), c.window[4]);
        EXPECT_EQ(changes, before + 1);
        EXPECT_EQ(app.identity().value_or(FrontmostApp::Identity{}).pid, c.window[3].toLongLong());
    }

    // Another client cannot pass itself off as KWin. (Its call is made on a
    // thread of its own and waited for: answered, it has been handled.)
    kwin.activate(client.baseService(),
                  {"textfield", "org.ormil.field", "org.ormil.field", "0", "{1}"});
    ASSERT_TRUE(identityBecomes(app, "org.ormil.field"));
    std::atomic<bool> answered{false};
    std::thread other([&] {
        QDBusConnection connection = bus.connect("other");
        connection.call(FakeKWinScripting::activation(
            client.baseService(), {"evil", "org.evil", "org.evil", "0", "{6}"}));
        answered = true;
    });
    EXPECT_TRUE(testsupport::waitUntil([&] { return answered.load(); }));
    other.join();
    EXPECT_EQ(app.bundleIdentifier(), "org.ormil.field");
    EXPECT_EQ(app.focusedWindowKey(), "{1}");

    ASSERT_TRUE(QFile::exists(kwin.scriptPath()));
    app.unload();
    EXPECT_EQ(kwin.calls().last(), "unloadScript");
    EXPECT_TRUE(kwin.loadedPlugin().isEmpty()) << "the script stays in KWin";
    EXPECT_FALSE(QFile::exists(kwin.scriptPath()));
    EXPECT_FALSE(app.identity().has_value());
    app.unload();
    EXPECT_EQ(kwin.calls().count("unloadScript"), 2) << "unloaded twice";
}

// Where KWin does not take the script, per-app styles stay with X11
// applications: one line says why, and nothing of ours is left in KWin, on
// the bus or on disk, so that a later try starts clean.
TEST_F(KWinFrontmost, WhereKWinDoesNotTakeTheScriptOneLineSaysSoAndNothingIsLeft) {
    struct Case {
        const char* name;
        bool kwinThere;
        int loadAnswer;
        bool runFails;
        const char* why;
    };
    const Case cases[] = {
        {"no KWin on the bus", false, 7, false, "no scripting interface"},
        {"KWin refuses the script", true, -1, false, "loadScript answered -1"},
        {"the script does not run", true, 7, true, "run: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<FakeKWinScripting> kwin;
        if (c.kwinThere) {
            kwin = std::make_unique<FakeKWinScripting>(bus);
            kwin->loadAnswer = c.loadAnswer;
            kwin->runFails = c.runFails;
        }
        const qsizetype from = testsupport::debugLogText().size();
        {
            KWinFrontmostApp app(options());
            EXPECT_FALSE(app.isAvailable());
            EXPECT_FALSE(app.identity().has_value());
            const QString log = testsupport::debugLogText().mid(from);
            EXPECT_EQ(log.count("[FrontmostApp]"), 1) << log.toStdString();
            EXPECT_TRUE(log.contains("[FrontmostApp] KWin does not tell the focused window (" +
                                     QString(c.why)))
                << log.toStdString();
            EXPECT_TRUE(log.contains("per-app styles apply in X11 (XWayland) applications only"));
        }
        if (kwin) {
            EXPECT_TRUE(kwin->loadedPlugin().isEmpty());
            if (!kwin->scriptPath().isEmpty()) {
                EXPECT_FALSE(QFile::exists(kwin->scriptPath()));
            }
            EXPECT_EQ(kwin->calls().count("unloadScript"), c.runFails ? 2 : 1) << "unloaded again";
        }
        // The object's path is free again.
        QObject probe;
        EXPECT_TRUE(client.registerObject(KWinFrontmostApp::kObjectPath, &probe));
        client.unregisterObject(KWinFrontmostApp::kObjectPath);
    }
}

// The script in Qt's JavaScript engine, where KWin runs it, against the
// workspace of KWin 5 (clientActivated, activeClient, names as byte arrays)
// and of KWin 6 (windowActivated, activeWindow, names as strings): what it
// reports of the window active at its start and of one activated later.
TEST(KWinScript, ReportsTheActiveAndTheActivatedWindowOnKWin5And6) {
    // A window as KWin gives it to scripts; KWin 5's names are byte arrays
    // (UTF-8, hence the bytes of "Ёлка" below).
    const QString kwin5Window =
        R"({resourceName: bytes([0xd0, 0x81, 0xd0, 0xbb, 0xd0, 0xba, 0xd0, 0xb0]),
        resourceClass: bytes([0x6b, 0x61, 0x74, 0x65]), desktopFileName: bytes([0x6f, 0x72, 0x67]),
        pid: 42, internalId: "{5}"})";
    const QString kwin6Window = R"({resourceName: "kate", resourceClass: "org.kde.kate",
        desktopFileName: "org.kde.kate", pid: 7, internalId: "{6}"})";
    struct Case {
        const char* name;
        QString workspace;  // with `window` for the window activated later
        QStringList atStart;
        QStringList activated;
    };
    const QStringList none{"", "", "", "0", ""};
    const Case cases[] = {
        {"KWin 5",
         "var window = " + kwin5Window +
             ";\nvar workspace = {clientActivated: signal(), activeClient: window};",
         {"Ёлка", "kate", "org", "42", "{5}"},
         {"Ёлка", "kate", "org", "42", "{5}"}},
        {"KWin 6, nothing active at the start",
         "var window = " + kwin6Window +
             ";\nvar workspace = {windowActivated: signal(), activeWindow: null};",
         none,
         {"kate", "org.kde.kate", "org.kde.kate", "7", "{6}"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QJSEngine engine;
        const QJSValue setup = engine.evaluate(
            "var calls = [];\n"
            "function callDBus(service, path, iface, method) {\n"
            "    calls.push(Array.prototype.slice.call(arguments)); }\n"
            "function bytes(list) { return new Uint8Array(list).buffer; }\n"
            "function signal() { var s = {handlers: []};\n"
            "    s.connect = function (f) { s.handlers.push(f); }; return s; }\n" +
            c.workspace);
        ASSERT_FALSE(setup.isError()) << setup.toString().toStdString();
        const QJSValue run = engine.evaluate(QString::fromUtf8(KWinFrontmostApp::script(":1.42")));
        ASSERT_FALSE(run.isError()) << run.toString().toStdString();
        const QJSValue fired = engine.evaluate(
            "var s = workspace.windowActivated || workspace.clientActivated;\n"
            "s.handlers.forEach(function (f) { f(window); }); s.handlers.length");
        EXPECT_EQ(fired.toInt(), 1) << fired.toString().toStdString();

        const QVariantList calls = engine.globalObject().property("calls").toVariant().toList();
        ASSERT_EQ(calls.size(), 2);
        const auto reported = [&](int i) {
            QStringList args = calls[i].toStringList();
            EXPECT_EQ(args.mid(0, 4), (QStringList{":1.42", KWinFrontmostApp::kObjectPath,
                                                   "org.ormil.FocusedWindow", "Activated"}));
            return args.mid(4);
        };
        EXPECT_EQ(reported(0), c.atStart);
        EXPECT_EQ(reported(1), c.activated);
    }
}
