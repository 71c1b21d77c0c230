#include "support/PulseProbe.h"

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/TestSupport.h"

namespace pulseprobe {

bool pactl(const QStringList& args, const QString& server, QString* output) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    QStringList all;
    if (!server.isEmpty()) all << QStringLiteral("-s") << server;
    p.start(QStringLiteral("pactl"), all + args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

SinkVolume sinkVolume(const QString& server) {
    // "Volume: front-left: 49152 /  75% / -7.50 dB,   front-right: 49152 /  75% / -7.50 dB"
    SinkVolume v;
    QString out;
    if (!pactl({"get-sink-volume", "@DEFAULT_SINK@"}, server, &out)) return v;
    static const QRegularExpression channel(QStringLiteral(R"((\d+)\s*/\s*(\d+)%)"));
    quint32 loudest = 0;
    auto it = channel.globalMatch(out.section(QLatin1Char('\n'), 0, 0));
    while (it.hasNext()) {
        const auto m = it.next();
        const quint32 raw = m.captured(1).toUInt();
        v.channels.push_back(raw);
        if (raw >= loudest) {
            loudest = raw;
            v.percent = m.captured(2).toInt();
        }
    }
    return v;
}

bool sinkMuted(const QString& server) {
    QString out;
    return pactl({"get-sink-mute", "@DEFAULT_SINK@"}, server, &out) &&
           out.trimmed() == QStringLiteral("Mute: yes");
}

bool setSinkVolume(const QStringList& values, const QString& server) {
    return pactl(QStringList{"set-sink-volume", "@DEFAULT_SINK@"} + values, server);
}

bool setSinkMuted(bool muted, const QString& server) {
    return pactl({"set-sink-mute", "@DEFAULT_SINK@", muted ? "1" : "0"}, server);
}

}  // namespace pulseprobe

PrivatePulseServer::PrivatePulseServer() {
    m_dir = QDir(testsupport::root()).filePath(QStringLiteral("private-pulse"));
    QDir().mkpath(m_dir + QStringLiteral("/run"));
    QFile::setPermissions(m_dir + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_address = QStringLiteral("unix:") + m_dir + QStringLiteral("/native");
}

PrivatePulseServer::~PrivatePulseServer() {
    kill();
}

bool PrivatePulseServer::start() {
    kill();
    QFile::remove(m_dir + QStringLiteral("/native"));
    m_daemon = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir + QStringLiteral("/run"));
    env.insert(QStringLiteral("HOME"), m_dir);
    env.remove(QStringLiteral("PULSE_SERVER"));
    // Off the session bus: the environment's daemon holds the bus name.
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + m_dir + QStringLiteral("/no-bus"));
    env.remove(QStringLiteral("DISPLAY"));
    m_daemon->setProcessEnvironment(env);
    m_daemon->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_daemon->setStandardOutputFile(QProcess::nullDevice());
    m_daemon->start(QStringLiteral("pulseaudio"),
                    {"--daemonize=no", "--exit-idle-time=-1", "--disallow-exit",
                     "--use-pid-file=no", "-n",
                     "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + m_dir + "/native",
                     "-L", "module-null-sink sink_name=private_speakers"});
    if (!m_daemon->waitForStarted(20000)) return false;
    return testsupport::waitUntil([&] { return pulseprobe::pactl({"info"}, m_address); });
}

void PrivatePulseServer::kill() {
    if (!m_daemon) return;
    thaw();
    m_daemon->kill();
    m_daemon->waitForFinished(20000);
    m_daemon.reset();
}

void PrivatePulseServer::freeze() {
    if (m_daemon) ::kill(pid_t(m_daemon->processId()), SIGSTOP);
}

void PrivatePulseServer::thaw() {
    if (m_daemon) ::kill(pid_t(m_daemon->processId()), SIGCONT);
}
