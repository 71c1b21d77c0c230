#pragma once

#include <QObject>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Clock.h"
#include "platform/Threading.h"

class SettingsStore;
class Volume;

// Lowers or mutes the system output while the microphone records and puts
// the user's volume back afterwards. duck() and unduck() are called on the
// main thread and never wait for the sound server: the volume read and every
// volume write run on the serial "com.ormil.ducking" queue in the order
// issued, which keeps the state of the duck.
class AudioDuckingService : public QObject {
    Q_OBJECT
public:
    AudioDuckingService(SettingsStore& settings, Volume& volume, Clock& clock,
                        QObject* parent = nullptr);
    ~AudioDuckingService() override;
    static AudioDuckingService& shared();

    // "audioDucking": 0 off, 1 lower to duckingLevel() % of the volume, 2 mute.
    int duckingMode() const;
    // "duckingLevel", clamped to 0...100.
    int duckingLevel() const;

    void duck();
    void unduck();

    // As the queue has got so far.
    bool isDucked() const;
    std::optional<int> savedVolume() const;
    // Waits until every volume write issued so far has run.
    void waitForQueue() { m_queue.drain(); }

    // When the restore is repeated after unduck(), in seconds.
    static constexpr double kReapplyDelays[] = {0.45, 1.1};

private:
    void cancelReapplies();

    SettingsStore& m_settings;
    Volume& m_volume;
    Clock& m_clock;
    SerialQueue m_queue{QStringLiteral("com.ormil.ducking")};
    // A duck() was issued and no unduck() since (main thread).
    bool m_duckIssued = false;
    // The queue's state of the duck.
    mutable std::mutex m_stateMutex;
    std::optional<int> m_savedVolume;
    bool m_isDucked = false;
    // The level the last unduck() restores while its repeats are pending.
    std::optional<int> m_restoring;
    std::vector<ClockTimerPtr> m_reapplies;
};
