#pragma once

#include <QObject>
#include <QString>
#include <vector>

// The six states of the recording overlay, in this order.
enum class OverlayState { idle, recording, processing, postProcessing, success, error };

QString overlayStateName(OverlayState state);

// What the rest of the application uses of the recording overlay. The
// overlay's controller implements it; services take an OverlayControl& so a
// test can watch what they show. Every call may come from any thread: it
// hops to the main thread by itself.
class OverlayControl {
public:
    virtual ~OverlayControl() = default;
    virtual void show(OverlayState state) = 0;
    // Level 0..1 for the meter while recording.
    virtual void updateAudioLevel(float level) = 0;
    virtual void setSticky(bool sticky) = 0;
    // The state the controller last put the pill into / the state the pill
    // shows now (main thread).
    virtual OverlayState currentState() const = 0;
    virtual OverlayState modelState() const { return currentState(); }
    // Hides the idle pill when hide-when-idle is on, else places it and
    // brings it to the front (after windows open, close or change screens).
    virtual void ensureVisibleIfNeeded() {}

    // The process-wide overlay (a do-nothing one until the real controller
    // installs itself).
    static OverlayControl& shared();
    static void setShared(OverlayControl* overlay);
    // An overlay that hands each call to whatever shared() is at that moment,
    // for services made before the real controller installs itself.
    static OverlayControl& forwarding();
};
