#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/linux/SingleInstance.h"
#include "fakes/FakeClock.h"
#include "support/TestSupport.h"

namespace {

class FakeProcessControl : public ProcessControl {
public:
    qint64 ownPid() const override { return 100; }
    void terminate(qint64 pid) override { calls << QStringLiteral("terminate %1").arg(pid); }
    void forceTerminate(qint64 pid) override { calls << QStringLiteral("force %1").arg(pid); }
    bool isTerminated(qint64) const override { return endsWhenAsked; }
    // The running copies of these tests live in this process; they pass for
    // the process they name unless a test says otherwise.
    std::optional<qint64> peerOfSameUser(qintptr) const override { return peer; }
    QStringList calls;
    bool endsWhenAsked = true;
    std::optional<qint64> peer = 4242;
};

// Objects living on a thread of their own with its event loop: the running
// copy must answer while the launch under test blocks on its socket.
class Worker {
public:
    Worker() {
        m_thread.start();
        m_context.moveToThread(&m_thread);
    }
    ~Worker() {
        run([this] { m_owned.clear(); });
        m_thread.quit();
        m_thread.wait();
    }
    void run(const std::function<void()>& fn) {
        QMetaObject::invokeMethod(&m_context, fn, Qt::BlockingQueuedConnection);
    }
    // Without waiting for it.
    void post(const std::function<void()>& fn) {
        QMetaObject::invokeMethod(&m_context, fn, Qt::QueuedConnection);
    }
    // Keeps an object made on the worker until the worker ends.
    void own(QObject* object) { m_owned.emplace_back(object); }

private:
    QThread m_thread;
    QObject m_context;
    std::vector<std::unique_ptr<QObject>> m_owned;
};

// Sends a request as a launch does and reads what comes back until the
// running copy closes. The running copy stops reading an oversized request
// half-way: the rest of it cannot be sent, yet its refusal waits on the socket
// (a Qt socket closes itself on the failed write and loses it).
QByteArray exchange(const QString& path, const QByteArray& request) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(),
                std::min(size_t(name.size()), sizeof(address.sun_path) - 1));
    const timeval limit{20, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof(limit));
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof(limit));
    QByteArray answers;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n = ::send(fd, request.constData() + sent,
                                     size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;  // the running copy stopped reading
            sent += n;
        }
        char chunk[4096];
        for (;;) {
            const ssize_t n = ::recv(fd, chunk, sizeof(chunk), 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            answers.append(chunk, n);
        }
    }
    ::close(fd);
    return answers;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    // A running copy of the given identity on its own thread.
    void startRunning(const SingleInstance::Identity& identity) {
        worker.run([&] {
            auto* running =
                new SingleInstance(socketPath, identity, ProcessControl::system(), Clock::system());
            QObject::connect(running, &SingleInstance::argumentsReceived,
                             [this](const QStringList& args) {
                                 std::lock_guard lock(mutex);
                                 received.push_back(args);
                             });
            ASSERT_EQ(running->start({}), SingleInstance::Outcome::primary);
            worker.own(running);
        });
    }
    std::vector<QStringList> receivedSoFar() {
        std::lock_guard lock(mutex);
        return received;
    }

    const QString socketPath = testsupport::root() + "/tmp/single.sock";
    const SingleInstance::Identity self{100, "/opt/ormil/bin/ormil", "1.2.0"};
    FakeProcessControl processes;
    FakeClock clock;
    std::mutex mutex;
    std::vector<QStringList> received;
    // Last, so that it ends first: a running copy may still hand arguments
    // over into `received` until its thread stops.
    Worker worker;
};

TEST_F(SingleInstanceTest, SameInstallationHandsItsArgumentsOver) {
    startRunning({4242, self.installation, self.version});
    const QStringList cases[] = {{}, {"ormil://auth?token=t1"}, {"a b", "ü", QString(2000, 'x')}};
    for (const QStringList& args : cases) {
        SingleInstance launch(socketPath, self, processes, clock);
        EXPECT_EQ(launch.start(args), SingleInstance::Outcome::handedOver);
        EXPECT_FALSE(launch.isListening());
    }
    ASSERT_TRUE(testsupport::waitUntil([&] { return receivedSoFar().size() == 3; }));
    const auto got = receivedSoFar();
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(got[i], cases[i]);
    EXPECT_TRUE(processes.calls.isEmpty());
    EXPECT_TRUE(clock.sleeps().empty());
}

