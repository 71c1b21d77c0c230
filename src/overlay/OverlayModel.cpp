#include "overlay/OverlayModel.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <random>

#include "platform/DebugLog.h"
#include "platform/Threading.h"

namespace {
QString boolText(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}
}  // namespace

OverlayModel::OverlayModel(Clock& clock, RandomSource random, QObject* parent)
    : QObject(parent),
      m_clock(clock),
      m_random(random ? std::move(random) : defaultRandomSource()) {
    m_barHeights.fill(2);
}

OverlayModel::~OverlayModel() {
    if (m_waveformTimer) m_waveformTimer->cancel();
}

OverlayModel::RandomSource OverlayModel::defaultRandomSource() {
    auto engine = std::make_shared<std::mt19937>(std::random_device{}());
    return [engine] {
        // nextafter makes the upper bound reachable: the range is closed.
        std::uniform_real_distribution<float> dist(0.7f, std::nextafter(1.3f, 2.0f));
        return dist(*engine);
    };
}

void OverlayModel::setState(OverlayState state) {
    if (state == m_state) return;
    m_state = state;
    emit stateChanged(state);
}

void OverlayModel::setAudioLevel(float level) {
    m_audioLevel = level;
}

void OverlayModel::setSticky(bool sticky) {
    if (sticky == m_sticky) return;
    m_sticky = sticky;
    emit stickyChanged(sticky);
}

void OverlayModel::setDockEdge(OverlayDockEdge edge) {
    if (edge == m_dockEdge) return;
    m_dockEdge = edge;
    emit dockEdgeChanged(edge);
}

void OverlayModel::startWaveform() {
    stopWaveform();
    m_audioLevel = 0;
    m_barLevels.fill(0);
    m_barHeights.fill(2);
    emit barHeightsChanged();
    m_waveLogCount = 0;
    debugLog("[Waveform] startWaveform() called on main=" + boolText(isMainThread()));
    QPointer<OverlayModel> self(this);
    m_waveformTimer = m_clock.repeat(0.05, this, [self] {
        if (self) self->updateBars();
    });
    debugLog(QStringLiteral("[Waveform] Timer scheduled"));
}

void OverlayModel::stopWaveform() {
    if (!m_waveformTimer) return;
    debugLog(QStringLiteral("[Waveform] stopWaveform()"));
    m_waveformTimer->cancel();
    m_waveformTimer.reset();
}

void OverlayModel::updateBars() {
    const float raw = m_audioLevel;
    // NaN counts as silence.
    const float clamped = std::isnan(raw) ? 0.0f : std::clamp(raw, 0.0f, 1.0f);
    const float level = std::sqrt(clamped);
    Bars heights;
    heights.fill(2);
    for (int i = 0; i < barCount; ++i) {
        const float r = m_random();
        const float weight = (1.0f - std::fabs(static_cast<float>(i) - 4.5f) / 5.0f) * 0.6f + 0.4f;
        const float target = weight * (level * r);
        m_barLevels[i] += (target - m_barLevels[i]) * 0.6f;
        heights[i] = std::clamp(static_cast<double>(m_barLevels[i]) * 18 + 2, 2.0, 20.0);
    }
    m_barHeights = heights;
    emit barHeightsChanged();
    ++m_waveLogCount;
    if (m_waveLogCount < 6 || m_waveLogCount % 40 == 0) {
        QStringList bars;
        for (double h : heights) bars << QString::asprintf("%.0f", h);
        debugLog(QStringLiteral("[Waveform] #%1: raw=%2 level=%3 bars=[%4]")
                     .arg(m_waveLogCount)
                     .arg(logNumber(raw), logNumber(level), bars.join(',')));
    }
}

SpinnerModel::SpinnerModel(Clock& clock, QObject* parent) : QObject(parent) {
    QPointer<SpinnerModel> self(this);
    m_timer = clock.repeat(0.1, this, [self] {
        if (!self) return;
        self->m_activeIndex = (self->m_activeIndex + 1) % 8;
        emit self->activeIndexChanged(self->m_activeIndex);
    });
}

SpinnerModel::~SpinnerModel() {
    if (m_timer) m_timer->cancel();
}
