#include "windows/OnboardingModel.h"

#include <QPointer>

#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {
const QString kRecordingMode = QStringLiteral("recordingMode");
}

OnboardingModel::OnboardingModel(std::function<void()> onFinish, Collaborators collaborators,
                                 QObject* parent)
    : QObject(parent), m_onFinish(std::move(onFinish)), m_c(std::move(collaborators)) {
    askStatus(false);
}

OnboardingModel::~OnboardingModel() { stopMicProbe(); }

QString OnboardingModel::recordingMode() const {
    return m_c.settings->string(kRecordingMode).value_or(QStringLiteral("pushToTalk"));
}

void OnboardingModel::setRecordingMode(const QString& mode) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_c.settings->set(kRecordingMode, mode);
    emit changed();
}

int OnboardingModel::litBars(double level, int bars) {
    int lit = 0;
    for (int i = 0; i < bars; ++i)
        if (double(i) / bars < level) ++lit;
    return lit;
}

void OnboardingModel::next() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_finished) return;
    if (isLastStep()) {
        finish();
        return;
    }
    ++m_step;
    if (m_step == 1)
        startMicProbe();
    else
        stopMicProbe();
    emit changed();
}

void OnboardingModel::skip() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (!m_finished) finish();
}

void OnboardingModel::disappeared() {
    ORMIL_ASSERT_MAIN_THREAD();
    stopMicProbe();
}

void OnboardingModel::finish() {
    m_finished = true;
    stopMicProbe();
    emit changed();
    if (m_onFinish) m_onFinish();
}

void OnboardingModel::askStatus(bool thenProbe) {
    const quint64 ask = ++m_statusAsks;
    QPointer<OnboardingModel> self(this);
    m_c.microphoneStatus([self, ask, thenProbe](Status status) {
        runOnMainNowOrQueued([self, ask, thenProbe, status] {
            // A window that is gone has nothing to show; a newer question's
            // answer is the one that counts.
            if (!self || ask != self->m_statusAsks) return;
            self->m_micStatus = status;
            // An answer after the user went on (or finished) only updates
            // the status, as the access question's does.
            if (thenProbe && self->m_step == 1 && !self->m_finished) self->probeWithStatus();
            emit self->changed();
        });
    });
}

void OnboardingModel::startMicProbe() {
    askStatus(true);
}

void OnboardingModel::probeWithStatus() {
    switch (m_micStatus) {
    case notDetermined: {
        QPointer<OnboardingModel> self(this);
        m_c.requestAccess([self](bool granted) {
            runOnMainNowOrQueued([self, granted] {
                // A window that is gone has nothing to show.
                if (!self) return;
                self->m_micStatus = granted ? authorized : denied;
                // An answer after the user went on (or finished) only
                // updates the status: a probe nobody sees would keep the
                // microphone open until the window closes.
                if (granted && self->m_step == 1 && !self->m_finished) self->beginProbe();
                emit self->changed();
            });
        });
        break;
    }
    case authorized:
        beginProbe();
        break;
    case denied:
    case restricted:
        break;
    }
}

void OnboardingModel::beginProbe() {
    stopMicProbe();
    QPointer<OnboardingModel> self(this);
    m_probe = m_c.makeProbe([self](double level) {
        if (self) self->levelArrived(level);
    });
    m_probe->start();
}

void OnboardingModel::levelArrived(double level) {
    m_micLevel = level;
    if (level > heardAbove) m_micHeard = true;
    emit changed();
}

void OnboardingModel::stopMicProbe() {
    if (m_probe) {
        m_probe->stop();
        m_probe.reset();
    }
    m_micLevel = 0;
}
