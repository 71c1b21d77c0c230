#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>

#include "core/OverlayControl.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/OverlayModel.h"
#include "overlay/OverlayPanel.h"
#include "platform/x11/X11OverlayWindow.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/OutsideClickMonitor.h"

// The process-wide controller of the recording overlay: it owns the pill's
// panel and model, runs the state machine with its automatic returns to idle,
// places the panel at its docking edge or dragged position, and owns the edge
// menu. Every public operation may be called from any thread; it runs at once
// on the main thread and is queued there otherwise, keeping the callers' order.
class OverlayWindowController : public QObject, public OverlayControl {
    Q_OBJECT
public:
    using ScreenSource = std::function<OverlayScreenSpace()>;

    // screens: the screens in overlay coordinates (default: the application's);
    // clickMonitor: watches presses outside the edge menu (default: XInput2);
    // random: the meter's random factor (default: a seeded engine).
    OverlayWindowController(SettingsStore& settings, Clock& clock, ScreenSource screens = {},
                            std::unique_ptr<OutsideClickMonitor> clickMonitor = {},
                            OverlayModel::RandomSource random = {}, QObject* parent = nullptr);
    ~OverlayWindowController() override;

    // The instance, created on first use; it installs itself as
    // OverlayControl::shared().
    static OverlayWindowController& shared();

    // OverlayControl
    void show(OverlayState state) override;
    void updateAudioLevel(float level) override;
    void setSticky(bool sticky) override;
    OverlayState currentState() const override;
    void ensureVisibleIfNeeded() override;

    bool isEnabled() const;
    bool hideWhenIdle() const;
    OverlayDockEdge currentDockEdge() const;
    bool hasCustomDraggedPosition() const;

    // Builds the panel (once, at launch) and shows the idle state.
    void setup();
    // Docks the pill to edge and forgets any dragged position.
    void selectDockEdge(OverlayDockEdge edge);
    // Opens the edge menu for a right-click at p (overlay coordinates).
    void showContextMenu(QPointF p);
    void dismissContextMenu();
    // A drag ended with the panel centred at c (overlay coordinates).
    void handleDrop(QPointF c);

    // Where the panel belongs now (overlay coordinates); none without screens.
    std::optional<QRectF> targetPanelFrame() const;

    OverlayModel& model() { return m_model; }
    OverlayPanel* panel() const { return m_panel.get(); }
    OverlayEdgeMenu* contextMenu() const { return m_menu.data(); }
    OverlayScreenSpace screens() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hideStep();
    void showStep(OverlayState state);
    void positionPanel();
    void orderFront();
    void orderOut();
    void cancelTimers();
    OverlaySavedPosition savedPosition() const;

    SettingsStore& m_settings;
    Clock& m_clock;
    ScreenSource m_screens;
    std::unique_ptr<OutsideClickMonitor> m_clickMonitor;
    OverlayModel m_model;
    std::atomic<OverlayState> m_publishedState{OverlayState::idle};
    std::unique_ptr<OverlayPanel> m_panel;
    QPointer<OverlayEdgeMenu> m_menu;
    bool m_menuFilterInstalled = false;
    ClockTimerPtr m_hideTimer;
    ClockTimerPtr m_fallbackTimer;
    bool m_placedOnAllWorkspaces = false;
};