// A running copy whose main thread is busy for a while (waiting on a slow
// clipboard owner, or starting up on a loaded machine) is alive: the launch waits for its answer instead of
// starting a second copy.
TEST_F(SingleInstanceTest, ABusyRunningCopyStillGetsTheArguments) {
    startRunning({4242, self.installation, self.version});
    worker.post([] { QThread::msleep(3000); });
    SingleInstance launch(socketPath, self, processes, clock);
    EXPECT_EQ(launch.start({"--start-dictation"}), SingleInstance::Outcome::handedOver);
    EXPECT_FALSE(launch.isListening());
    ASSERT_TRUE(testsupport::waitUntil([&] { return receivedSoFar().size() == 1; }));
    EXPECT_EQ(receivedSoFar()[0], QStringList{"--start-dictation"});
}

TEST_F(SingleInstanceTest, OverlongHandOverIsRefusedAndTheRunningCopyStays) {
    startRunning({4242, self.installation, self.version});
    SingleInstance launch(socketPath, self, processes, clock);
    EXPECT_EQ(launch.start({QString(150 * 1024, 'a'), QString(150 * 1024, 'b')}),
              SingleInstance::Outcome::refused);
    EXPECT_FALSE(launch.isListening());
    EXPECT_TRUE(processes.calls.isEmpty()) << processes.calls.join(", ").toStdString();
    EXPECT_TRUE(clock.sleeps().empty());
    EXPECT_TRUE(testsupport::debugLogText().contains(
        "[App] Running instance refused the arguments: longer than 262144 bytes"));
    // The running copy still takes the next hand-over.
    SingleInstance next(socketPath, self, processes, clock);
    EXPECT_EQ(next.start({"x"}), SingleInstance::Outcome::handedOver);
    ASSERT_TRUE(testsupport::waitUntil([&] { return receivedSoFar().size() == 1; }));
    EXPECT_EQ(receivedSoFar()[0], QStringList{"x"});
}

