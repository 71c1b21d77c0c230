// Download, verification, unpacking and the hand-over to the script; then
// the script itself, run for real on a temporary installation whose paths
// hold characters a shell would otherwise act on.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "UpdateTestKit.h"
#include "core/L10n.h"
#include "platform/PrivateFiles.h"

using namespace updatetest;

namespace {

const QByteArray kNewBinary = "#!/bin/sh\necho started > \"$(dirname \"$0\")/../started\"\n";

// An archive holding one bundle "Ormil" (and whatever else `extra` adds).
QByteArray bundleArchive(const QString& name,
                         const std::function<void(const QString&)>& extra = {}) {
    const QString staging = testsupport::root() + "/stage-" + name;
    QDir(staging).removeRecursively();
    makeBundle(staging + "/Ormil", kNewBinary);
    QStringList entries{"Ormil"};
    if (extra) {
        extra(staging);
        entries = QDir(staging).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    return zipOf(staging, entries);
}

// The permission bits of a path itself (a link is not followed).
unsigned modeOf(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return 0;
    return info.st_mode & 07777;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

// Stands in for bash: writes the arguments the script would get.
QString argumentRecorder() {
    const QString recorder = testsupport::root() + "/record-args";
    testsupport::writeFile(recorder, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out\"\n");
    QFile::setPermissions(recorder, QFile::ReadOwner | QFile::ExeOwner);
    QFile::remove(recorder + ".out");
    return recorder;
}

QStringList recordedArguments(const QString& recorder) {
    if (!testsupport::waitUntil([&] { return QFileInfo::exists(recorder + ".out"); })) return {};
    return QString::fromUtf8(testsupport::readFile(recorder + ".out"))
        .split('\n', Qt::SkipEmptyParts);
}

// Runs one installation and waits until it failed or handed over.
void install(Rig& rig, const UpdateManifest& manifest) {
    rig.service().downloadAndInstall(manifest);
    ASSERT_TRUE(testsupport::waitUntil(
        [&] { return !rig.presenter.errors.isEmpty() || rig.terminations > 0; }));
    testsupport::processEvents(50);
}

}  // namespace

TEST(UpdateDownload, FailuresOfEachStage) {
    DevService stand;
    const QByteArray good = bundleArchive("good");
    publish(stand, "/__control/updates/archive?name=good.zip", good);
    publish(stand, "/__control/updates/archive?name=corrupt.zip", good.left(good.size() / 2));
    const QByteArray nested = bundleArchive("nested", [](const QString& staging) {
        QDir().mkpath(staging + "/release");
        QDir().rename(staging + "/Ormil", staging + "/release/Ormil");
    });
    publish(stand, "/__control/updates/archive?name=nested.zip", nested);
    // The bundle at the top is a link to a bundle elsewhere on the disk.
    makeBundle(testsupport::root() + "/elsewhere/Ormil", kNewBinary);
    const QByteArray linked = bundleArchive("linked", [](const QString& staging) {
        QDir(staging + "/Ormil").removeRecursively();
        QFile::link(testsupport::root() + "/elsewhere/Ormil", staging + "/Ormil");
    });
    publish(stand, "/__control/updates/archive?name=linked.zip", linked);
    const QString dead = "http://127.0.0.1:" + QString::number(closedPort()) + "/x.zip";
    const QString archiveUrl = stand.url("/updates/archive?name=");

    struct Case {
        const char* name;
        QString url;
        QStringList more;
        QByteArray archive;
        QString digest;  // empty: the archive's own
        QString code;
        QString message;
        QString alert;
        qint64 fileSize = -1;  // the archive's own
    };
    const Case cases[] = {
        {"all 404",
         archiveUrl + "a.zip",
         {archiveUrl + "b.zip"},
         good,
         {},
         "download_failed",
         "HTTP 404",
         L10n::updateFailedDownload()},
        {"transport errors only",
         dead,
         {"::not a url::"},
         good,
         {},
         "download_failed",
         "HTTP -1",
         L10n::updateFailedDownload()},
        {"nothing usable",
         "",
         {},
         good,
         {},
         "download_failed",
         "HTTP -1",
         L10n::updateFailedDownload()},
        {"wrong digest",
         archiveUrl + "good.zip",
         {},
         good,
         QString(64, 'e'),
         "sha256_mismatch",
         "expected eeeeeeeeeeee, got " + UpdateService::sha256(good).left(12),
         L10n::updateFailedDownload()},
        {"corrupt zip",
         archiveUrl + "corrupt.zip",
         {},
         good.left(good.size() / 2),
         {},
         "extract_failed",
         "unzip exit 9",
         L10n::updateFailedInstall()},
        {"bundle not at the top",
         archiveUrl + "nested.zip",
         {},
         nested,
         {},
         "extract_failed",
         "no .app in archive",
         L10n::updateFailedInstall()},
        {"bundle is a link",
         archiveUrl + "linked.zip",
         {},
         linked,
         {},
         "extract_failed",
         "no .app in archive",
         L10n::updateFailedInstall()},
        {"longer than announced",
         archiveUrl + "good.zip",
         {},
         good,
         {},
         "size_mismatch",
         // Stopped at the announced size, so the whole length is never known.
         QString("expected %1 bytes, got more").arg(good.size() - 1),
         L10n::updateFailedDownload(),
         good.size() - 1},
        {"shorter than announced",
         archiveUrl + "good.zip",
         {},
         good,
         {},
         "size_mismatch",
         QString("expected %1 bytes, got %2").arg(good.size() + 1).arg(good.size()),
         L10n::updateFailedDownload(),
         good.size() + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        // Nothing is ever run, whatever the outcome.
        rig.collaborators.bashProgram = "true";
        UpdateManifest m = manifestFor("2.0", c.archive, c.url);
        m.downloadUrls = c.more;
        if (!c.digest.isEmpty()) m.sha256 = c.digest;
        if (c.fileSize >= 0) m.fileSize = c.fileSize;
        install(rig, m);
        ASSERT_EQ(rig.reports.size(), 1u);
        EXPECT_EQ(rig.reports[0].code, c.code);
        EXPECT_TRUE(rig.reports[0].message.startsWith(c.message.left(c.message.indexOf(' ') + 1)))
            << rig.reports[0].message.toStdString();
        if (c.code != "extract_failed" || c.message.startsWith("no")) {
            EXPECT_EQ(rig.reports[0].message, c.message);
        }
        EXPECT_EQ(rig.reports[0].context.value("target_version").toString(), "2.0");
        EXPECT_EQ(rig.presenter.errors, QStringList{c.alert});
        EXPECT_EQ(rig.presenter.progress.last(), "close");
        EXPECT_EQ(rig.terminations, 0);
        EXPECT_FALSE(rig.settings->contains(UpdateService::pendingUpdateKey));
        EXPECT_FALSE(rig.service().isBusy());
        EXPECT_FALSE(QFileInfo::exists(rig.collaborators.installedPath));
        // A failed installation takes its download and unpacked files along.
        EXPECT_EQ(entries(rig.collaborators.tempDir), QStringList{});
        QDir(rig.collaborators.tempDir).removeRecursively();
    }
    // The clean-up removed the unpacked link, not what it led to.
    EXPECT_TRUE(QFileInfo(testsupport::root() + "/elsewhere/Ormil/bin/ormil").isFile());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        QString("[Update] Size mismatch! Expected: %1 bytes, got %2")
            .arg(good.size() + 1)
            .arg(good.size())));
    EXPECT_TRUE(testsupport::debugLogText().contains("[Update] SHA256 mismatch! Expected: " +
                                                     QString(64, 'e')));
}

TEST(UpdateDownload, HandsOverToTheScript) {
    DevService stand;
    // A metadata folder sorts before the bundle; the bundle is still found.
    const QByteArray archive = bundleArchive("meta", [](const QString& staging) {
        QDir().mkpath(staging + "/.metadata");
        testsupport::writeFile(staging + "/.metadata/info", "x");
        QDir().mkpath(staging + "/Docs");
        testsupport::writeFile(staging + "/Docs/readme", "x");
    });
    publish(stand, "/__control/updates/archive?name=u.zip", archive);
    Rig rig("1.0");
    // The script is recorded, not run: a stand-in "bash" writes its arguments.
    const QString recorder = argumentRecorder();
    rig.collaborators.bashProgram = recorder;
    // The application's private temporary folder holds the work folder.
    rig.collaborators.tempDir.clear();
    // 404 first, then the archive; the digest in upper case still matches.
    UpdateManifest m = manifestFor("2.0", archive, stand.url("/updates/archive?name=gone.zip"));
    m.downloadUrls = QStringList{stand.url("/updates/archive?name=u.zip")};
    m.sha256 = m.sha256.toUpper();
    install(rig, m);

    EXPECT_TRUE(rig.presenter.errors.isEmpty()) << rig.presenter.errors.join("; ").toStdString();
    EXPECT_EQ(rig.terminations, 1);
    EXPECT_EQ(rig.codes(), QStringList{"apply_started"});
    EXPECT_EQ(rig.reports[0].message, "Installing update 2.0 from 1.0");
    EXPECT_EQ(rig.settings->string(UpdateService::pendingUpdateKey), QString("2.0"));
    EXPECT_EQ(rig.presenter.progress,
              (QStringList{L10n::updateDownloading("2.0"), L10n::updateVerifying(),
                           L10n::updateInstalling(), L10n::updateRestarting()}));
    const QString folder = rig.service().updateFolder();
    EXPECT_EQ(testsupport::readFile(rig.service().scriptPath()), UpdateService::relaunchScript());
    EXPECT_EQ(recordedArguments(recorder),
              (QStringList{rig.service().scriptPath(), "424242", rig.collaborators.installedPath,
                           folder + "/Ormil", folder}));
    // Everything lies in a folder only this user may enter, the archive
    // readable by this user alone.
    EXPECT_EQ(QFileInfo(folder).absolutePath(), PrivateFiles::temporaryDirectory());
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(folder + "/update.zip"), 0600u);
    EXPECT_TRUE(rig.service().scriptPath().startsWith(folder + "/"));
    EXPECT_TRUE(testsupport::debugLogText().contains("[Update] Extracted: Ormil"));
}

