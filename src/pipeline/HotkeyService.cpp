#include "pipeline/HotkeyService.h"

#include "core/AppState.h"
#include "core/OverlayControl.h"
#include "pipeline/KeyNames.h"
#include "platform/DebugLog.h"
#include "platform/InputAccess.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {

QString b(bool v) {
    return v ? QStringLiteral("true") : QStringLiteral("false");
}

using Shortcut = HotkeyShortcutSettings::Shortcut;

constexpr double kStartToneHz = 880;
constexpr double kStopToneHz = 440;
constexpr double kToneSeconds = 0.1;

}  // namespace

HotkeyService::HotkeyService(SettingsStore& settings, Clock& clock, KeyEventSource& keySource,
                             InputAccess& access, OverlayControl& overlay, AppState& appState,
                             Collaborators collaborators)
    : m_settings(settings),
      m_clock(clock),
      m_keySource(keySource),
      m_access(access),
      m_overlay(overlay),
      m_appState(appState),
      m_collab(std::move(collaborators)),
      m_shortcuts(settings),
      m_capture(clock, this, [this](qint64 keyCode, bool isModifierOnly, quint64 modifiers) {
          completeRecording(keyCode, isModifierOnly, modifiers);
      }) {
    loadConfig();
}

HotkeyService::~HotkeyService() {
    if (m_hasTap) m_keySource.stop();
    for (const ClockTimerPtr& t : {m_holdTimer, m_pollTimer})
        if (t) t->cancel();
}

HotkeyService& HotkeyService::shared() {
    static HotkeyService* instance =
        new HotkeyService(SettingsStore::shared(), Clock::system(), KeyEventSource::shared(),
                          InputAccess::shared(), OverlayControl::forwarding(), AppState::shared());
    return *instance;
}

void HotkeyService::setCollaborators(Collaborators collaborators) {
    ORMIL_ASSERT_MAIN_THREAD();
    m_collab = std::move(collaborators);
}

bool HotkeyService::isToggleMode() const {
    auto mode = m_settings.string(QStringLiteral("recordingMode"));
    return mode && m_settings.isString(QStringLiteral("recordingMode")) &&
           *mode == QLatin1String("toggle");
}

QString HotkeyService::displayName(qint64 keyCode, quint64 modifiers, bool isModifierOnly) {
    return KeyNames::displayName(keyCode, modifiers, isModifierOnly);
}

QString HotkeyService::regularKeyName(qint64 keyCode) {
    return KeyNames::regularKeyName(keyCode);
}

// Configuration

void HotkeyService::loadConfig() {
    using Settings = HotkeyShortcutSettings;
    if (const auto s = m_shortcuts.load(Settings::mainKeys(), 0, currentModifiers())) {
        setCurrentKeyCode(s->keyCode);
        setCurrentModifiers(s->modifiers);
        setCurrentIsModifierOnly(s->isModifierOnly);
    }
    if (const auto s = m_shortcuts.load(Settings::translateKeys(), 0, translateModifiers())) {
        setTranslateKeyCode(s->keyCode);
        setTranslateModifiers(s->modifiers);
        setTranslateIsModifierOnly(s->isModifierOnly);
    }
    if (const auto s = m_shortcuts.load(Settings::pasteLastKeys(), pasteLastModifiers(),
                                        pasteLastModifiers())) {
        setPasteLastKeyCode(s->keyCode);
        setPasteLastModifiers(s->modifiers);
        setPasteLastIsModifierOnly(s->isModifierOnly);
    }

    const QString translateName =
        translateKeyCode() < 0
            ? QStringLiteral("not set")
            : displayName(translateKeyCode(), translateModifiers(), translateIsModifierOnly());
    debugLog("[Hotkey] Config: main=" + QString::number(currentKeyCode()) + " (" +
             displayName(currentKeyCode(), currentModifiers(), currentIsModifierOnly()) +
             "), translate=" + QString::number(translateKeyCode()) + " (" + translateName + ")");
}

