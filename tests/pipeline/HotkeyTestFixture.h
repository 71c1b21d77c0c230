#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <memory>
#include <vector>

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeInputAccess.h"
#include "fakes/FakeKeyEventSource.h"
#include "fakes/FakeOverlay.h"
#include "pipeline/HotkeyService.h"
#include "platform/InputAccess.h"
#include "platform/KeyEventSource.h"
#include "platform/SettingsStore.h"

// Scripts of key presses for the fixture's run().
namespace keyscript {
struct Step {
    char op;  // 'p' press, 'r' release, 'a' advance the clock, 'c' a command
    double arg;
    DictationCommand command = {};
};
inline Step P(qint64 code) {
    return {'p', double(code)};
}
inline Step R(qint64 code) {
    return {'r', double(code)};
}
inline Step A(double seconds) {
    return {'a', seconds};
}
inline Step C(DictationCommand::Action action, bool translate = false) {
    return {'c', 0, {action, translate}};
}
}  // namespace keyscript

// A HotkeyService on fakes. Every call into the collaborators is written to
// `calls` in order ("start", "stop", "cancel", "duck", "unduck", "tone 880",
// "paste <text>", "menu", "editor").
class HotkeyFixture : public ::testing::Test {
protected:
    SettingsStore settings;
    FakeClock clock;
    FakeKeyEventSource keys;
    FakeInputAccess access;
    FakeOverlay overlay;
    AppState appState{settings, {}};
    QStringList calls;
    // The translate flag of each start, in order.
    std::vector<bool> startFlags;
    bool soundEnabled = true;
    std::unique_ptr<HotkeyService> service;

    HotkeyService& make() {
        HotkeyService::Collaborators c;
        c.duck = [this] { calls << "duck"; };
        c.unduck = [this] { calls << "unduck"; };
        c.soundEnabled = [this] { return soundEnabled; };
        c.playSequence = [this](const std::vector<HotkeyService::Tone>& tones) {
            for (const auto& t : tones) calls << QStringLiteral("tone %1").arg(t.frequency);
        };
        c.insertTextViaPasteboard = [this](const QString& text) { calls << "paste " + text; };
        c.rebuildMenu = [this] { calls << "menu"; };
        c.openEditorWindow = [this] { calls << "editor"; };
        service =
            std::make_unique<HotkeyService>(settings, clock, keys, access, overlay, appState, c);
        QObject::connect(service.get(), &HotkeyService::recordingStartRequested,
                         [this](bool translate) {
                             calls << "start";
                             startFlags.push_back(translate);
                         });
        QObject::connect(service.get(), &HotkeyService::recordingStopRequested,
                         [this] { calls << "stop"; });
        QObject::connect(service.get(), &HotkeyService::recordingCancelRequested,
                         [this] { calls << "cancel"; });
        return *service;
    }
    // make() and setup(): a live tap on the fake source.
    HotkeyService& makeLive() {
        make().setup();
        return *service;
    }

    // Runs what the service posted to the main queue.
    static void settle() { QCoreApplication::sendPostedEvents(); }
    void press(qint64 code) {
        keys.press(code);
        settle();
    }
    void release(qint64 code) {
        keys.release(code);
        settle();
    }
    void advance(double seconds) {
        clock.advance(seconds);
        settle();
    }
    // Holds `code` for `seconds` and lets it go.
    void hold(qint64 code, double seconds) {
        press(code);
        advance(seconds);
        release(code);
    }
    void run(const std::vector<keyscript::Step>& steps) {
        for (const keyscript::Step& s : steps) {
            if (s.op == 'p') press(qint64(s.arg));
            if (s.op == 'r') release(qint64(s.arg));
            if (s.op == 'a') advance(s.arg);
            if (s.op == 'c') {
                service->runCommand(s.command);
                settle();
            }
        }
    }
    // The calls that reached the recorder.
    QStringList recorderCalls() const {
        QStringList out;
        for (const QString& c : calls)
            if (c == "start" || c == "stop" || c == "cancel") out << c;
        return out;
    }
    void setToggleMode() { settings.set("recordingMode", "toggle"); }
};
