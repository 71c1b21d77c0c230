#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// Looks at a PulseAudio server from outside, through pactl, the way a user's
// own tools see it. `server` is a server address, or empty for the test
// environment's daemon.
namespace pulseprobe {

struct SinkVolume {
    std::vector<quint32> channels;  // raw volumes, 65536 = 100 %
    int percent = -1;               // the loudest channel as pactl shows it
    bool operator==(const SinkVolume&) const = default;
};

// The default sink's volume; percent -1 and no channels when unreadable.
SinkVolume sinkVolume(const QString& server = {});
bool sinkMuted(const QString& server = {});
// pactl set-sink-volume @DEFAULT_SINK@ with `values` ("50000", "75%"...).
bool setSinkVolume(const QStringList& values, const QString& server = {});
bool setSinkMuted(bool muted, const QString& server = {});
// Runs pactl with the C locale; false when it fails.
bool pactl(const QStringList& args, const QString& server = {}, QString* output = nullptr);

}  // namespace pulseprobe

// A PulseAudio daemon of a test's own, on a socket in a private folder, with
// a null sink and no microphone: it can be stopped, frozen and restarted
// without disturbing the test environment's daemon.
class PrivatePulseServer {
public:
    PrivatePulseServer();
    ~PrivatePulseServer();
    // Starts the daemon and waits until it answers; false when it does not.
    bool start();
    void kill();
    void freeze();  // SIGSTOP: connected clients get no answers
    void thaw();
    // "unix:/path/native"
    QString address() const { return m_address; }

private:
    QString m_dir;
    QString m_address;
    std::unique_ptr<QProcess> m_daemon;
};
