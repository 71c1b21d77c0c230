#pragma once

// What a recorder on the real sound server uses of the rest of the
// application, as stand-ins that remember what it showed and announced.
#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakeTonePlayer.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/SoundService.h"
#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/pulse/PulseAudioCapture.h"

struct RecorderSurroundings {
    // The collaborators of a recorder on the system clock; the recorder
    // itself comes from the application's factory unless the caller sets one.
    AudioRecorderService::Collaborators collaborators() {
        AudioRecorderService::Collaborators c;
        c.clock = &Clock::system();
        c.appState = &app;
        c.overlay = &overlay;
        c.sounds = &sounds;
        c.notifier = &notifier;
        c.makeRecorder = PulseAudioCapture::factory();
        c.microphoneStatus = [] { return 3; };
        c.settings = &settings;
        return c;
    }

    SettingsStore settings;
    AppState app{settings, {}};
    FakeOverlay overlay;
    FakeTonePlayer player;
    SoundService sounds{settings, player};
    FakeNotifier notifier;
};
