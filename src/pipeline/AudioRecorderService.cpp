#include "pipeline/AudioRecorderService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUuid>
#include <algorithm>
#include <cmath>

#include "audio/OggOpus.h"
#include "core/AppState.h"
#include "core/L10n.h"
#include "core/OverlayControl.h"
#include "pipeline/SoundService.h"
#include "platform/DebugLog.h"
#include "platform/Notifier.h"
#include "platform/PrivateFiles.h"
#include "platform/Required.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {
QString yesNo(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

AudioRecorderService::AudioRecorderService(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(std::move(collaborators)) {
    requireCollaborators("AudioRecorderService", "clock", m_c.clock, "appState", m_c.appState,
                         "overlay", m_c.overlay, "sounds", m_c.sounds, "notifier", m_c.notifier,
                         "makeRecorder", m_c.makeRecorder, "microphoneStatus", m_c.microphoneStatus,
                         "settings", m_c.settings);
}

AudioRecorderService::~AudioRecorderService() {
    stopStreamTimer();
    stopMetering();
    stopMaxRecordingWatchdog();
    if (m_audioRecorder) {
        m_audioRecorder->onStarted = nullptr;
        m_audioRecorder->onFinished = nullptr;
        m_audioRecorder->onEncodeError = nullptr;
        m_audioRecorder->stop();
    }
}

bool AudioRecorderService::isRecording() const {
    return m_audioRecorder && m_audioRecorder->isRecording();
}

float AudioRecorderService::levelForPower(float power) {
    const float level = std::min((power + 50.0f) / 50.0f, 1.0f);
    return level < 0.0f ? 0.0f : level;
}

void AudioRecorderService::startRecording(bool translate) {
    debugLog(QStringLiteral("[Audio] startRecording() called, dispatching to main"));
    m_cancelRequested = false;
    QPointer<AudioRecorderService> self(this);
    runOnMain(this, [self, translate] {
        if (self) self->beginRecording(translate);
    });
}

void AudioRecorderService::beginRecording(bool translate) {
    debugLog(QStringLiteral("[Audio] beginRecording() on main thread: ") + yesNo(isMainThread()));
    if (m_cancelRequested) {
        debugLog(QStringLiteral(
            "[Audio] beginRecording ОТМЕНЁН (cancelRequested) — микрофон не запускаем"));
        return;
    }
    if (m_audioRecorder) {
        // A start while a recording runs would orphan its file and recorder.
        debugLog(QStringLiteral("[Audio] beginRecording: recording already in progress — ignored"));
        return;
    }
    m_translateMode = translate;
    // The private temporary folder is looked up for each recording: it is
    // made again when something cleared the user's cache meanwhile.
    const QString directory =
        m_c.directory.isEmpty() ? PrivateFiles::temporaryDirectory() : m_c.directory;
    if (directory.isEmpty()) {
        // Never a file in the working folder or in a shared one.
        failStart(QStringLiteral("no private folder for the recording"));
        return;
    }
    const QString path = QDir(directory).filePath(
        QStringLiteral("ormil_") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() +
        QStringLiteral(".wav"));
    m_recordingURL = path;
    debugLog(QStringLiteral("[Audio] Recording to: ") + path);
    // Asked of the sound server on the pool: a server that does not answer
    // must not hold up the press for a line of the log.
    runAsync([status = m_c.microphoneStatus] {
        debugLog(QStringLiteral("[Audio] Mic auth status: %1 (0=notDetermined, 1=restricted, "
                                "2=denied, 3=authorized)")
                     .arg(status()));
    });

    try {
        m_audioRecorder = m_c.makeRecorder(path);
    } catch (const std::exception& e) {
        const QString reason = QString::fromUtf8(e.what());
        debugLog(QStringLiteral("[Audio] EXCEPTION creating recorder: ") + reason);
        failStart(reason);
        return;
    }
    debugLog(QStringLiteral("[Audio] Recorder created OK"));
    QPointer<AudioRecorderService> self(this);
    AudioCapture* recorder = m_audioRecorder.get();
    const quint64 session = ++m_session;
    m_feed = std::make_shared<SampleFeed>();
    recorder->onSamples = [feed = m_feed](const char* pcm, qint64 bytes) {
        feed->push(pcm, bytes);
    };
    // The microphone opens on the recorder's own thread; the press does not
    // wait for it.
    recorder->onStarted = [self, session](std::optional<QString> failure) {
        runOnMain(self, [self, session, failure] { self->recorderStarted(session, failure); });
    };
    // The recorder may report from its capture thread.
    recorder->onFinished = [self](bool ok) {
        runOnMain(self, [self, ok] { self->audioRecorderDidFinishRecording(ok); });
    };
    recorder->onEncodeError = [self](std::optional<QString> error) {
        runOnMain(self, [self, error] { self->audioRecorderEncodeErrorDidOccur(error); });
    };
    debugLog(QStringLiteral("[Audio] prepareToRecord() returned: ") +
             yesNo(recorder->prepareToRecord()));
    const bool started = recorder->record();
    debugLog(QStringLiteral("[Audio] record() returned: ") + yesNo(started));

    if (m_cancelRequested) {
        debugLog(
            QStringLiteral("[Audio] beginRecording: отмена в зазоре — останавливаю только что "
                           "стартовавший рекордер"));
        recorder->stop();
        deleteRecordingFile(m_recordingURL);
        clearSession();
        stopStreamTimer();
        stopMetering();
        stopMaxRecordingWatchdog();
        return;
    }
    if (!started) {
        debugLog(QStringLiteral("[Audio] record() returned false!"));
        QString reason = recorder->errorString();
        if (reason.isEmpty()) reason = QStringLiteral("the microphone did not start");
        recorder->onFinished = nullptr;
        recorder->stop();
        failStart(reason);
        return;
    }
    if (m_c.warmUpConnection) m_c.warmUpConnection();
    m_recordingStartTime = m_c.clock->now();
    startStreamingChunks();
    if (m_live) m_feed->attach(m_live);
    m_maxPowerObserved = -160.0f;
    startMetering();
    startMaxRecordingWatchdog();
    debugLog(QStringLiteral("[Audio] Metering started"));
}

void AudioRecorderService::recorderStarted(quint64 session, const std::optional<QString>& failure) {
    // A report of a recording that ended meanwhile is not this session's.
    if (session != m_session || !m_audioRecorder) return;
    if (!failure) {
        debugLog(QStringLiteral("[Audio] Microphone open"));
        return;
    }
    debugLog(QStringLiteral("[Audio] EXCEPTION creating recorder: ") + *failure);
    stopMetering();
    stopMaxRecordingWatchdog();
    failStart(*failure);
}

void AudioRecorderService::failStart(const QString& reason) {
    // Nothing may be left behind: no recorder holding the microphone, no
    // half-written file in the temporary folder.
    stopStreamTimer();
    deleteRecordingFile(m_recordingURL);
    clearSession();
    reportStartFailure(reason);
}

void AudioRecorderService::reportStartFailure(const QString& reason) {
    m_c.appState->setLastError(QStringLiteral("Failed to start recording: ") + reason);
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
}

void AudioRecorderService::startMetering() {
    m_meteringLogCounter = 0;
    if (m_meteringTimer) m_meteringTimer->cancel();
    m_meteringTimer = m_c.clock->repeat(meteringInterval, this, [this] { meterTick(); });
}

void AudioRecorderService::meterTick() {
    if (!m_audioRecorder || !m_audioRecorder->isRecording()) {
        if (m_meteringLogCounter == 0)
            debugLog(QStringLiteral("[Audio] Metering: recorder nil or not recording"));
        return;
    }
    m_audioRecorder->updateMeters();
    const float power = m_audioRecorder->averagePower();
    if (power > m_maxPowerObserved) m_maxPowerObserved = power;
    const float level = levelForPower(power);
    m_c.overlay->updateAudioLevel(level);
    ++m_meteringLogCounter;
    if (m_meteringLogCounter < 6 || m_meteringLogCounter % 20 == 0) {
        debugLog(QStringLiteral("[Audio] Metering #%1: power=%2dB norm=%3")
                     .arg(m_meteringLogCounter)
                     .arg(logNumber(power), logNumber(level)));
    }
}

void AudioRecorderService::stopMetering() {
    if (m_meteringTimer) m_meteringTimer->cancel();
    m_meteringTimer.reset();
}

void AudioRecorderService::startMaxRecordingWatchdog() {
    stopMaxRecordingWatchdog();
    m_maxRecordingTimer =
        m_c.clock->schedule(maxRecordingSeconds, this, [this] { forceStopAtCap(); });
    m_recordingWarningTimer = m_c.clock->schedule(maxRecordingSeconds - warningBeforeSeconds, this,
                                                  [this] { showRecordingWarning(); });
}

void AudioRecorderService::stopMaxRecordingWatchdog() {
    if (m_maxRecordingTimer) m_maxRecordingTimer->cancel();
    if (m_recordingWarningTimer) m_recordingWarningTimer->cancel();
    m_maxRecordingTimer.reset();
    m_recordingWarningTimer.reset();
}

void AudioRecorderService::showRecordingWarning() {
    if (!m_audioRecorder || !m_audioRecorder->isRecording()) return;
    m_c.sounds->playStopSound();
    m_c.notifier->notify(
        QStringLiteral("Ormil"),
        L10n::longRecordingWarning(int((maxRecordingSeconds - warningBeforeSeconds) / 60)));
}

void AudioRecorderService::forceStopAtCap() {
    debugLog(QStringLiteral("[Audio] Reached hard cap %1s — salvaging (maxPower=%2dB).")
                 .arg(logNumber(maxRecordingSeconds), logNumber(m_maxPowerObserved)));
    stopMetering();
    stopMaxRecordingWatchdog();
    const double duration = m_recordingStartTime ? m_c.clock->now() - *m_recordingStartTime : 0.0;
    const std::optional<QString> url = m_recordingURL;
    const float maxPower = m_maxPowerObserved;
    QPointer<AudioRecorderService> self(this);
    stopRecorder([self, url, duration, maxPower](const std::optional<QString>&) {
        if (self) self->stoppedAtCap(url, duration, maxPower);
    });
    clearSession();
    m_c.appState->setIsRecording(false);
    m_c.appState->setRecordingDuration(0);
    emit recordingEndedAtCap();
}

void AudioRecorderService::stoppedAtCap(const std::optional<QString>& url, double duration,
                                        float maxPower) {
    if (url) {
        QFileInfo info(*url);
        const qint64 size = info.exists() ? info.size() : -1;
        if (size >= 0 && maxPower > salvagePowerFloor && size >= 1001 && size <= maxAudioBytes) {
            debugLog(QStringLiteral("[Audio] Salvaging long recording: %1s, %2 bytes")
                         .arg(QString::asprintf("%.0f", duration))
                         .arg(size));
            m_c.sounds->playStopSound();
            m_c.overlay->show(OverlayState::processing);
            sendToTranscription(*url, duration);
            return;
        }
    }
    stopStreamTimer();
    deleteRecordingFile(url);
    m_c.appState->setLastError(QStringLiteral(
        "Запись достигла предела и была завершена. Похоже, залипла клавиша — запишите заново."));
    m_c.overlay->show(OverlayState::error);
    m_c.sounds->playErrorSound();
}

AudioRecorderService::Streaming AudioRecorderService::takeStreaming() {
    Streaming taken;
    swapStreaming(taken);
    return taken;
}

void AudioRecorderService::swapStreaming(Streaming& other) {
    std::swap(m_live, other.live);
    std::swap(m_feed, other.feed);
    std::swap(m_streamedWindows, other.streamedWindows);
    std::swap(m_streamLanguage, other.language);
    std::swap(m_streamProvider, other.provider);
    std::swap(m_streamTranslateTo, other.translateTo);
}

void AudioRecorderService::stopRecorder(
    std::function<void(const std::optional<QString>& failure)> then) {
    if (!m_audioRecorder) {
        then(std::nullopt);
        return;
    }
    AudioCapture* recorder = m_audioRecorder.get();
    m_finishing.push_back(std::move(m_audioRecorder));
    // Stopped in stop() itself (the continuation ran at once) or later on
    // the capture thread.
    auto done = std::make_shared<bool>(false);
    auto inStop = std::make_shared<bool>(true);
    auto streaming = std::make_shared<std::optional<Streaming>>();
    QPointer<AudioRecorderService> self(this);
    auto finish = [self, recorder, done, inStop, streaming,
                   then = std::move(then)](const std::optional<QString>& failure) {
        *done = true;
        if (!self) return;
        if (!*streaming) {
            then(failure);
        } else if (self->m_audioRecorder) {
            // A new recording runs: this one's dispatch gets its own state,
            // the new one keeps its.
            self->swapStreaming(**streaming);
            then(failure);
            self->swapStreaming(**streaming);
        } else {
            self->swapStreaming(**streaming);
            then(failure);
        }
        // A recorder that finished inside stop() is dropped once stop()
        // returned.
        if (!*inStop) self->dropFinished(recorder);
    };
    recorder->onStopped = [finish](std::optional<QString> failure) {
        runOnMainNowOrQueued([finish, failure] { finish(failure); });
    };
    recorder->stop();
    *inStop = false;
    if (*done) {
        dropFinished(recorder);
        return;
    }
    // The file is finished on the capture thread: what this recording
    // streamed waits with it, so a press meanwhile starts afresh.
    stopStreamTimer();
    *streaming = takeStreaming();
}

void AudioRecorderService::stopRecording() {
    debugLog(QStringLiteral("[Audio] stopRecording() called"));
    stopMetering();
    stopMaxRecordingWatchdog();
    if (!m_audioRecorder || !m_audioRecorder->isRecording()) {
        debugLog(QStringLiteral("[Audio] stopRecording: no active recorder! audioRecorder=%1, "
                                "isRecording=%2")
                     .arg(yesNo(bool(m_audioRecorder)),
                          yesNo(m_audioRecorder && m_audioRecorder->isRecording())));
        // A recorder that broke off mid-way: release it and its file.
        if (m_audioRecorder) {
            stopStreamTimer();
            m_audioRecorder->stop();
            deleteRecordingFile(m_recordingURL);
            clearSession();
        }
        // The caller already showed processing; nothing will follow it.
        m_c.overlay->show(OverlayState::idle);
        return;
    }
    const double now = m_c.clock->now();
    const double duration = now - m_recordingStartTime.value_or(now);
    const std::optional<QString> url = m_recordingURL;
    QPointer<AudioRecorderService> self(this);
    stopRecorder([self, url, duration](const std::optional<QString>& failure) {
        if (!self) return;
        if (failure) {
            // The microphone never opened: nothing was recorded.
            debugLog(QStringLiteral("[Audio] EXCEPTION creating recorder: ") + *failure);
            self->stopStreamTimer();
            self->deleteRecordingFile(url);
            self->reportStartFailure(*failure);
            return;
        }
        if (url) self->stoppedRecording(*url, duration);
    });
    clearSession();
}

void AudioRecorderService::dropFinished(AudioCapture* recorder) {
    const auto it = std::find_if(m_finishing.begin(), m_finishing.end(),
                                 [recorder](const auto& r) { return r.get() == recorder; });
    if (it == m_finishing.end()) return;
    std::unique_ptr<AudioCapture> gone = std::move(*it);
    m_finishing.erase(it);
}

void AudioRecorderService::stoppedRecording(const QString& url, double duration) {
    debugLog(QStringLiteral("[Audio] Stopped. Duration: ") + QString::asprintf("%.1f", duration) +
             QStringLiteral("s"));
    QFileInfo info(url);
    const qint64 size = info.exists() ? info.size() : 0;
    debugLog(QStringLiteral("[Audio] File: %1, size: %2 bytes").arg(url).arg(size));
    if (size <= maxAudioBytes) {
        sendToTranscription(url, duration);
    } else {
        debugLog(QStringLiteral("[Audio] File too large (%1 bytes > %2) — discarded (stuck "
                                "recording?)")
                     .arg(size)
                     .arg(maxAudioBytes));
        stopStreamTimer();
        deleteRecordingFile(url);
        m_c.appState->setLastError(
            QStringLiteral("Запись слишком длинная — вероятно, залипла клавиша. Запишите заново."));
        m_c.overlay->show(OverlayState::error);
        m_c.sounds->playErrorSound();
    }
}

void AudioRecorderService::cancelRecording() {
    debugLog(QStringLiteral("[Audio] cancelRecording() called"));
    m_cancelRequested = true;
    stopStreamTimer();
    stopMetering();
    stopMaxRecordingWatchdog();
    if (m_audioRecorder) m_audioRecorder->stop();
    deleteRecordingFile(m_recordingURL);
    clearSession();
    m_c.overlay->show(OverlayState::idle);
}

void AudioRecorderService::clearSession() {
    if (m_audioRecorder) {
        // Reports of a recorder that is gone must not reach the next session.
        m_audioRecorder->onStarted = nullptr;
        m_audioRecorder->onFinished = nullptr;
        m_audioRecorder->onEncodeError = nullptr;
    }
    m_audioRecorder.reset();
    m_recordingURL.reset();
    m_recordingStartTime.reset();
}

void AudioRecorderService::deleteRecordingFile(const std::optional<QString>& path) {
    if (path) QFile::remove(*path);
}

void AudioRecorderService::audioRecorderDidFinishRecording(bool successfully) {
    debugLog(QStringLiteral("[Audio] Delegate: didFinishRecording, success=") +
             yesNo(successfully));
    if (!successfully) m_c.appState->setLastError(QStringLiteral("Recording failed"));
}

void AudioRecorderService::audioRecorderEncodeErrorDidOccur(const std::optional<QString>& error) {
    if (!error) {
        debugLog(QStringLiteral("[Audio] Delegate: encodeError=nil"));
        return;
    }
    debugLog(QStringLiteral("[Audio] Delegate: encodeError=") + *error);
    m_c.appState->setLastError(QStringLiteral("Recording error: ") + *error);
}
