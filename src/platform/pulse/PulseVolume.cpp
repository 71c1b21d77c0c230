#include "platform/pulse/PulseVolume.h"

#include <pulse/error.h>
#include <pulse/introspect.h>

#include <QString>
#include <algorithm>
#include <cstdio>

#include "platform/pulse/PulseServer.h"

namespace {

// The sink the user hears: the server resolves the name itself, so a change
// of the default output needs no bookkeeping here.
constexpr const char* kDefaultSink = "@DEFAULT_SINK@";

struct SinkReply : PulseServer::Pending {
    bool found = false;
    pa_cvolume volume{};
    bool muted = false;
};

struct SuccessReply : PulseServer::Pending {
    bool success = false;
};

QString noAnswer() {
    return QStringLiteral("the sound server did not answer");
}

void report(const char* what, const QString& error) {
    std::printf("AudioDuckingService: %s: %s\n", what, error.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace

PulseVolume::PulseVolume(PulseServer& server) : m_server(server) {}

int PulseVolume::percentOf(const pa_cvolume& volume) {
    const quint64 loudest = pa_cvolume_max(&volume);
    return int((loudest * 100 + PA_VOLUME_NORM / 2) / PA_VOLUME_NORM);
}

std::optional<PulseVolume::Sink> PulseVolume::readDefaultSink(QString* error) {
    SinkReply reply;
    const bool answered = m_server.request(reply, [&](pa_context* c) {
        return pa_context_get_sink_info_by_name(
            c, kDefaultSink,
            [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                auto* r = static_cast<SinkReply*>(data);
                if (eol != 0 || !info) return;
                r->found = true;
                r->volume = info->volume;
                r->muted = info->mute != 0;
            },
            &reply);
    });
    if (!answered) {
        *error = noAnswer();
        return std::nullopt;
    }
    if (!reply.found) {
        *error = QStringLiteral("there is no default output");
        return std::nullopt;
    }
    // A sink without volume control reports no channels.
    if (!pa_cvolume_valid(&reply.volume)) {
        *error = QStringLiteral("the default output has no volume control");
        return std::nullopt;
    }
    return Sink{reply.volume, reply.muted};
}

std::optional<Volume::Settings> PulseVolume::getVolumeSettings() {
    QString error;
    const auto sink = readDefaultSink(&error);
    if (!sink) {
        report("Failed to get volume settings", error);
        return std::nullopt;
    }
    const int percent = percentOf(sink->volume);
    {
        std::lock_guard lock(m_mutex);
        m_readings[percent] = sink->volume;
    }
    return Settings{percent, sink->muted};
}

void PulseVolume::setSystemVolume(int volume) {
    volume = std::clamp(volume, 0, 100);
    QString error;
    const auto sink = readDefaultSink(&error);
    if (!sink) {
        report("Failed to set volume", error);
        return;
    }
    pa_cvolume target = sink->volume;
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_readings.find(volume);
        if (known != m_readings.end() && known->second.channels == target.channels) {
            // A level that was read: put back the exact raw value of every
            // channel, not a rounded percentage.
            target = known->second;
        } else {
            // Any other level keeps the balance between the channels.
            pa_cvolume_scale(&target, pa_volume_t((quint64(volume) * PA_VOLUME_NORM + 50) / 100));
        }
    }
    SuccessReply reply;
    const bool answered = m_server.request(reply, [&](pa_context* c) {
        return pa_context_set_sink_volume_by_name(
            c, kDefaultSink, &target,
            [](pa_context*, int success, void* data) {
                static_cast<SuccessReply*>(data)->success = success != 0;
            },
            &reply);
    });
    if (!answered || !reply.success)
        report("Failed to set volume", answered ? QStringLiteral("the server refused it") : noAnswer());
}
