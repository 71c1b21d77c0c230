#include "core/OverlayControl.h"

#include <atomic>

QString overlayStateName(OverlayState state) {
    switch (state) {
        case OverlayState::idle:
            return QStringLiteral("idle");
        case OverlayState::recording:
            return QStringLiteral("recording");
        case OverlayState::processing:
            return QStringLiteral("processing");
        case OverlayState::postProcessing:
            return QStringLiteral("postProcessing");
        case OverlayState::success:
            return QStringLiteral("success");
        case OverlayState::error:
            return QStringLiteral("error");
    }
    return {};
}

namespace {
class NoOverlay : public OverlayControl {
public:
    void show(OverlayState s) override { m_state = s; }
    void updateAudioLevel(float) override {}
    void setSticky(bool) override {}
    OverlayState currentState() const override { return m_state; }

private:
    OverlayState m_state = OverlayState::idle;
};
std::atomic<OverlayControl*> g_overlay{nullptr};

class ForwardingOverlay : public OverlayControl {
public:
    void show(OverlayState s) override { shared().show(s); }
    void updateAudioLevel(float level) override { shared().updateAudioLevel(level); }
    void setSticky(bool sticky) override { shared().setSticky(sticky); }
    OverlayState currentState() const override { return shared().currentState(); }
    OverlayState modelState() const override { return shared().modelState(); }
    void ensureVisibleIfNeeded() override { shared().ensureVisibleIfNeeded(); }
};
}  // namespace

OverlayControl& OverlayControl::shared() {
    static NoOverlay none;
    OverlayControl* o = g_overlay.load();
    return o ? *o : none;
}

void OverlayControl::setShared(OverlayControl* overlay) {
    g_overlay.store(overlay);
}

OverlayControl& OverlayControl::forwarding() {
    static ForwardingOverlay forwarder;
    return forwarder;
}
