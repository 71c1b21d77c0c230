#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "core/OverlayControl.h"
#include "overlay/OverlayGeometry.h"
#include "platform/Clock.h"

// What the overlay pill draws from. The controller writes it on the main
// thread; the views repaint on its change signals.
class OverlayModel : public QObject {
    Q_OBJECT
public:
    static constexpr int barCount = 10;
    using Bars = std::array<double, barCount>;
    // A uniformly random factor in 0.7...1.3, drawn once per bar and tick.
    using RandomSource = std::function<float()>;

    explicit OverlayModel(Clock& clock, RandomSource random = {}, QObject* parent = nullptr);
    ~OverlayModel() override;

    OverlayState state() const { return m_state; }
    void setState(OverlayState state);
    float audioLevel() const { return m_audioLevel; }
    void setAudioLevel(float level);
    const Bars& barHeights() const { return m_barHeights; }
    bool isSticky() const { return m_sticky; }
    void setSticky(bool sticky);
    OverlayDockEdge dockEdge() const { return m_dockEdge; }
    void setDockEdge(OverlayDockEdge edge);
    bool isVertical() const { return OverlayDock::isVertical(m_dockEdge); }

    // Resets the meter and ticks it every 0.05 s until stopWaveform().
    void startWaveform();
    void stopWaveform();
    bool isWaveformRunning() const { return m_waveformTimer != nullptr; }

    // One meter tick (the timer's action; public so it can be measured).
    void updateBars();

    static RandomSource defaultRandomSource();

signals:
    void stateChanged(OverlayState state);
    void barHeightsChanged();
    void stickyChanged(bool sticky);
    void dockEdgeChanged(OverlayDockEdge edge);

private:
    Clock& m_clock;
    RandomSource m_random;
    OverlayState m_state = OverlayState::idle;
    float m_audioLevel = 0;
    Bars m_barHeights;
    bool m_sticky = false;
    OverlayDockEdge m_dockEdge = OverlayDockEdge::bottom;
    std::array<float, barCount> m_barLevels{};
    ClockTimerPtr m_waveformTimer;
    int m_waveLogCount = 0;
};

// The spinner of the processing pills: the bright spoke moves on every 0.1 s
// for as long as the model lives.
class SpinnerModel : public QObject {
    Q_OBJECT
public:
    explicit SpinnerModel(Clock& clock, QObject* parent = nullptr);
    ~SpinnerModel() override;
    int activeIndex() const { return m_activeIndex; }

signals:
    void activeIndexChanged(int index);

private:
    int m_activeIndex = 0;
    ClockTimerPtr m_timer;
};
