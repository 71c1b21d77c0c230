#pragma once

#include <QStringList>

#include "platform/MicrophoneAccess.h"

// Asks the audio server through `pactl list short sources`.
class PactlMicrophoneAccess : public MicrophoneAccess {
public:
    Status authorizationStatus() override;
    // Capture sources (not monitors) named in pactl's short listing.
    static QStringList captureSources(const QString& listing);
};