// A mirror whose archive never ends: one connection, answered with 200 and
// then bytes for as long as the client reads them.
class EndlessMirror {
public:
    EndlessMirror() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        ::listen(m_listener, 1);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0) return;
            char request[4096];
            [[maybe_unused]] const ssize_t got = ::recv(client, request, sizeof(request), 0);
            const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\n\r\n";
            const QByteArray chunk(64 * 1024, 'z');
            bool open = ::send(client, head.constData(), size_t(head.size()), MSG_NOSIGNAL) > 0;
            while (open && m_sent < kGiveUp) {
                const ssize_t n =
                    ::send(client, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
                open = n > 0;
                if (open) m_sent += n;
            }
            ::close(client);
        });
    }
    ~EndlessMirror() {
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        m_thread.join();
    }
    QString url() const { return QString("http://127.0.0.1:%1/endless.zip").arg(m_port); }
    qint64 sent() const { return m_sent; }
    // Far more than any test waits for.
    static constexpr qint64 kGiveUp = qint64(1) << 30;

private:
    int m_listener = -1;
    int m_port = 0;
    std::atomic<qint64> m_sent{0};
    std::thread m_thread;
};

TEST(UpdateDownload, AnAnswerPastTheAnnouncedSizeIsStopped) {
    EndlessMirror mirror;
    Rig rig("1.0");
    rig.collaborators.bashProgram = "true";
    UpdateManifest m = manifestFor("2.0", QByteArray(100000, 'z'), mirror.url());
    install(rig, m);
    ASSERT_EQ(rig.codes(), QStringList{"size_mismatch"});
    EXPECT_EQ(rig.reports[0].message.toStdString(), "expected 100000 bytes, got more");
    EXPECT_EQ(rig.presenter.errors, QStringList{L10n::updateFailedDownload()});
    EXPECT_LT(mirror.sent(), EndlessMirror::kGiveUp) << mirror.sent();
    EXPECT_EQ(entries(rig.collaborators.tempDir), QStringList{});
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[Update] Download mirror " + mirror.url() +
        " sent more than the announced 100000 bytes; stopped"));
}

