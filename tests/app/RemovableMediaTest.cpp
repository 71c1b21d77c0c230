// Starting from a mounted medium installs the bundle and starts that copy;
// mounting a medium named like a release makes an installed copy quit.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QStandardPaths>

#include "UpdateTestKit.h"
#include "app/RemovableMedia.h"

using namespace updatetest;

TEST(RemovableMedia, InstallsFromAMediumAndStartsTheInstalledCopy) {
    const QString root = testsupport::root();
    const QStringList roots{root + "/media/", root + "/mnt/"};
    const QString medium = root + "/media/user/ORMIL 2.0";
    makeBundle(medium + "/Ormil", "#!/bin/sh\n");
    QDir().mkpath(medium + "/Ormil/share/icons");
    testsupport::writeFile(medium + "/Ormil/share/icons/ormil.svg", "<svg/>");
    QFile::link("ormil.svg", medium + "/Ormil/share/icons/link.svg");
    const QString installed = root + "/home/.local/opt/Ormil";
    makeBundle(installed, "old");
    testsupport::writeFile(installed + "/stale", "x");

    QStringList started;
    auto start = [&](const QString& program) {
        started << program;
        return true;
    };
    // Not on a medium: nothing happens.
    EXPECT_FALSE(
        RemovableMedia::installIfLaunchedFromMedia(root + "/build/Ormil", installed, roots, start));
    EXPECT_TRUE(started.isEmpty());

    ASSERT_TRUE(
        RemovableMedia::installIfLaunchedFromMedia(medium + "/Ormil", installed, roots, start));
    EXPECT_EQ(started, QStringList{installed + "/bin/ormil"});
    EXPECT_EQ(testsupport::readFile(installed + "/bin/ormil"), "#!/bin/sh\n");
    EXPECT_TRUE(QFileInfo(installed + "/bin/ormil").isExecutable());
    EXPECT_FALSE(QFileInfo::exists(installed + "/stale"));
    EXPECT_EQ(QFileInfo(installed + "/share/icons/link.svg").symLinkTarget(),
              installed + "/share/icons/ormil.svg");
    EXPECT_EQ(QDir(root + "/home/.local/opt").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Ormil"});
    const QString entry = QString::fromUtf8(testsupport::readFile(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        "/applications/ormil.desktop"));
    EXPECT_TRUE(entry.contains("Exec=\"" + installed + "/bin/ormil\" %u\n"));
    EXPECT_TRUE(entry.contains("MimeType=x-scheme-handler/ormil;\n"));

    // A copy that fails keeps the installation and goes on from the medium.
    started.clear();
    EXPECT_FALSE(RemovableMedia::installIfLaunchedFromMedia(root + "/mnt/gone/Ormil", installed,
                                                            roots, start));
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(testsupport::readFile(installed + "/bin/ormil"), "#!/bin/sh\n");
    EXPECT_TRUE(
        testsupport::debugLogText().contains("[App] Auto-install from removable media failed: "));
}

TEST(RemovableMedia, MountRuleAndWatcher) {
    const QStringList roots{"/media/", "/run/media/", "/mnt/"};
    struct Case {
        const char* mountPoint;
        const char* bundle;
        bool quits;
    };
    const Case cases[] = {
        {"/media/u/ORMIL", "/home/u/.local/opt/Ormil", true},
        {"/run/media/u/ormil-1.4", "/home/u/.local/opt/Ormil", true},
        {"/mnt/Ormil Installer", "/opt/x/Ormil", true},
        {"/media/u/Backup", "/home/u/.local/opt/Ormil", false},
        {"/media/u/MY ORMIL", "/home/u/.local/opt/Ormil", false},
        {"/media/u/ORMIL", "/media/u/ORMIL/Ormil", false},  // runs from a medium itself
        {"/media/u/ORMIL/", "/home/u/.local/opt/Ormil", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RemovableMedia::shouldQuitForMount(c.mountPoint, c.bundle, roots), c.quits)
            << c.mountPoint << " / " << c.bundle;
    }
    EXPECT_FALSE(RemovableMedia::isOnMedia("/media", roots));
    EXPECT_FALSE(RemovableMedia::isOnMedia("/mediathek/x", roots));

    // The watcher reports only mount points that were not there before.
    const QString info = testsupport::root() + "/mountinfo";
    const QByteArray base =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 0:25 / /proc rw shared:12 - proc proc rw\n";
    testsupport::writeFile(info, base);
    MountWatcher watcher(info);
    QSignalSpy spy(&watcher, &MountWatcher::mounted);
    watcher.rescan();
    EXPECT_EQ(spy.count(), 0);
    testsupport::writeFile(info,
                           base + "77 22 8:17 / /media/u/ORMIL\\0402.0 ro - vfat /dev/sdb1 ro\n");
    watcher.rescan();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "/media/u/ORMIL 2.0");
    watcher.rescan();
    EXPECT_EQ(spy.count(), 1);
}