void HotkeyService::saveShortcut(const ShortcutKeys& keys, const QString& which, qint64 keyCode,
                                 bool isModifierOnly, quint64 modifiers, bool logName) {
    m_shortcuts.save(keys, which, Shortcut{keyCode, modifiers, isModifierOnly}, logName);
    recreateEventTap();
}

void HotkeyService::setHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers) {
    ORMIL_ASSERT_MAIN_THREAD();
    setCurrentKeyCode(keyCode);
    setCurrentIsModifierOnly(isModifierOnly);
    setCurrentModifiers(modifiers);
    saveShortcut(HotkeyShortcutSettings::mainKeys(), "main", keyCode, isModifierOnly, modifiers,
                 true);
}

void HotkeyService::setTranslateHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers) {
    ORMIL_ASSERT_MAIN_THREAD();
    setTranslateKeyCode(keyCode);
    setTranslateIsModifierOnly(isModifierOnly);
    setTranslateModifiers(modifiers);
    saveShortcut(HotkeyShortcutSettings::translateKeys(), "translate", keyCode, isModifierOnly,
                 modifiers, true);
}

void HotkeyService::setPasteLastHotkey(qint64 keyCode, bool isModifierOnly, quint64 modifiers) {
    ORMIL_ASSERT_MAIN_THREAD();
    setPasteLastKeyCode(keyCode);
    setPasteLastIsModifierOnly(isModifierOnly);
    setPasteLastModifiers(modifiers);
    saveShortcut(HotkeyShortcutSettings::pasteLastKeys(), "paste-last", keyCode, isModifierOnly,
                 modifiers, false);
    if (m_collab.rebuildMenu) m_collab.rebuildMenu();
}

void HotkeyService::clearTranslateHotkey() {
    ORMIL_ASSERT_MAIN_THREAD();
    setTranslateKeyCode(-1);
    setTranslateModifiers(0);
    setTranslateIsModifierOnly(true);
    m_shortcuts.remove(HotkeyShortcutSettings::translateKeys());
    debugLog("[Hotkey] Translate hotkey cleared");
    recreateEventTap();
    if (m_collab.rebuildMenu) m_collab.rebuildMenu();
}

// The tap and access

void HotkeyService::setup() {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool trusted = m_access.isTrusted();
    const bool listen = m_access.hasListenAccess();
    debugLog("[Hotkey] Setup: Accessibility trusted=" + b(trusted) + ", ListenEvent=" + b(listen));
    // X11 has no permission prompt to show; the line stays for the log reader.
    if (!trusted) debugLog("[Hotkey] Requesting Accessibility access...");
    setupEventTap();
    if (!m_hasTap && !m_isPollingPermissions) {
        m_isPollingPermissions = true;
        scheduleNextPermissionPoll();
    }
}

void HotkeyService::setupEventTap() {
    debugLog("[Hotkey] Creating event tap (mainModOnly=" + b(currentIsModifierOnly()) +
             ", mainMods=" + QString::number(currentModifiers()) +
             ", translateKey=" + QString::number(translateKeyCode()) +
             ", recording=" + b(isRecordingHotkey() || isRecordingTranslateHotkey()) + ")...");
    m_hasTap = m_keySource.start([this](const KeyEvent& event) { handleEvent(event); });
    if (m_hasTap) {
        debugLog("[Hotkey] Event tap created OK");
        return;
    }
    const bool trusted = m_access.isTrusted();
    const bool listen = m_access.hasListenAccess();
    debugLog("[Hotkey] FAILED to create event tap! AX=" + b(trusted) +
             ", ListenEvent=" + b(listen));
    if (!listen && !m_didPromptListenEvent) {
        m_didPromptListenEvent = true;
        debugLog("[Hotkey] Requesting Input Monitoring (ListenEvent) access...");
    }
    if (!m_isPollingPermissions) {
        m_isPollingPermissions = true;
        scheduleNextPermissionPoll();
    }
}

