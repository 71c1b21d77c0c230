#pragma once

#include "platform/MicrophoneAccess.h"

class PulseServer;

// Asks the sound server for its sources on the shared connection.
class PulseMicrophoneAccess : public MicrophoneAccess {
public:
    explicit PulseMicrophoneAccess(PulseServer& server);
    // authorized when at least one capture source exists; denied when there
    // is none or the server does not answer.
    Status authorizationStatus() override;

private:
    PulseServer& m_server;
};