TEST(UpdateDownload, WhatAnotherUserPreparedIsNeitherUsedNorFollowed) {
    DevService stand;
    const QByteArray archive = bundleArchive("takeover");
    publish(stand, "/__control/updates/archive?name=t.zip", archive);
    // Another user's files: a bundle of theirs, and a folder and a file of
    // this user's that links lead to.
    const QString theirs = testsupport::root() + "/theirs";
    const QString victim = testsupport::root() + "/victim";
    struct Case {
        const char* name;
        std::function<void(const QString& tmp)> prepare;
    };
    const Case cases[] = {
        {"a folder open to everyone at the old name",
         [&](const QString& tmp) {
             makeBundle(tmp + "/ormil-update/Ormil", "#!/bin/sh\necho theirs\n");
             testsupport::writeFile(tmp + "/ormil-update/marker", "theirs");
             QFile::setPermissions(tmp + "/ormil-update", QFileDevice::Permissions(0x7777));
         }},
        {"links at the old names",
         [&](const QString& tmp) {
             QFile::link(victim, tmp + "/ormil-update");
             QFile::link(victim + "/keep", tmp + "/ormil-update.sh");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig("1.0");
        const QString tmp = rig.collaborators.tempDir;
        QDir(tmp).removeRecursively();
        QDir().mkpath(tmp);
        testsupport::writeFile(victim + "/keep", "mine");
        c.prepare(tmp);
        const QStringList before = entries(tmp);
        const QString recorder = argumentRecorder();
        rig.collaborators.bashProgram = recorder;
        install(rig, manifestFor("2.0", archive, stand.url("/updates/archive?name=t.zip")));

        ASSERT_TRUE(rig.presenter.errors.isEmpty()) << rig.presenter.errors.join(";").toStdString();
        const QString folder = rig.service().updateFolder();
        const QStringList args = recordedArguments(recorder);
        ASSERT_EQ(args.size(), 5);
        EXPECT_EQ(args[3], folder + "/Ormil");
        EXPECT_EQ(args[4], folder);
        EXPECT_FALSE(before.contains(QFileInfo(folder).fileName())) << "a new folder";
        EXPECT_EQ(modeOf(folder), 0700u);
        EXPECT_EQ(testsupport::readFile(folder + "/Ormil/bin/ormil"), kNewBinary);
        // What was there is untouched, and the links lead nowhere new.
        for (const QString& name : before)
            EXPECT_TRUE(entries(tmp).contains(name)) << name.toStdString();
        EXPECT_EQ(entries(victim), QStringList{"keep"});
        EXPECT_EQ(testsupport::readFile(victim + "/keep"), "mine");
        if (QFileInfo(tmp + "/ormil-update").isSymLink()) continue;
        EXPECT_EQ(testsupport::readFile(tmp + "/ormil-update/marker"), "theirs");
        EXPECT_EQ(modeOf(tmp + "/ormil-update"), 0777u);
    }
}

TEST(UpdateDownload, AScriptThatCannotStartLeavesNoMarker) {
    DevService stand;
    const QByteArray archive = bundleArchive("nostart");
    publish(stand, "/__control/updates/archive?name=n.zip", archive);
    Rig rig("1.0");
    rig.collaborators.bashProgram = testsupport::root() + "/no-such-shell";
    install(rig, manifestFor("2.0", archive, stand.url("/updates/archive?name=n.zip")));
    EXPECT_EQ(rig.terminations, 0);
    EXPECT_EQ(rig.codes(), (QStringList{"apply_started", "apply_failed"}));
    EXPECT_FALSE(rig.settings->contains(UpdateService::pendingUpdateKey));
    EXPECT_EQ(rig.presenter.errors, QStringList{L10n::updateFailedInstall()});
    EXPECT_TRUE(testsupport::debugLogText().contains("[Update] Установка не удалась: "));
}

TEST(UpdateScript, ReplacesOnlyAfterTheOldProcessAndSurvivesHostilePaths) {
    // Every path holds a quote, a dollar, a backtick and a space.
    const QString base = testsupport::root() + "/it's $HOME `id` dir";
    const QString installed = base + "/opt/Ormil";
    const QString work = base + "/tmp/ormil-update";
    makeBundle(installed, "#!/bin/sh\nexit 0\n");
    testsupport::writeFile(installed + "/old-only", "old");
    makeBundle(work + "/Ormil", kNewBinary);
    const QString script = base + "/tmp/ormil-update.sh";
    testsupport::writeFile(script, UpdateService::relaunchScript());

    // The old process: it must be gone before anything is replaced.
    QProcess old;
    old.start("sleep", {"600"});
    ASSERT_TRUE(old.waitForStarted());
    QProcess bystander;  // another process must survive
    bystander.start("sleep", {"600"});
    ASSERT_TRUE(bystander.waitForStarted());

    QProcess::startDetached(
        "bash", {script, QString::number(old.processId()), installed, work + "/Ormil", work});
    ASSERT_TRUE(testsupport::waitUntil([&] { return QFileInfo::exists(installed + "/started"); }));
    EXPECT_TRUE(testsupport::waitUntil([&] { return old.state() == QProcess::NotRunning; }));
    EXPECT_EQ(old.exitStatus(), QProcess::CrashExit);  // killed after its 3 s of grace
    EXPECT_FALSE(QFileInfo::exists(installed + "/old-only"));
    EXPECT_TRUE(QFileInfo(installed + "/bin/ormil").isExecutable());
    ASSERT_TRUE(testsupport::waitUntil([&] { return !QFileInfo::exists(script); }));
    EXPECT_FALSE(QFileInfo::exists(work));
    EXPECT_EQ(QDir(base + "/opt").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Ormil"});
    EXPECT_EQ(bystander.state(), QProcess::Running);
    bystander.kill();
    bystander.waitForFinished();
}

TEST(UpdateScript, AFailedCopyKeepsTheOldInstallation) {
    const QString base = testsupport::root() + "/failing";
    const QString installed = base + "/opt/Ormil";
    makeBundle(installed, "#!/bin/sh\necho relaunched > \"$(dirname \"$0\")/../relaunched\"\n");
    const QString script = base + "/ormil-update.sh";
    testsupport::writeFile(script, UpdateService::relaunchScript());
    // The new bundle does not exist: the copy fails.
    QProcess run;
    run.start("bash", {script, "999999999", installed, base + "/missing/Ormil", base + "/work"});
    ASSERT_TRUE(run.waitForFinished(20000));
    ASSERT_TRUE(
        testsupport::waitUntil([&] { return QFileInfo::exists(installed + "/relaunched"); }));
    EXPECT_TRUE(QFileInfo(installed + "/bin/ormil").isFile());
    EXPECT_EQ(QDir(base + "/opt").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Ormil"});
}

TEST(UpdateScript, BundleIsTheFirstFolderWithTheProgram) {
    const QString folder = testsupport::root() + "/unpacked";
    QDir().mkpath(folder + "/A-docs");
    makeBundle(folder + "/Ormil-2", "x");
    makeBundle(folder + "/Ormil-1", "x");
    testsupport::writeFile(folder + "/0-file", "x");
    EXPECT_EQ(UpdateService::findBundle(folder), QString(folder + "/Ormil-1"));
    EXPECT_FALSE(UpdateService::findBundle(folder + "/A-docs"));
    EXPECT_FALSE(UpdateService::findBundle(testsupport::root() + "/none"));
}