void HotkeyService::scheduleNextPermissionPoll() {
    if (m_hasTap) {
        m_isPollingPermissions = false;
        return;
    }
    const int n = ++m_pollCount;
    m_pollTimer = m_clock.schedule(permissionPollInterval, this, [this, n] { permissionPoll(n); });
}

void HotkeyService::permissionPoll(int n) {
    if (m_hasTap) {
        m_isPollingPermissions = false;
        return;
    }
    const bool trusted = m_access.isTrusted();
    const bool listen = m_access.hasListenAccess();
    if (n < 4 || n % 15 == 0)
        debugLog("[Hotkey] Permission poll #" + QString::number(n) + ": AX=" + b(trusted) +
                 ", ListenEvent=" + b(listen));
    if (trusted || listen) recreateEventTap();
    if (m_hasTap) {
        debugLog("[Hotkey] Event tap active after poll #" + QString::number(n) + "!");
        m_isPollingPermissions = false;
    } else {
        scheduleNextPermissionPoll();
    }
}

void HotkeyService::recreateEventTap() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_hasTap) m_keySource.stop();
    m_hasTap = false;
    setupEventTap();
}

// Dispatch

void HotkeyService::handleEvent(const KeyEvent& event) {
    if (event.type == KeyEventType::tapDisabledByTimeout ||
        event.type == KeyEventType::tapDisabledByUserInput) {
        debugLog("[Hotkey] Event tap disabled (type=" +
                 QString::number(static_cast<quint32>(event.type)) + "), re-enabling...");
        m_keySource.enable();
        return;
    }
    if (isRecordingHotkey() || isRecordingTranslateHotkey() || isRecordingPasteLastHotkey()) {
        m_capture.handleEvent(event);
        return;
    }
    if (handlePasteLastHotkey(event)) return;

    if (translateKeyCode() >= 0) {
        const bool modOnly = translateIsModifierOnly();
        const bool noMods = translateModifiers() == 0;
        if (modOnly && noMods) {
            if (handleModifierHotkey(event, true)) return;
        } else if (!modOnly && noMods) {
            if (handleRegularHotkey(event, true)) return;
        } else if (!modOnly) {
            if (handleCombination(event, true)) return;
        }
    }

    const bool modOnly = currentIsModifierOnly();
    const bool noMods = currentModifiers() == 0;
    if (modOnly && noMods)
        handleModifierHotkey(event, false);
    else if (modOnly || noMods)
        handleRegularHotkey(event, false);
    else
        handleCombination(event, false);
}

bool HotkeyService::modifierKeyIsDown(const KeyEvent& event) {
    // The key's own press or release, not the flag bit it shares with its
    // twin on the other side (and Caps Lock has no bit at all).
    return event.keyIsDown;
}

bool HotkeyService::handlePasteLastHotkey(const KeyEvent& event) {
    const qint64 code = pasteLastKeyCode();
    if (code < 0) return false;
    if (pasteLastIsModifierOnly() && pasteLastModifiers() == 0) {
        if (event.type != KeyEventType::flagsChanged || event.keyCode != code) return false;
        if (modifierKeyIsDown(event)) {
            if (!m_isPasteLastPressed) {
                m_isPasteLastPressed = true;
                onPasteLast();
            }
        } else {
            m_isPasteLastPressed = false;
        }
        return true;
    }
    if (event.keyCode != code) return false;
    if (event.type == KeyEventType::keyUp) {
        if (!m_isPasteLastPressed) return false;
        m_isPasteLastPressed = false;
        return true;
    }
    if (event.type != KeyEventType::keyDown) return false;
    const quint64 required = pasteLastModifiers();
    if ((event.flags & KeyFlags::mask & required) != required) return false;
    if (!m_isPasteLastPressed) {
        m_isPasteLastPressed = true;
        onPasteLast();
    }
    return true;
}

