#pragma once

#include <QList>
#include <QPointer>
#include <QProcess>
#include <QString>

#include "platform/MicrophoneList.h"

// Asks the audio server through `pactl list sources`, and follows
// `pactl subscribe` for sources that come and go.
class PactlMicrophoneList : public MicrophoneList {
    Q_OBJECT
public:
    explicit PactlMicrophoneList(QObject* parent = nullptr);
    ~PactlMicrophoneList() override;

    std::optional<QList<MicrophoneDevice>> devices() override;

    // The capture sources of pactl's long listing: "Name:" is the
    // identifier, "Description:" the label (the name when it has none).
    static QList<MicrophoneDevice> parseSources(const QString& listing);

private:
    void watch();

    QPointer<QProcess> m_subscribe;
};
