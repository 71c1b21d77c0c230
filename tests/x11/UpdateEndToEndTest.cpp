// An installed bundle updates itself: an old installation runs, the stand-in
// publishes a newer archive holding the real application, the user accepts,
// and the new bundle ends up installed and running, the old process gone,
// the work folder removed, and the new copy reports the completed update.
#include <gtest/gtest.h>
#include <signal.h>

#include <QScopeGuard>

#include "../app/UpdateTestKit.h"
#include "AppProcessTest.h"
#include "service/ErrorReportService.h"

using namespace updatetest;

TEST(UpdateEndToEnd, InstalledBundleUpdatesItself) {
    DevService stand;
    stand.exportBases();
    const QString opt = testsupport::root() + "/home/.local/opt";
    const QString installed = opt + "/Ormil";

    // The old installation: a program that runs until it is ended.
    makeBundle(installed, "#!/bin/sh\nexec sleep 600\n");
    QProcess old;
    old.start(installed + "/bin/ormil");
    ASSERT_TRUE(old.waitForStarted());

    // The new release: the application this build made, as a bundle.
    const QString staging = testsupport::root() + "/release";
    QDir().mkpath(staging + "/Ormil/bin");
    QDir().mkpath(staging + "/Ormil/lib");
    ASSERT_TRUE(QFile::copy(ORMIL_BINARY_PATH, staging + "/Ormil/bin/ormil"));
    const QByteArray archive = zipOf(staging, {"Ormil"});
    publish(stand, "/__control/updates/archive?name=ormil-1.0.0.zip", archive);
    const UpdateManifest manifest =
        manifestFor(ORMIL_VERSION, archive, stand.url("/updates/archive?name=ormil-1.0.0.zip"));
    publish(stand, "/__control/updates/manifest?path=/ORMIL-linux/manifest.json",
            manifest.encode());

    // The running copy's updater: it believes it is 0.9 and that the old
    // process is itself.
    Rig rig("0.9");
    rig.settings = std::make_unique<SettingsStore>(SettingsStore::defaultFilePath());
    rig.collaborators.settings = rig.settings.get();
    rig.collaborators.manifestURLs = UpdateService::manifestMirrors();
    rig.collaborators.installedPath = installed;
    rig.collaborators.tempDir = testsupport::root() + "/tmp";
    rig.collaborators.pid = old.processId();
    rig.collaborators.terminate = [&] {
        ++rig.terminations;
        ::kill(pid_t(old.processId()), SIGTERM);
    };
    // Whatever happens, the new copy does not outlive the test.
    auto stopNewCopy = qScopeGuard([&] {
        for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
            if (QFileInfo("/proc/" + entry + "/exe").symLinkTarget() == installed + "/bin/ormil")
                ::kill(pid_t(entry.toLongLong()), SIGTERM);
        }
    });
    rig.presenter.accept = true;
    rig.check(false);
    ASSERT_EQ(rig.presenter.offers.size(), 1);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return rig.terminations > 0 || !rig.presenter.errors.isEmpty(); }, 60000));
    ASSERT_TRUE(rig.presenter.errors.isEmpty()) << rig.presenter.errors.join(";").toStdString();
    EXPECT_EQ(rig.codes(), QStringList{"apply_started"});
    // It may have ended already while the wait above ran the event loop.
    ASSERT_TRUE(old.state() == QProcess::NotRunning || old.waitForFinished(20000));

    // The new copy runs from the installation and reports at its first start.
    qint64 pid = 0;
    ASSERT_TRUE(testsupport::waitUntil([&] { return (pid = apptest::runningPid()) != 0; }, 60000));
    EXPECT_EQ(QFileInfo(QString("/proc/%1/exe").arg(pid)).symLinkTarget(),
              installed + "/bin/ormil");
    const QString queue = ErrorReportService::defaultQueueFile();
    auto reported = [&] {
        if (testsupport::readFile(queue).contains("update_completed")) return true;
        for (const auto& r : stand.requests("/client-events/errors"))
            if (r.body.contains("update_completed")) return true;
        return false;
    };
    EXPECT_TRUE(testsupport::waitUntil(reported, 60000));
    // The new copy writes its settings once a burst of changes settles.
    EXPECT_TRUE(testsupport::waitUntil([&] {
        rig.settings->reload();
        return !rig.settings->contains(UpdateService::pendingUpdateKey);
    }));
    EXPECT_EQ(testsupport::readFile(installed + "/bin/ormil").size(),
              QFileInfo(ORMIL_BINARY_PATH).size());
    EXPECT_TRUE(testsupport::waitUntil([&] {
        return !QFileInfo::exists(rig.service().updateFolder()) &&
               !QFileInfo::exists(rig.service().scriptPath());
    }));
    EXPECT_EQ(QDir(opt).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Ormil"});
}
