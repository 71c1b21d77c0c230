#pragma once

#include <vector>

#include "core/OverlayControl.h"

// Records every call; for tests.
class FakeOverlay : public OverlayControl {
public:
    void show(OverlayState state) override {
        states.push_back(state);
        current = state;
    }
    void updateAudioLevel(float level) override { levels.push_back(level); }
    void setSticky(bool s) override { sticky = s; }
    OverlayState currentState() const override { return current; }

    std::vector<OverlayState> states;
    std::vector<float> levels;
    bool sticky = false;
    OverlayState current = OverlayState::idle;
};
