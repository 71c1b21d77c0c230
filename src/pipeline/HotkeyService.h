#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <vector>

#include "pipeline/DictationCommand.h"
#include "pipeline/HotkeyShortcutSettings.h"
#include "pipeline/RecordingLimits.h"
#include "pipeline/ShortcutCapture.h"
#include "platform/Clock.h"
#include "platform/KeyEventSource.h"
#include "platform/ObservableProperty.h"

class AppState;
class InputAccess;
class OverlayControl;
class SettingsStore;

// The global shortcuts: the dictation key, the translate-while-dictating key
// and the paste-last shortcut. Keeps them in the settings, listens to the
// key events of the session through the key source (X11's listen-only tap,
// or the desktop's global shortcuts on a Wayland session, which deliver the
// presses and releases of the shortcuts alone), and turns presses of the
// shortcuts into the start and end of a dictation. Main thread only.
class HotkeyService : public QObject {
    Q_OBJECT
public:
    enum class ToggleState { idle, recording };

    // One tone of a feedback sequence.
    struct Tone {
        double frequency = 0;
        double duration = 0;
    };

    // What the service calls in the rest of the application. Every member may
    // be left empty (then that call is skipped).
    struct Collaborators {
        // Output volume ducking.
        std::function<void()> duck;
        std::function<void()> unduck;
        // Feedback tones.
        std::function<bool()> soundEnabled;
        std::function<void(const std::vector<Tone>&)> playSequence;
        // Pastes text into the focused application.
        std::function<void(const QString&)> insertTextViaPasteboard;
        // The application shell.
        std::function<void()> rebuildMenu;
        std::function<void()> openEditorWindow;
    };

    static constexpr double doubleTapWindow = 0.4;
    static constexpr double holdThreshold = 0.13;
    static constexpr double comboWaitDuration = ShortcutCapture::comboWaitDuration;
    static constexpr double minimumRecordingDuration = RecordingLimits::minimumDuration;
    static constexpr double permissionPollInterval = 2.0;
    static constexpr double pasteLastDelay = 0.2;

    HotkeyService(SettingsStore& settings, Clock& clock, KeyEventSource& keySource,
                  InputAccess& access, OverlayControl& overlay, AppState& appState,
                  Collaborators collaborators = {});
    ~HotkeyService() override;

    // The process-wide service on the real facilities; its collaborators are
    // set by the application at start-up.
    static HotkeyService& shared();
    void setCollaborators(Collaborators collaborators);

    ORMIL_PROPERTY(qint64, currentKeyCode, setCurrentKeyCode, 61);
    ORMIL_PROPERTY(quint64, currentModifiers, setCurrentModifiers, 0);
    ORMIL_PROPERTY(bool, currentIsModifierOnly, setCurrentIsModifierOnly, true);
    ORMIL_PROPERTY(bool, isRecordingHotkey, setIsRecordingHotkey, false);
    ORMIL_PROPERTY(qint64, translateKeyCode, setTranslateKeyCode, -1);
    ORMIL_PROPERTY(quint64, translateModifiers, setTranslateModifiers, 0);
    ORMIL_PROPERTY(bool, translateIsModifierOnly, setTranslateIsModifierOnly, true);
    ORMIL_PROPERTY(bool, isRecordingTranslateHotkey, setIsRecordingTranslateHotkey, false);
    ORMIL_PROPERTY(bool, isTranslateMode, setIsTranslateMode, false);
    ORMIL_PROPERTY(qint64, pasteLastKeyCode, setPasteLastKeyCode, 9);
    // Ctrl+Alt+V: Ctrl+Shift+V is how terminals paste, including our own paste.
    ORMIL_PROPERTY(quint64, pasteLastModifiers, setPasteLastModifiers, 0xC0000);
    ORMIL_PROPERTY(bool, pasteLastIsModifierOnly, setPasteLastIsModifierOnly, false);
    ORMIL_PROPERTY(bool, isRecordingPasteLastHotkey, setIsRecordingPasteLastHotkey, false);

public:
    // True exactly when "recordingMode" holds the string "toggle".
    bool isToggleMode() const;
    bool currentIsModifier() const { return currentIsModifierOnly(); }
    bool translateIsModifier() const { return translateIsModifierOnly(); }