bool HotkeyService::handleModifierHotkey(const KeyEvent& event, bool translate) {
    const qint64 code = translate ? translateKeyCode() : currentKeyCode();
    if (event.type != KeyEventType::flagsChanged || event.keyCode != code) return false;
    bool& pressed = translate ? m_isTranslateHotkeyPressed : m_isHotkeyPressed;
    const bool toggleMode = isToggleMode();
    if (modifierKeyIsDown(event)) {
        if (pressed) return true;
        pressed = true;
        if (toggleMode)
            toggle(translate);
        else
            onHotkeyPressed(translate);
    } else if (toggleMode) {
        pressed = false;
    } else if (pressed) {
        pressed = false;
        onHotkeyReleased();
    }
    return true;
}

bool HotkeyService::handleRegularHotkey(const KeyEvent& event, bool translate) {
    const qint64 code = translate ? translateKeyCode() : currentKeyCode();
    if (event.keyCode != code) return false;
    bool& pressed = translate ? m_isTranslateHotkeyPressed : m_isHotkeyPressed;
    const bool toggleMode = isToggleMode();
    if (event.type == KeyEventType::keyDown) {
        if (pressed) return true;  // auto-repeat
        pressed = true;
        if (toggleMode)
            toggle(translate);
        else
            onHotkeyPressed(translate);
    } else if (event.type == KeyEventType::keyUp) {
        if (toggleMode) {
            pressed = false;
        } else if (pressed) {
            pressed = false;
            onHotkeyReleased();
        }
    }
    return true;
}

bool HotkeyService::handleCombination(const KeyEvent& event, bool translate) {
    const qint64 code = translate ? translateKeyCode() : currentKeyCode();
    const quint64 required = translate ? translateModifiers() : currentModifiers();
    if (event.keyCode != code) return false;
    bool& pressed = translate ? m_isTranslateHotkeyPressed : m_isHotkeyPressed;
    if (event.type == KeyEventType::keyDown &&
        (event.flags & required & KeyFlags::mask) == required) {
        if (!pressed) {
            pressed = true;
            if (isToggleMode())
                toggle(translate);
            else
                onHotkeyPressed(translate);
        }
        return true;
    }
    if (event.type == KeyEventType::keyUp && pressed) {
        pressed = false;
        if (!isToggleMode()) onHotkeyReleased();
        return true;
    }
    return false;
}

// Press handling

void HotkeyService::toggle(bool translate) {
    if (m_toggleState == ToggleState::recording) {
        m_toggleState = ToggleState::idle;
        onHotkeyReleased();
    } else {
        m_toggleState = ToggleState::recording;
        onHotkeyPressed(translate);
    }
}

void HotkeyService::onHotkeyPressed(bool translate) {
    if (m_isStickyRecording) {
        debugLog("[Hotkey] STICKY: стоп-тап -> завершаю запись");
        stopStickyRecording();
        finalizeRecording();
        return;
    }
    const bool otherKeyHeld = translate ? m_isHotkeyPressed : m_isTranslateHotkeyPressed;
    const bool toggleMode = isToggleMode();
    if (m_recordingStartTime && otherKeyHeld && !toggleMode) {
        debugLog("[Hotkey] STICKY: engage-тап (вторая клавиша при активной записи)");
        engageSticky();
        return;
    }
    if (!translate && !toggleMode && m_appState.isAdmin()) {
        if (m_holdTimer) m_holdTimer->cancel();
        m_holdTimer = m_clock.schedule(holdThreshold, this, [this] {
            m_holdTimer.reset();
            beginRecordingFlow(false);
        });
        return;
    }
    beginRecordingFlow(translate);
}

void HotkeyService::onHotkeyReleased() {
    if (m_isStickyRecording) {
        debugLog("[Hotkey] RELEASED игнорируется (залипание активно)");
        return;
    }
    if (m_holdTimer && m_holdTimer->isActive()) {
        m_holdTimer->cancel();
        m_holdTimer.reset();
        handleMainKeyTap();
        return;
    }
    finalizeRecording();
}

