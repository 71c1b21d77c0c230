#pragma once

#include <QStringList>
#include <functional>

// Whether the application may record. No prompt exists here: the microphone
// counts as authorised when the audio server offers at least one capture
// source (monitors of outputs do not count).
class MicrophoneAccess {
public:
    // The numbering of the status the rest of the application logs and
    // compares.
    enum Status { notDetermined = 0, restricted = 1, denied = 2, authorized = 3 };

    virtual ~MicrophoneAccess() = default;
    virtual Status authorizationStatus() = 0;
    // Answers with the current status (there is nothing to ask the user).
    void requestAccess(const std::function<void(bool granted)>& done) {
        done(authorizationStatus() == authorized);
    }

    static MicrophoneAccess& shared();
    static void setShared(MicrophoneAccess* access);
};

// Asks the audio server through `pactl list short sources`.
class PactlMicrophoneAccess : public MicrophoneAccess {
public:
    Status authorizationStatus() override;
    // Capture sources (not monitors) named in pactl's short listing.
    static QStringList captureSources(const QString& listing);
};

class FakeMicrophoneAccess : public MicrophoneAccess {
public:
    Status authorizationStatus() override { return status; }
    Status status = authorized;
};
