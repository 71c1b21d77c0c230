#pragma once

#include <QString>
#include <functional>

#include "platform/TonePlayer.h"

class PulseServer;

// Each buffer gets a playback stream of its own on the shared server
// connection; the stream lives on the connection's thread, driven by its
// callbacks, so no thread waits for the server while a tone plays. A tone
// the server has not played within the connection's timeout (beyond its own
// length) is dropped: a server that hangs costs a tone, never a thread.
class PulseTonePlayer : public TonePlayer {
public:
    explicit PulseTonePlayer(PulseServer& server);
    void play(std::vector<float> samples, int sampleRate) override;

    // Called once for every buffer that was not empty, when it has played
    // (an empty reason) or was dropped (the reason), on the connection's
    // thread or a worker. The reason is also printed for the user.
    std::function<void(const QString& failure)> onPlayed;

private:
    PulseServer& m_server;
};
