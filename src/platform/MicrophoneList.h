#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// One capture device the user can choose: the identifier the settings store
// keeps ("selectedMicrophone") and the name shown for it.
struct MicrophoneDevice {
    QString uniqueID;
    QString localizedName;
    bool operator==(const MicrophoneDevice&) const = default;
};

// The capture devices of the audio server (monitors of outputs are not
// microphones). devicesChanged() follows devices that come and go.
class MicrophoneList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MicrophoneList() override = default;

    // In the order the audio server lists them; nothing when the server
    // could not be asked (which is not the same as having no microphone).
    // Asks the server and may take seconds when it hangs: callable from any
    // thread, and windows call it off the main one.
    virtual std::optional<QList<MicrophoneDevice>> devices() = 0;

    // The process-wide list on the audio server.
    static MicrophoneList& shared();

signals:
    void devicesChanged();
};