    void setHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers);
    void setHotkey(qint64 keyCode, bool isModifier) { setHotkey(keyCode, isModifier, 0); }
    void setTranslateHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers);
    void setTranslateHotkey(qint64 keyCode, bool isModifier) {
        setTranslateHotkey(keyCode, isModifier, 0);
    }
    void setPasteLastHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers);
    void clearTranslateHotkey();
    // Asks the shell to rebuild the status menu (it shows the shortcuts).
    void rebuildMenu() const {
        if (m_collab.rebuildMenu) m_collab.rebuildMenu();
    }

    // Shortcut capture.
    void startRecordingHotkey();
    void startRecordingTranslateHotkey();
    void startRecordingPasteLastHotkey();
    void cancelRecordingHotkey();

    // Checks access, creates the tap and polls until it exists.
    void setup();
    // Tears the tap down and builds it again (every configuration change).
    void recreateEventTap();
    bool hasEventTap() const { return m_hasTap; }
    bool isPollingPermissions() const { return m_isPollingPermissions; }

    // The recorder ended the recording by itself at its length cap and sent
    // or discarded it: forget the recording without a second stop.
    void recordingEndedByRecorder();

    // A start, stop or toggle from the command line: the start is the key's
    // press and the stop its release. A start while recording and a stop
    // with nothing recorded are ignored.
    void runCommand(const DictationCommand& command);

    // Whether a recording started by this service is running.
    bool isRecordingRunning() const { return m_recordingStartTime.has_value(); }
    bool isStickyRecording() const { return m_isStickyRecording; }
    ToggleState toggleState() const { return m_toggleState; }

    static QString displayName(qint64 keyCode, quint64 modifiers, bool isModifierOnly);
    static QString regularKeyName(qint64 keyCode);

    // The settings keys of one shortcut.
    using ShortcutKeys = HotkeyShortcutSettings::Keys;

signals:
    // The recorder's part of a dictation, on the main thread in the order of
    // the start and stop sequences. `translate`: started with the translate
    // key, so the text comes back translated.
    void recordingStartRequested(bool translate);
    void recordingStopRequested();
    // Too short to send: the recording is thrown away.
    void recordingCancelRequested();

private:
    void loadConfig();
    void saveShortcut(const ShortcutKeys& keys, const QString& which, qint64 keyCode,
                      bool isModifierOnly, quint64 modifiers, bool logName);
    void setupEventTap();
    void scheduleNextPermissionPoll();
    void permissionPoll(int n);
    void handleEvent(const KeyEvent& event);

    // Press handling.
    bool handlePasteLastHotkey(const KeyEvent& event);
    bool handleModifierHotkey(const KeyEvent& event, bool translate);
    bool handleRegularHotkey(const KeyEvent& event, bool translate);
    bool handleCombination(const KeyEvent& event, bool translate);
    void toggle(bool translate);
    void onHotkeyPressed(bool translate);
    void onHotkeyReleased();
    void handleMainKeyTap();
    void engageSticky();
    void stopStickyRecording();
    void beginRecordingFlow(bool translate);
    void finalizeRecording();
    void onPasteLast();
    void playTone(double frequency);

    // Capture.
    void completeRecording(qint64 keyCode, bool isModifierOnly, quint64 modifiers);

    // Whether the modifier key of `event` went down (its own press).
    static bool modifierKeyIsDown(const KeyEvent& event);

    SettingsStore& m_settings;
    Clock& m_clock;
    KeyEventSource& m_keySource;
    InputAccess& m_access;
    OverlayControl& m_overlay;
    AppState& m_appState;
    Collaborators m_collab;
    HotkeyShortcutSettings m_shortcuts;
    ShortcutCapture m_capture;

    bool m_hasTap = false;
    bool m_isHotkeyPressed = false;
    bool m_isTranslateHotkeyPressed = false;
    bool m_isPasteLastPressed = false;
    std::optional<double> m_recordingStartTime;
    bool m_isStickyRecording = false;
    std::optional<double> m_lastMainPressTime;
    ClockTimerPtr m_holdTimer;
    ClockTimerPtr m_pasteLastTimer;
    ToggleState m_toggleState = ToggleState::idle;
    ClockTimerPtr m_pollTimer;
    int m_pollCount = 0;
    bool m_isPollingPermissions = false;
    bool m_didPromptListenEvent = false;
};
