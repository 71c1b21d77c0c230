#include "platform/TonePlayer.h"

#include <atomic>

#include "platform/pulse/PulseServer.h"
#include "platform/pulse/PulseTonePlayer.h"

namespace {
std::atomic<TonePlayer*> g_player{nullptr};
}

TonePlayer& TonePlayer::shared() {
    static PulseTonePlayer pulse(PulseServer::shared());
    TonePlayer* p = g_player.load();
    return p ? *p : pulse;
}

void TonePlayer::setShared(TonePlayer* player) {
    g_player.store(player);
}
