#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "overlay/OverlayWindowController.h"
#include "fakes/FakeClock.h"
#include "platform/SettingsStore.h"
#include "platform/OutsideClickMonitor.h"

// Records the presses it would watch; a test plays presses through press().
class FakeClickMonitor : public OutsideClickMonitor {
public:
    bool start(std::function<void(QPointF)> onPress) override {
        callback = std::move(onPress);
        ++starts;
        return true;
    }
    void stop() override { callback = nullptr; }
    bool isRunning() const override { return callback != nullptr; }
    void press(QPointF global) {
        auto cb = callback;
        if (cb) cb(global);
    }
    std::function<void(QPointF)> callback;
    int starts = 0;
};

// Screens in overlay coordinates (y up) for a window system whose primary
// screen is `primaryHeight` high.
inline OverlayScreenSpace screenSpace(std::vector<OverlayScreen> screens, int main = 0,
                                      double primaryHeight = 1080) {
    return OverlayScreenSpace(std::move(screens), main, primaryHeight);
}

// One 1920 x 1080 screen with a 28-point top bar.
inline OverlayScreen laptopScreen() {
    return {QRectF(0, 0, 1920, 1080), QRectF(0, 0, 1920, 1052)};
}
// A second 1280 x 1024 screen to the right of it, without bars.
inline OverlayScreen sideScreen() {
    return {QRectF(1920, 56, 1280, 1024), QRectF(1920, 56, 1280, 1024)};
}

// A controller on a fake clock, an in-memory settings store and screens the
// test chooses (one laptop screen unless changed).
class OverlayFixture : public ::testing::Test {
protected:
    OverlayFixture() {
        auto monitor = std::make_unique<FakeClickMonitor>();
        clicks = monitor.get();
        controller = std::make_unique<OverlayWindowController>(
            settings, clock, [this] { return screenSpace(screens); }, std::move(monitor),
            [this] { return nextRandom(); });
    }

    float nextRandom() {
        if (randoms.empty()) return 1.0f;
        const float r = randoms.front();
        randoms.pop_front();
        return r;
    }

    OverlayModel& model() { return controller->model(); }
    QRectF panelFrame() const {
        return screenSpace(screens).fromWindowSystem(QRectF(controller->panel()->geometry()));
    }

    FakeClock clock;
    SettingsStore settings;
    std::vector<OverlayScreen> screens{laptopScreen()};
    std::deque<float> randoms;
    FakeClickMonitor* clicks = nullptr;
    std::unique_ptr<OverlayWindowController> controller;
};
