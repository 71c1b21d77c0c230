#include "pipeline/AudioDuckingService.h"

#include <algorithm>

#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/pulse/PulseServer.h"
#include "platform/pulse/PulseVolume.h"

AudioDuckingService::AudioDuckingService(SettingsStore& settings, Volume& volume, Clock& clock,
                                         QObject* parent)
    : QObject(parent), m_settings(settings), m_volume(volume), m_clock(clock) {}

AudioDuckingService::~AudioDuckingService() {
    cancelReapplies();
    m_queue.drain();
}

AudioDuckingService& AudioDuckingService::shared() {
    static PulseVolume volume(PulseServer::shared());
    static AudioDuckingService* service =
        new AudioDuckingService(SettingsStore::shared(), volume, Clock::system());
    return *service;
}

int AudioDuckingService::duckingMode() const {
    return int(m_settings.integerOrDefault("audioDucking"));
}

int AudioDuckingService::duckingLevel() const {
    if (!m_settings.contains("duckingLevel"))
        return int(m_settings.integerOrDefault("duckingLevel"));
    return int(std::clamp<qint64>(m_settings.integer("duckingLevel"), 0, 100));
}

void AudioDuckingService::cancelReapplies() {
    for (auto& t : m_reapplies) t->cancel();
    m_reapplies.clear();
}

void AudioDuckingService::duck() {
    const int mode = duckingMode();
    const int level = duckingLevel();
    if (mode < 1 || m_duckIssued) return;
    // The repeats of the last restore would raise the volume in the middle
    // of this recording.
    cancelReapplies();
    m_duckIssued = true;
    // The volume is read on the queue too: a sound server that does not
    // answer holds up the queue, never the key press.
    m_queue.async([this, mode, level] {
        const auto settings = m_volume.getVolumeSettings();
        if (!settings) {
            debugLog(
                QStringLiteral("[Duck] DUCK отменён: не удалось прочитать громкость — не "
                               "приглушаем, чтобы не застрять тихим"));
            return;
        }
        std::unique_lock lock(m_stateMutex);
        // Right after an unduck() the output may still be at the lowered
        // level (its restores are pending); the user's own level is the one
        // being restored, never the one read now.
        const int volume = m_restoring.value_or(settings->volume);
        if (settings->muted || volume < 1) {
            lock.unlock();
            debugLog(QStringLiteral(
                         "[Duck] DUCK пропущен: звук выключен (muted=%1, vol=%2) — не включаем")
                         .arg(settings->muted ? "true" : "false")
                         .arg(volume));
            return;
        }
        if (mode != 1 && mode != 2) return;
        m_restoring.reset();
        m_savedVolume = volume;
        m_isDucked = true;
        lock.unlock();
        const int target = mode == 2 ? 0 : volume * level / 100;
        m_volume.setSystemVolume(target);
        debugLog(QStringLiteral("[Duck] DUCK mode=%1 level=%2% saved=%3 target=%4")
                     .arg(mode)
                     .arg(level)
                     .arg(volume)
                     .arg(target));
    });
}

void AudioDuckingService::unduck() {
    const bool issued = m_duckIssued;
    m_duckIssued = false;
    if (issued) cancelReapplies();
    m_queue.async([this] {
        std::unique_lock lock(m_stateMutex);
        if (!m_isDucked || !m_savedVolume) {
            m_savedVolume.reset();
            m_isDucked = false;
            return;
        }
        const int v = *m_savedVolume;
        m_savedVolume.reset();
        m_isDucked = false;
        m_restoring = v;
        lock.unlock();
        m_volume.setSystemVolume(v);
        debugLog(QStringLiteral("[Duck] UNDUCK restore=%1 (повтор 1/3)").arg(v));
    });
    if (!issued) return;
    // Some outputs (a device that wakes up, a server that re-applies its
    // stream state) lose the first write; repeat it twice. A repeat with
    // nothing being restored (the duck did not happen) writes nothing.
    const int count = int(std::size(kReapplyDelays));
    for (int i = 0; i < count; ++i) {
        const int attempt = i + 2;
        const bool last = i == count - 1;
        m_reapplies.push_back(m_clock.schedule(kReapplyDelays[i], this, [this, attempt, last] {
            m_queue.async([this, attempt, last] {
                std::unique_lock lock(m_stateMutex);
                const std::optional<int> v = m_restoring;
                if (last) m_restoring.reset();
                lock.unlock();
                if (!v) return;
                m_volume.setSystemVolume(*v);
                debugLog(
                    QStringLiteral("[Duck] UNDUCK re-apply=%1 (повтор %2/3)").arg(*v).arg(attempt));
            });
        }));
    }
}

bool AudioDuckingService::isDucked() const {
    std::lock_guard lock(m_stateMutex);
    return m_isDucked;
}

std::optional<int> AudioDuckingService::savedVolume() const {
    std::lock_guard lock(m_stateMutex);
    return m_savedVolume;
}
