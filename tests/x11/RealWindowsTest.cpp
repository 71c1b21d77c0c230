// The real executable against the stand-in, driven as a user would: a
// signed-in launch and its account data, a tone chosen in the status menu,
// a newcomer signing in through the sign-in window, and the first-launch
// onboarding.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "AppProcessTest.h"
#include "platform/SettingsStore.h"
#include "support/DevService.h"
#include "TrayProbe.h"

namespace {

const QStringList kCollections = {"/sync/settings", "/sync/dictionary", "/sync/snippets",
                                  "/sync/text-expansions"};

QJsonObject storedSettings() {
    return QJsonDocument::fromJson(testsupport::readFile(SettingsStore::defaultFilePath())).object();
}

bool signedIn() {
    return storedSettings().contains("ormil_auth_fallback_access_token");
}

// The ids of the visible windows of this title (a regular expression).
QStringList visibleWindows(const QString& title) {
    return QString::fromUtf8(testsupport::runProgram("xdotool", {"search", "--onlyvisible",
                                                                 "--name", title}))
        .split('\n', Qt::SkipEmptyParts);
}

int windowWidth(const QString& id) {
    const QString shell =
        QString::fromUtf8(testsupport::runProgram("xdotool", {"getwindowgeometry", "--shell", id}));
    for (const QString& line : shell.split('\n'))
        if (line.startsWith("WIDTH=")) return line.mid(6).toInt();
    return 0;
}

class RealWindows : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::hasDisplay()) GTEST_SKIP() << "no test display";
        service.exportBases();
    }

    void TearDown() override {
        if (app) apptest::stop(*app);
    }

    // The tokens of a fresh account stored as a previous session left them.
    void storeSession(const QJsonObject& settings) {
        const DevService::Tokens tokens =
            service.createSignedInAccount({{"email", "real@ormil.test"}, {"password", "secret-pw"}});
        SettingsStore store(SettingsStore::defaultFilePath());
        QJsonObject values = settings;
        values.insert("ormil_auth_fallback_access_token", tokens.access);
        values.insert("ormil_auth_fallback_refresh_token", tokens.refresh);
        store.setMany(values);
    }

    void start() {
        app = apptest::launch();
        ASSERT_TRUE(app->waitForStarted());
    }

    QList<DevService::Received> requests(const QString& path, const QByteArray& method) const {
        QList<DevService::Received> out;
        for (const auto& r : service.requests(path))
            if (r.method == method) out << r;
        return out;
    }

    DevService service;
    std::unique_ptr<QProcess> app;
};

TEST_F(RealWindows, SignedInLaunchPullsEveryCollectionAndATrayToneIsPushedOnce) {
    const QString trayer = QStandardPaths::findExecutable("trayer");
    if (trayer.isEmpty()) GTEST_SKIP() << "no tray host installed";
    trayprobe::Display_ display;
    ASSERT_TRUE(display.dpy);
    Display* dpy = display.dpy;
    trayprobe::TrayHost host;
    ASSERT_TRUE(host.start(dpy, trayer));

    storeSession({{"hasSeenOnboarding", true}});
    start();
    for (const QString& path : kCollections)
        ASSERT_TRUE(testsupport::waitUntil([&] { return !requests(path, "GET").isEmpty(); }, 30000))
            << path.toStdString() << " was not pulled";
    // The main window opens once the launch is done.
    ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil$"); }, 30000));

    std::optional<trayprobe::Found> icon;
    ASSERT_TRUE(testsupport::waitUntil([&] { return bool(icon = trayprobe::dockedIcon(dpy)); },
                                       30000));
    const auto menuHoldsKeyboard = [&] { return trayprobe::menuHoldsKeyboard(dpy); };
    ASSERT_TRUE(trayprobe::clickIconUntil(dpy, *icon, menuHoldsKeyboard))
        << "the status menu did not open";
    // Signed in with nothing dictated, the tone submenu is the fifth enabled
    // item; it opens on its first choice ("none"), three below is "concise".
    for (const char* key : {"Down", "Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down",
                            "Return"})
        trayprobe::tap(dpy, key);

    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return storedSettings().value("toneStyle") == QJsonValue("concise"); }, 30000))
        << testsupport::readFile(SettingsStore::defaultFilePath()).toStdString();
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return !requests("/sync/settings", "PUT").isEmpty(); }, 30000));
    // Whatever else the app would send has gone by the time it has quit.
    apptest::stop(*app);
    const auto puts = requests("/sync/settings", "PUT");
    ASSERT_EQ(puts.size(), 1);
    const QJsonObject pushed = QJsonDocument::fromJson(puts[0].body).object();
    EXPECT_EQ(pushed.value("toneStyle"), QJsonValue("concise"))
        << puts[0].body.toStdString();
    for (const QString& path : kCollections)
        EXPECT_EQ(requests(path, "GET").size(), 1) << path.toStdString();
}

TEST_F(RealWindows, NewcomerSignsInThroughTheSignInWindow) {
    service.createAccount({{"email", "newcomer@ormil.test"}, {"password", "newcomer-pw"}});
    start();
    ASSERT_TRUE(testsupport::waitUntil([] { return apptest::windowShown("^Ormil Login$"); }, 30000));
    const QStringList login = visibleWindows("^Ormil Login$");
    ASSERT_EQ(login.size(), 1) << login.join(' ').toStdString();
    const auto xdotool = [](const QStringList& args) {
        int exitCode = -1;
        testsupport::runProgram("xdotool", args, &exitCode);
        EXPECT_EQ(exitCode, 0) << args.join(' ').toStdString();
    };
    xdotool({"windowfocus", "--sync", login[0]});
    // The e-mail field holds the focus when the form opens; Tab moves on
    // to the password, whose Return signs in.
    xdotool({"type", "--delay", "20", "newcomer@ormil.test"});
    xdotool({"key", "Tab"});
    xdotool({"type", "--delay", "20", "newcomer-pw"});
    xdotool({"key", "Return"});

    ASSERT_TRUE(testsupport::waitUntil(signedIn, 30000)) << apptest::logText().toStdString();
    // The two tokens are stored one after the other.
    EXPECT_TRUE(testsupport::waitUntil(
        [] { return storedSettings().contains("ormil_auth_fallback_refresh_token"); }, 30000));
    EXPECT_TRUE(testsupport::waitUntil([] { return !apptest::windowShown("^Ormil Login$"); },
                                       30000));
    // The account's data comes down after the sign-in; the window closes
    // and the app stays in the tray (the main window opens only on request).
    for (const QString& path : kCollections)
        EXPECT_TRUE(
            testsupport::waitUntil([&] { return !requests(path, "GET").isEmpty(); }, 30000))
            << path.toStdString();
}

TEST_F(RealWindows, FirstSignedInLaunchShowsTheOnboarding) {
    storeSession({});
    start();
    // The onboarding window is the small "Ormil" window; the main window,
    // of the same title, is far wider.
    QStringList shown;
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return !(shown = visibleWindows("^Ormil$")).isEmpty(); }, 30000));
    ASSERT_EQ(shown.size(), 1);
    int width = 0;
    EXPECT_TRUE(testsupport::waitUntil([&] { return (width = windowWidth(shown[0])) > 0; }, 30000));
    EXPECT_LT(width, 700) << "a wide window: the main window rather than the onboarding";
    EXPECT_FALSE(apptest::windowShown("^Ormil Login$"));
}

}  // namespace
