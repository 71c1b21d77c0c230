#pragma once

#include "platform/MicrophoneAccess.h"

class FakeMicrophoneAccess : public MicrophoneAccess {
public:
    Status authorizationStatus() override { return status; }
    Status status = authorized;
};
