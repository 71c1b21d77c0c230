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