TEST_F(SingleInstanceTest, WithoutARuntimeFolderTheSocketLivesInAPrivateFolder) {
    const QString tmp = testsupport::root() + "/shared-tmp";
    const QString fallback = testsupport::root() + "/cache/Ormil";
    const QString victim = testsupport::root() + "/victim";
    QDir().mkpath(tmp);
    QDir().mkpath(victim);
    QFile::setPermissions(victim, QFileDevice::Permissions(0x7755));
    // Where the socket goes when the name in the temporary folder is free.
    const QString own = SingleInstance::socketPathIn({}, tmp, fallback);
    const QString ownFolder = QFileInfo(own).absolutePath();
    EXPECT_EQ(QFileInfo(ownFolder).absolutePath(), tmp);
    EXPECT_EQ(QFile::permissions(ownFolder) & 0x0077, 0);
    EXPECT_EQ(SingleInstance::socketPathIn({}, tmp, fallback), own) << "found again";
    EXPECT_EQ(SingleInstance::socketPathIn(testsupport::root(), tmp, fallback),
              testsupport::root() + "/" + QFileInfo(ownFolder).fileName() + ".sock");

    // Someone else had the name first: a folder open to everyone holding
    // their socket, or a link to a folder of theirs.
    struct Case {
        const char* name;
        std::function<void()> takeTheName;
    };
    QLocalServer theirs;
    const Case cases[] = {
        {"open folder with a socket",
         [&] {
             QDir().mkpath(ownFolder);
             QFile::setPermissions(ownFolder, QFileDevice::Permissions(0x7777));
             ASSERT_TRUE(theirs.listen(own));
         }},
        {"link", [&] { QFile::link(victim, ownFolder); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(ownFolder).removeRecursively();
        QFile::remove(ownFolder);
        c.takeTheName();
        const QString path = SingleInstance::socketPathIn({}, tmp, fallback);
        EXPECT_EQ(QFileInfo(path).absolutePath(), fallback);
        EXPECT_EQ(QFile::permissions(fallback) & 0x0077, 0);
        EXPECT_TRUE(testsupport::debugLogText().contains("[App] Single-instance folder " +
                                                         ownFolder + " is not usable"));
        EXPECT_EQ(QFile::permissions(victim), QFileDevice::Permissions(0x7755)) << "not followed";

        // Still one instance: the second launch finds the first.
        FakeProcessControl procs;
        SingleInstance first(path, {4242, self.installation, self.version},
                             ProcessControl::system(), Clock::system());
        ASSERT_EQ(first.start({}), SingleInstance::Outcome::primary);
        ASSERT_TRUE(first.isListening());
        // The launch blocks on its socket while this thread's loop lets the
        // first copy answer.
        std::atomic<bool> done{false};
        std::optional<SingleInstance::Outcome> second;
        std::thread launcher([&] {
            SingleInstance launch(SingleInstance::socketPathIn({}, tmp, fallback), self, procs,
                                  clock);
            second = launch.start({"ormil://x"});
            done = true;
        });
        const bool finished = testsupport::waitUntil([&] { return done.load(); });
        launcher.join();
        ASSERT_TRUE(finished);
        EXPECT_EQ(second, SingleInstance::Outcome::handedOver);
        EXPECT_TRUE(procs.calls.isEmpty());
        theirs.close();
    }
}

TEST_F(SingleInstanceTest, OtherInstallationOrVersionIsEnded) {
    struct Case {
        QString installation, version;
        bool endsWhenAsked;
        QStringList calls;
        std::vector<double> sleeps;
    };
    const Case cases[] = {
        {self.installation, "1.1.9", true, {"terminate 4242"}, {0.3}},
        {"/home/u/Downloads/ormil", self.version, true, {"terminate 4242"}, {0.3}},
        {self.installation, "2.0.0", false, {"terminate 4242", "force 4242"}, {0.3, 0.2}},
    };
    for (const Case& c : cases) {
        Worker other;
        other.run([&] {
            auto* running = new SingleInstance(socketPath, {4242, c.installation, c.version},
                                               ProcessControl::system(), Clock::system());
            other.own(running);
            ASSERT_EQ(running->start({}), SingleInstance::Outcome::primary);
        });

        FakeProcessControl procs;
        procs.endsWhenAsked = c.endsWhenAsked;
        FakeClock fakeClock;
        SingleInstance launch(socketPath, self, procs, fakeClock);
        EXPECT_EQ(launch.start({"ormil://auth?token=t"}), SingleInstance::Outcome::primary);
        EXPECT_EQ(procs.calls, c.calls)
            << c.installation.toStdString() << " " << c.version.toStdString();
        EXPECT_EQ(fakeClock.sleeps(), c.sleeps);
        EXPECT_TRUE(launch.isListening());

        // The new copy now answers later launches itself.
        QLocalSocket probe;
        probe.connectToServer(socketPath);
        ASSERT_TRUE(probe.waitForConnected(5000));
        ASSERT_TRUE(testsupport::waitUntil([&] { return probe.canReadLine(); }));
        EXPECT_TRUE(probe.readLine().contains("\"pid\":100"));
    }
}

TEST_F(SingleInstanceTest, AnEndedCopyClosingLateKeepsTheNewSocket) {
    auto launch = std::make_unique<SingleInstance>(socketPath, self, processes, clock);
    {
        Worker other;
        other.run([&] {
            auto* running = new SingleInstance(socketPath, {4242, "/elsewhere/ormil", self.version},
                                               ProcessControl::system(), Clock::system());
            other.own(running);
            ASSERT_EQ(running->start({}), SingleInstance::Outcome::primary);
        });
        EXPECT_EQ(launch->start({}), SingleInstance::Outcome::primary);
    }  // the ended copy closes only now, after the new one took the name

    QLocalSocket probe;
    probe.connectToServer(socketPath);
    ASSERT_TRUE(probe.waitForConnected(5000));
    ASSERT_TRUE(testsupport::waitUntil([&] { return probe.canReadLine(); }));
    EXPECT_TRUE(probe.readLine().contains("\"pid\":100"));
    probe.abort();
    // Its own socket goes with it.
    launch.reset();
    EXPECT_FALSE(QFile::exists(socketPath));
}

TEST_F(SingleInstanceTest, ImpostorIsNeitherTrustedNorKilled) {
    // Another user's process, or one that names another process than itself.
    const std::optional<qint64> peers[] = {std::nullopt, 777};
    startRunning({4242, self.installation, self.version});
    for (const auto& peer : peers) {
        FakeProcessControl procs;
        procs.peer = peer;
        SingleInstance launch(socketPath, self, procs, clock);
        EXPECT_EQ(launch.start({"ormil://auth?token=secret"}), SingleInstance::Outcome::primary);
        EXPECT_TRUE(procs.calls.isEmpty());
        EXPECT_TRUE(clock.sleeps().empty());
    }
    EXPECT_TRUE(receivedSoFar().empty());
}

TEST_F(SingleInstanceTest, LeftoverSocketFileIsTakenOver) {
    testsupport::writeFile(socketPath, "stale");
    SingleInstance launch(socketPath, self, processes, clock);
    EXPECT_EQ(launch.start({}), SingleInstance::Outcome::primary);
    EXPECT_TRUE(launch.isListening());
    EXPECT_TRUE(processes.calls.isEmpty());
    // Only this user may connect.
    EXPECT_EQ(QFile::permissions(socketPath) & 0x0077, 0);
    EXPECT_TRUE(QDir(QFileInfo(socketPath).absolutePath())
                    .entryList({".ormil-*"}, QDir::AllEntries | QDir::Hidden)
                    .isEmpty())
        << "the private folder it was bound in is gone";
}

TEST_F(SingleInstanceTest, PeerThatIsNotOrmilIsNeitherTrustedNorKilled) {
    const QByteArray answers[] = {"not json\n", "{\"pid\":\"x\"}\n", "{\"pid\":100}\n", "[1,2]\n"};
    for (const QByteArray& answer : answers) {
        Worker peer;
        peer.run([&] {
            auto* server = new QLocalServer;
            QLocalServer::removeServer(socketPath);
            ASSERT_TRUE(server->listen(socketPath));
            QObject::connect(server, &QLocalServer::newConnection, server, [server, answer] {
                QLocalSocket* s = server->nextPendingConnection();
                s->write(answer);
                s->flush();
            });
            peer.own(server);
        });
        FakeProcessControl procs;
        SingleInstance launch(socketPath, self, procs, clock);
        EXPECT_EQ(launch.start({}), SingleInstance::Outcome::primary) << answer.toStdString();
        EXPECT_TRUE(procs.calls.isEmpty()) << answer.toStdString();
        EXPECT_TRUE(launch.isListening());
    }
}

TEST_F(SingleInstanceTest, RunningCopyRefusesOversizedOrMalformedRequests) {
    startRunning({4242, self.installation, self.version});
    struct Case {
        QByteArray request;
        QString reason;
    };
    const Case cases[] = {{"{\"args\":\"not a list\"}\n", "not a list of arguments"},
                          {"garbage\n", "not a list of arguments"},
                          {QByteArray(300 * 1024, 'x'), "longer than 262144 bytes"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.left(30).toStdString());
        const QByteArray answers = exchange(socketPath, c.request);
        // The greeting, then the refusal.
        const QList<QByteArray> lines = answers.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_EQ(QJsonDocument::fromJson(lines[1]).object(),
                  (QJsonObject{{"ok", false}, {"error", c.reason}}));
        EXPECT_TRUE(testsupport::debugLogText().contains("[App] Hand-over refused: " + c.reason));
    }
    EXPECT_TRUE(receivedSoFar().empty());
    // It still serves a proper hand-over afterwards.
    SingleInstance launch(socketPath, self, processes, clock);
    EXPECT_EQ(launch.start({"x"}), SingleInstance::Outcome::handedOver);
}

}  // namespace
