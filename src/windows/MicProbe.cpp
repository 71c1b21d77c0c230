#include "windows/MicProbe.h"

#include <QDir>
#include <QFile>
#include <algorithm>

#include "platform/DebugLog.h"

MicProbe::MicProbe(std::function<void(double)> onLevel, Collaborators collaborators)
    : m_onLevel(std::move(onLevel)), m_c(std::move(collaborators)) {
    // Without a private folder there is no file, not even to delete: a
    // relative name would be one in the working folder.
    if (!m_c.directory.isEmpty())
        m_url = QDir(m_c.directory).filePath(QStringLiteral("ormil_mic_probe.wav"));
}

MicProbe::~MicProbe() {
    stop();
}

double MicProbe::levelForPower(double decibels) {
    const double level = std::min((decibels + 50.0) / 50.0, 1.0);
    return level >= 0.0 ? level : 0.0;  // NaN fails the comparison too
}

void MicProbe::start() {
    stop();
    if (m_c.directory.isEmpty()) {
        // Never a file in the working folder or in a shared one.
        debugLog(QStringLiteral("[Onboarding] Проба микрофона не запустилась: no private folder"));
        return;
    }
    // A probe file left by a crash would keep the recorder from creating its own.
    QFile::remove(m_url);
    try {
        m_recorder = m_c.makeRecorder(m_url);
    } catch (const std::exception& e) {
        debugLog(QStringLiteral("[Onboarding] Проба микрофона не запустилась: ") +
                 QString::fromUtf8(e.what()));
        return;
    }
    // The microphone opens on the recorder's own thread; a failure is
    // reported from there.
    m_recorder->onStarted = [](std::optional<QString> failure) {
        if (failure)
            debugLog(QStringLiteral("[Onboarding] Проба микрофона не запустилась: ") + *failure);
    };
    m_recorder->record();
    m_timer = m_c.clock->repeat(tickSeconds, this, [this] { tick(); });
}

void MicProbe::tick() {
    if (!m_recorder) return;
    m_recorder->updateMeters();
    const double level = levelForPower(double(m_recorder->averagePower()));
    if (m_onLevel) m_onLevel(level);
}

void MicProbe::stop() {
    if (m_timer) {
        m_timer->cancel();
        m_timer.reset();
    }
    if (m_recorder) {
        m_recorder->onFinished = nullptr;
        m_recorder->onEncodeError = nullptr;
        m_recorder->stop();
        m_recorder.reset();
    }
    if (!m_url.isEmpty()) QFile::remove(m_url);
}
