// Temporary files and the application's folders are readable by this user
// only, and a folder or link someone else placed is never used.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <functional>

#include "platform/PrivateFiles.h"
#include "support/TestSupport.h"

namespace {

constexpr auto kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadUser | QFileDevice::WriteUser;
constexpr auto kPrivateFolder = kPrivateFile | QFileDevice::ExeOwner | QFileDevice::ExeUser;
constexpr auto kEveryone = kPrivateFolder | QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                           QFileDevice::ExeGroup | QFileDevice::ReadOther |
                           QFileDevice::WriteOther | QFileDevice::ExeOther;

QString appCache() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/Ormil";
}

class PrivateFilesTest : public ::testing::Test {
protected:
    void SetUp() override { QDir(appCache()).removeRecursively(); }
    void TearDown() override {
        QFile::remove(appCache() + "/tmp");  // a link a case planted
        QDir(appCache()).removeRecursively();
    }
};

TEST_F(PrivateFilesTest, TemporaryFilesAreTheUsersAlone) {
    const QString dir = PrivateFiles::temporaryDirectory();
    EXPECT_EQ(dir, appCache() + "/tmp");
    EXPECT_EQ(QFileInfo(dir).permissions(), kPrivateFolder);
    EXPECT_EQ(QFileInfo(appCache()).permissions(), kPrivateFolder);

    const QString empty = PrivateFiles::createTemporaryFile("ormil_chunk_", ".wav");
    const QString written = PrivateFiles::writeTemporaryFile("", ".ogg", "OggS spoken words");
    const QString named = PrivateFiles::temporaryPath("ormil_", ".wav");
    EXPECT_TRUE(QRegularExpression("/ormil_chunk_[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.wav$")
                    .match(empty)
                    .hasMatch())
        << empty.toStdString();
    EXPECT_TRUE(QRegularExpression("/[0-9A-F-]{36}\\.ogg$").match(written).hasMatch());
    EXPECT_TRUE(named.startsWith(dir + "/ormil_"));
    EXPECT_FALSE(QFile::exists(named));
    for (const QString& file : {empty, written}) {
        EXPECT_EQ(QFileInfo(file).path(), dir);
        EXPECT_EQ(QFileInfo(file).permissions(), kPrivateFile) << file.toStdString();
    }
    EXPECT_EQ(testsupport::readFile(written), "OggS spoken words");
    EXPECT_NE(PrivateFiles::createTemporaryFile("ormil_chunk_", ".wav"), empty);
}

// What may already sit where the temporary folder goes.
struct FolderCase {
    const char* name;
    std::function<void(const QString& tmp, const QString& elsewhere)> plant;
    bool used;  // the planted folder is the temporary folder afterwards
};

TEST_F(PrivateFilesTest, APlantedFolderOrLinkIsNeverUsed) {
    const QString elsewhere = testsupport::root() + "/elsewhere";
    std::vector<FolderCase> cases = {
        {"our folder left open to all is tightened",
         [](const QString& tmp, const QString&) {
             QDir().mkpath(tmp);
             QFile::setPermissions(tmp, kEveryone);
         },
         true},
        {"a link to another folder is not followed",
         [](const QString& tmp, const QString& to) {
             QDir().mkpath(appCache());
             QFile::link(to, tmp);
         },
         false},
    };
    if (::getuid() == 0)
        cases.push_back({"another user's folder is not ours",
                         [](const QString& tmp, const QString&) {
                             QDir().mkpath(tmp);
                             ASSERT_EQ(::chown(QFile::encodeName(tmp).constData(), 65534, 65534),
                                       0);
                         },
                         false});
    const QString tmp = appCache() + "/tmp";
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(tmp);
        QDir(appCache()).removeRecursively();
        QDir(elsewhere).removeRecursively();
        QDir().mkpath(elsewhere);
        QFile::setPermissions(elsewhere, kEveryone);
        c.plant(tmp, elsewhere);

        const QString dir = PrivateFiles::temporaryDirectory();
        const QString file = PrivateFiles::writeTemporaryFile("ormil_", ".ogg", "spoken");
        ASSERT_FALSE(file.isEmpty());
        EXPECT_EQ(dir == tmp, c.used) << dir.toStdString();
        EXPECT_EQ(QFileInfo(file).path(), dir);
        const QFileInfo folder(dir);
        EXPECT_FALSE(folder.isSymLink());
        EXPECT_EQ(folder.ownerId(), ::getuid());
        EXPECT_EQ(folder.permissions(), kPrivateFolder);
        EXPECT_EQ(QFileInfo(file).permissions(), kPrivateFile);
        EXPECT_TRUE(QDir(elsewhere).isEmpty()) << "nothing lands where a link points";
        EXPECT_EQ(QFileInfo(elsewhere).permissions(), kEveryone);
        QFile::remove(file);
    }
}

TEST_F(PrivateFilesTest, WritingTightensAFileOfOursAndRefusesALink) {
    const QString dir = PrivateFiles::temporaryDirectory();
    const QString open = dir + "/open.ogg";
    testsupport::writeFile(open, "old and longer contents");
    QFile::setPermissions(open, kPrivateFile | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_TRUE(PrivateFiles::writeFile(open, "new"));
    EXPECT_EQ(testsupport::readFile(open), "new");
    EXPECT_EQ(QFileInfo(open).permissions(), kPrivateFile);

    const QString target = testsupport::root() + "/link-target";
    testsupport::writeFile(target, "not to be touched");
    const QString link = dir + "/link.ogg";
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_FALSE(PrivateFiles::writeFile(link, "spoken"));
    EXPECT_EQ(testsupport::readFile(target), "not to be touched");
}

TEST_F(PrivateFilesTest, AppFoldersAreMadeOrTightenedToTheUserAlone) {
    const QString base = testsupport::root() + "/folders";
    QDir(base).removeRecursively();
    // Missing parents are made private too.
    ASSERT_TRUE(PrivateFiles::ensureDir(base + "/share/Ormil/failed_audio"));
    for (const QString& d :
         {base + "/share", base + "/share/Ormil", base + "/share/Ormil/failed_audio"})
        EXPECT_EQ(QFileInfo(d).permissions(), kPrivateFolder) << d.toStdString();

    QFile::setPermissions(base + "/share/Ormil", kEveryone);
    ASSERT_TRUE(PrivateFiles::ensureDir(base + "/share/Ormil"));
    EXPECT_EQ(QFileInfo(base + "/share/Ormil").permissions(), kPrivateFolder);

    testsupport::writeFile(base + "/a-file", "x");
    EXPECT_FALSE(PrivateFiles::ensureDir(base + "/a-file"));
}

}  // namespace