void HotkeyService::handleMainKeyTap() {
    const double now = m_clock.now();
    if (m_lastMainPressTime && now - *m_lastMainPressTime < doubleTapWindow) {
        m_lastMainPressTime.reset();
        debugLog("[Hotkey] Двойной тап -> AI-редактор");
        runOnMain(this, [this] {
            if (m_collab.openEditorWindow) m_collab.openEditorWindow();
        });
        return;
    }
    m_lastMainPressTime = now;
}

void HotkeyService::engageSticky() {
    m_isStickyRecording = true;
    runOnMain(this, [this] { m_overlay.setSticky(true); });
}

void HotkeyService::stopStickyRecording() {
    m_isStickyRecording = false;
    runOnMain(this, [this] { m_overlay.setSticky(false); });
}

void HotkeyService::playTone(double frequency) {
    if (!m_collab.playSequence) return;
    if (m_collab.soundEnabled && !m_collab.soundEnabled()) return;
    m_collab.playSequence({Tone{frequency, kToneSeconds}});
}

void HotkeyService::beginRecordingFlow(bool translate) {
    debugLog("[Hotkey] PRESSED (translate=" + b(translate) + ")");
    m_recordingStartTime = m_clock.now();
    runOnMain(this, [this, translate] {
        setIsTranslateMode(translate);
        debugLog("[Hotkey] Main queue: starting recording flow (translateMode=" + b(translate) +
                 ")");
        m_appState.setIsRecording(true);
        if (m_collab.duck) m_collab.duck();
        playTone(kStartToneHz);
        m_overlay.show(OverlayState::recording);
        emit recordingStartRequested(translate);
    });
}

void HotkeyService::finalizeRecording() {
    if (!m_recordingStartTime) {
        debugLog("[Hotkey] finalizeRecording: записи нет — пропуск");
        return;
    }
    const double duration = m_clock.now() - *m_recordingStartTime;
    m_recordingStartTime.reset();
    const bool toggleMode = isToggleMode();
    debugLog("[Hotkey] RELEASED (duration: " + QString::asprintf("%.1f", duration) +
             "s, translateMode=" + b(isTranslateMode()) + ", toggleMode=" + b(toggleMode) + ")");
    m_toggleState = ToggleState::idle;
    runOnMain(this, [this, duration, toggleMode] {
        m_appState.setIsRecording(false);
        m_appState.setRecordingDuration(0);
        if (m_collab.unduck) m_collab.unduck();
        if (duration < minimumRecordingDuration && !toggleMode) {
            debugLog("[Hotkey] Too short, cancelling");
            setIsTranslateMode(false);
            emit recordingCancelRequested();
            return;
        }
        debugLog("[Hotkey] Stopping recording, sending to transcription");
        playTone(kStopToneHz);
        m_overlay.show(OverlayState::processing);
        emit recordingStopRequested();
    });
}

void HotkeyService::recordingEndedByRecorder() {
    ORMIL_ASSERT_MAIN_THREAD();
    // The recorder has already sent or discarded the file and reset the
    // shared state; only this service's own part of the recording is left.
    if (!m_recordingStartTime && !m_isStickyRecording && m_toggleState == ToggleState::idle) return;
    debugLog("[Hotkey] Recording ended by the recorder — state reset");
    m_recordingStartTime.reset();
    m_toggleState = ToggleState::idle;
    if (m_isStickyRecording) {
        m_isStickyRecording = false;
        m_overlay.setSticky(false);
    }
    if (m_collab.unduck) m_collab.unduck();
}

