#include "overlay/OverlayControl.h"

#include <atomic>

QString overlayStateName(OverlayState state) {
    switch (state) {
        case OverlayState::idle: return QStringLiteral("idle");
        case OverlayState::recording: return QStringLiteral("recording");
        case OverlayState::processing: return QStringLiteral("processing");
        case OverlayState::postProcessing: return QStringLiteral("postProcessing");
        case OverlayState::success: return QStringLiteral("success");
        case OverlayState::error: return QStringLiteral("error");
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
}  // namespace

OverlayControl& OverlayControl::shared() {
    static NoOverlay none;
    OverlayControl* o = g_overlay.load();
    return o ? *o : none;
}

void OverlayControl::setShared(OverlayControl* overlay) { g_overlay.store(overlay); }
