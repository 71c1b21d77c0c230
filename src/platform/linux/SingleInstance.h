#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Clock.h"

class QSocketNotifier;

// Ends, signals and watches other processes of the application.
class ProcessControl {
public:
    virtual ~ProcessControl() = default;
    virtual qint64 ownPid() const = 0;
    // Asks the process to end (SIGTERM).
    virtual void terminate(qint64 pid) = 0;
    // Ends it at once (SIGKILL).
    virtual void forceTerminate(qint64 pid) = 0;
    virtual bool isTerminated(qint64 pid) const = 0;
    // The process at the other end of a connected local socket, when it
    // runs as this user.
    virtual std::optional<qint64> peerOfSameUser(qintptr socketDescriptor) const = 0;

    static ProcessControl& system();
};

// One running copy per user session. The running copy listens on a local
// socket and tells every caller who it is (process id, installation path,
// version). A launch of the same installation hands its arguments over and
// exits, as the desktop does for an application that is already running;
// the running copy answers every hand-over, refusing one it does not take,
// and a copy that answered is never ended by a launch of its installation. A
// copy of another installation or version is ended (terminate, 0.3 s, force,
// 0.2 s) and the new launch takes the socket over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    struct Identity {
        qint64 pid = 0;
        QString installation;  // canonical path of the executable
        QString version;
    };
    // handedOver: the running copy took the arguments; refused: it answered
    // but did not take them (too long, not understood). In both this launch
    // exits and the running copy goes on.
    enum class Outcome { primary, handedOver, refused };

    static constexpr double terminateWait = 0.3;
    static constexpr double forceTerminateWait = 0.2;
    // How long a launch waits for the running copy to answer. A copy whose
    // main thread is busy for a few seconds (waiting on a slow clipboard
    // owner, or starting up on a loaded machine) is alive: a launch that gave up on it sooner would take the
    // socket over and leave two copies running, its command lost.
    static constexpr int answerTimeoutMs = 10000;

    // socketPath: a full path of the local socket (defaultSocketPath() in the
    // application). The clock's sleep() makes the two waits of the hand-over.
    SingleInstance(QString socketPath, Identity self, ProcessControl& processes, Clock& clock,
                   QObject* parent = nullptr);
    ~SingleInstance() override;

    // The socket of this user's session: in the user's runtime folder, else
    // in a folder of the temporary folder that only this user may enter.
    static QString defaultSocketPath();
    // The same from the given folders (runtimeDir empty: none). A folder in
    // tempDir that is not this user's alone (made first by someone else, a
    // link, open to others) is reported and the socket goes to fallbackDir
    // instead, so that every launch still finds the one running copy.
    static QString socketPathIn(const QString& runtimeDir, const QString& tempDir,
                                const QString& fallbackDir);
    // This process: its id, executable path and the given version.
    static Identity currentIdentity(const QString& version);

    // Run once at launch, before anything else is set up. Anything but
    // primary: a copy runs already and this process should exit now.
    Outcome start(const QStringList& arguments);

    bool isListening() const;

signals:
    // Another launch of this installation handed its arguments over (empty
    // for a plain launch: the user asked for the app again).
    void argumentsReceived(const QStringList& arguments);

private:
    enum class Contact { none, handedOver, refused, endedOther };
    Contact contactRunning(const QStringList& arguments);
    void endOther(qint64 pid);
    bool listen();
    void stopListening();
    void onNewConnection();

    QString m_socketPath;
    Identity m_self;
    ProcessControl& m_processes;
    Clock& m_clock;
    // The listening socket and the file it is bound to (device and inode), so
    // that closing removes the file only while it is still this copy's.
    int m_listenFd = -1;
    QSocketNotifier* m_listenNotifier = nullptr;
    std::pair<quint64, quint64> m_socketFile{0, 0};
};