void HotkeyService::runCommand(const DictationCommand& command) {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool running = isRecordingRunning() || (m_holdTimer && m_holdTimer->isActive());
    debugLog("[Hotkey] Command " + command.option() + " (recording=" + b(running) + ")");
    const bool start = command.action == DictationCommand::Action::toggle
                           ? !running
                           : command.action == DictationCommand::Action::start;
    if (start == running) {
        debugLog(running ? QStringLiteral("[Hotkey] Command ignored: already recording")
                         : QStringLiteral("[Hotkey] Command ignored: nothing is recording"));
        return;
    }
    if (start) {
        // A toggle-mode key pressed next stops this recording.
        m_toggleState = ToggleState::recording;
        beginRecordingFlow(command.translate);
        return;
    }
    if (m_holdTimer && m_holdTimer->isActive()) {
        // Started by a key press not yet held long enough: a tap, nothing to stop.
        m_holdTimer->cancel();
        m_holdTimer.reset();
        return;
    }
    if (m_isStickyRecording) stopStickyRecording();
    finalizeRecording();
}

void HotkeyService::onPasteLast() {
    debugLog("[Hotkey] Paste-last triggered");
    m_clock.schedule(pasteLastDelay, this, [this] {
        const QString text = m_appState.lastTranscribedText();
        if (text.isEmpty()) return;
        if (m_access.isTrusted()) {
            if (m_collab.insertTextViaPasteboard) m_collab.insertTextViaPasteboard(text);
        } else {
            m_appState.setLastError(QStringLiteral("Accessibility permission required"));
        }
    });
}

// Capture

void HotkeyService::startRecordingHotkey() {
    ORMIL_ASSERT_MAIN_THREAD();
    setIsRecordingHotkey(true);
    setIsRecordingTranslateHotkey(false);
    debugLog("[Hotkey] Recording mode ON (main) — waiting for key press");
    recreateEventTap();
}

void HotkeyService::startRecordingTranslateHotkey() {
    ORMIL_ASSERT_MAIN_THREAD();
    setIsRecordingTranslateHotkey(true);
    setIsRecordingHotkey(false);
    setIsRecordingPasteLastHotkey(false);
    debugLog("[Hotkey] Recording mode ON (translate) — waiting for key press");
    recreateEventTap();
}

void HotkeyService::startRecordingPasteLastHotkey() {
    ORMIL_ASSERT_MAIN_THREAD();
    setIsRecordingPasteLastHotkey(true);
    setIsRecordingHotkey(false);
    setIsRecordingTranslateHotkey(false);
    debugLog("[Hotkey] Recording mode ON (paste-last) — waiting for key press");
    recreateEventTap();
}

void HotkeyService::cancelRecordingHotkey() {
    ORMIL_ASSERT_MAIN_THREAD();
    setIsRecordingHotkey(false);
    setIsRecordingTranslateHotkey(false);
    setIsRecordingPasteLastHotkey(false);
    m_capture.cancelPendingModifier();
    debugLog("[Hotkey] Recording mode cancelled");
    recreateEventTap();
}

void HotkeyService::completeRecording(qint64 keyCode, bool isModifierOnly, quint64 modifiers) {
    // A second key that arrived before the first was saved finds capture
    // over; it must not become the dictation key.
    if (!isRecordingHotkey() && !isRecordingTranslateHotkey() && !isRecordingPasteLastHotkey())
        return;
    const QString name = displayName(keyCode, modifiers, isModifierOnly);
    const Shortcut shortcut{keyCode, modifiers, isModifierOnly};
    if (isRecordingPasteLastHotkey()) {
        debugLog(HotkeyShortcutSettings::logLine("Recorded paste-last", shortcut) + " (" + name +
                 ")");
        setIsRecordingPasteLastHotkey(false);
        setPasteLastHotkey(keyCode, isModifierOnly, modifiers);
    } else if (isRecordingTranslateHotkey()) {
        debugLog(HotkeyShortcutSettings::logLine("Recorded translate", shortcut) + " (" + name +
                 ")");
        setIsRecordingTranslateHotkey(false);
        setTranslateHotkey(keyCode, isModifierOnly, modifiers);
    } else {
        debugLog(HotkeyShortcutSettings::logLine("Recorded main", shortcut) + " (" + name + ")");
        setIsRecordingHotkey(false);
        setHotkey(keyCode, isModifierOnly, modifiers);
    }
    if (m_collab.rebuildMenu) m_collab.rebuildMenu();
}
