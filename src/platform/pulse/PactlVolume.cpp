#include "platform/pulse/PactlVolume.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <cstdio>

bool runPactl(const QStringList& args, QString* output) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForStarted(3000)) return false;
    // A hung audio server must not freeze the caller (the main thread).
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::optional<PactlVolume::Reading> PactlVolume::parseVolume(const QString& output) {
    // "Volume: front-left: 49152 /  75% / -7.50 dB,   front-right: 49152 /  75% / -7.50 dB"
    static const QRegularExpression channel(QStringLiteral(R"((\d+)\s*/\s*(\d+)%)"));
    const int start = output.indexOf(QStringLiteral("Volume:"));
    if (start < 0) return std::nullopt;
    int end = output.indexOf(QLatin1Char('\n'), start);
    const QString line = output.mid(start, end < 0 ? -1 : end - start);
    Reading r;
    quint32 loudest = 0;
    auto it = channel.globalMatch(line);
    while (it.hasNext()) {
        const auto m = it.next();
        bool ok = false;
        const quint32 raw = m.captured(1).toUInt(&ok);
        if (!ok) return std::nullopt;
        r.channels.push_back(raw);
        if (raw >= loudest) {
            loudest = raw;
            r.percent = m.captured(2).toInt();
        }
    }
    if (r.channels.empty()) return std::nullopt;
    return r;
}

std::optional<bool> PactlVolume::parseMute(const QString& output) {
    const QString t = output.trimmed();
    if (!t.startsWith(QStringLiteral("Mute:"))) return std::nullopt;
    return t.mid(5).trimmed() == QStringLiteral("yes");
}

std::optional<Volume::Settings> PactlVolume::getVolumeSettings() {
    QString volumeText, muteText;
    if (!runPactl({"get-sink-volume", "@DEFAULT_SINK@"}, &volumeText)) {
        std::printf(
            "AudioDuckingService: Failed to get volume settings: pactl get-sink-volume failed\n");
        std::fflush(stdout);
        return std::nullopt;
    }
    const auto reading = parseVolume(volumeText);
    if (!reading) return std::nullopt;
    bool muted = false;
    if (runPactl({"get-sink-mute", "@DEFAULT_SINK@"}, &muteText))
        muted = parseMute(muteText).value_or(false);
    {
        std::lock_guard lock(m_mutex);
        m_readings[reading->percent] = *reading;
    }
    return Settings{reading->percent, muted};
}

void PactlVolume::setSystemVolume(int volume) {
    QStringList args{"set-sink-volume", "@DEFAULT_SINK@"};
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_readings.find(volume);
        if (known != m_readings.end()) {
            // A level that was read: put back the exact raw value of every
            // channel, not a rounded percentage.
            for (quint32 raw : known->second.channels) args << QString::number(raw);
        } else {
            args << QString::number(std::clamp(volume, 0, 100)) + QLatin1Char('%');
        }
    }
    if (!runPactl(args)) {
        std::printf("AudioDuckingService: Failed to set volume: pactl set-sink-volume failed\n");
        std::fflush(stdout);
    }
}
