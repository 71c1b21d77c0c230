#include "platform/pulse/PulseMicrophoneAccess.h"

#include <pulse/introspect.h>

#include <atomic>

#include "platform/pulse/PulseServer.h"

namespace {
std::atomic<MicrophoneAccess*> g_access{nullptr};

struct SourcesReply : PulseServer::Pending {
    int captureSources = 0;
};
}  // namespace

MicrophoneAccess& MicrophoneAccess::shared() {
    static PulseMicrophoneAccess pulse(PulseServer::shared());
    MicrophoneAccess* a = g_access.load();
    return a ? *a : pulse;
}

void MicrophoneAccess::setShared(MicrophoneAccess* access) {
    g_access.store(access);
}

PulseMicrophoneAccess::PulseMicrophoneAccess(PulseServer& server) : m_server(server) {}

MicrophoneAccess::Status PulseMicrophoneAccess::authorizationStatus() {
    SourcesReply reply;
    const bool answered = m_server.request(reply, [&](pa_context* c) {
        return pa_context_get_source_info_list(
            c,
            [](pa_context*, const pa_source_info* info, int eol, void* data) {
                // Monitors of outputs are no microphones.
                if (eol == 0 && info && info->monitor_of_sink == PA_INVALID_INDEX)
                    ++static_cast<SourcesReply*>(data)->captureSources;
            },
            &reply);
    });
    return answered && reply.captureSources > 0 ? authorized : denied;
}
