#pragma once

// The recorder's surroundings for tests: a fake microphone writing into a
// private folder, a clock that moves when told, and stand-ins that remember
// what the recorder showed, played and announced.

#include <gtest/gtest.h>

#include <QDir>
#include <memory>
#include <string>
#include <vector>

#include "core/OverlayControl.h"
#include "core/AppState.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/SoundService.h"
#include "fakes/FakeAudioCapture.h"
#include "fakes/FakeClock.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "platform/TonePlayer.h"
#include "support/TestSupport.h"
#include "fakes/FakeNotifier.h"
#include "fakes/FakeOverlay.h"
#include "fakes/FakeTonePlayer.h"

// Remembers which named signal was asked for.
class RecordingSounds : public SoundService {
public:
    using SoundService::SoundService;
    void playStartSound() override { played.push_back("start"); }
    void playStopSound() override { played.push_back("stop"); }
    void playSuccessSound() override { played.push_back("success"); }
    void playErrorSound() override { played.push_back("error"); }
    std::vector<std::string> played;
};

class RecorderTestRig : public ::testing::Test {
protected:
    // A fresh, empty folder for the recordings.
    void makeDirectory() {
        dir = testsupport::root() + "/recordings";
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
    }

    // The collaborators every recorder of a test shares.
    AudioRecorderService::Collaborators rigCollaborators() {
        AudioRecorderService::Collaborators c;
        c.clock = &clock;
        c.appState = &app;
        c.overlay = &overlay;
        c.sounds = &sounds;
        c.notifier = &notifier;
        c.makeRecorder = captures.factory();
        c.microphoneStatus = [] { return 3; };
        c.settings = &settings;
        c.directory = dir;
        return c;
    }

    // Starts a recording and lets the main queue run its start.
    void start(bool translate = false) {
        const int before = captures.attempts;
        recorder->startRecording(translate);
        ASSERT_TRUE(testsupport::waitUntil([&] { return captures.attempts > before; }));
    }

    QStringList files() const { return QDir(dir).entryList(QDir::Files); }

    SettingsStore settings;
    FakeClock clock;
    AppState app{settings, {}};
    FakeOverlay overlay;
    FakeTonePlayer player;
    RecordingSounds sounds{settings, player};
    FakeNotifier notifier;
    FakeAudioCaptureFactory captures;
    QString dir;
    std::unique_ptr<AudioRecorderService> recorder;
};
