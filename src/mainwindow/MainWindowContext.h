#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/AppState.h"

class AppState;
class ClipboardHistoryService;
class Clock;
class FileTranscriptionService;
class GlobalShortcutsPortal;
class HistoryService;
class HotkeyService;
class MicrophoneList;
class OverlayControl;
class NotificationCenter;
class Pasteboard;
class RetryQueueService;
class SettingsStore;
class TextExpansionService;
class WindowOpener;

// What the main window and its pages read and call. The application fills
// it from the process-wide instances (shared()); tests build their own.
// A page uses only the members it needs; add a member here when a page
// needs a further service.
struct MainWindowContext {
    SettingsStore* settings = nullptr;
    AppState* appState = nullptr;
    NotificationCenter* notifications = nullptr;
    HistoryService* history = nullptr;
    RetryQueueService* retryQueue = nullptr;
    ClipboardHistoryService* clipboardHistory = nullptr;
    Pasteboard* pasteboard = nullptr;
    Clock* clock = nullptr;
    // The file-job client of the Files page; null: the process-wide one.
    FileTranscriptionService* fileTranscription = nullptr;
    TextExpansionService* textExpansions = nullptr;
    // Start a push of the whole collection to the account and return at
    // once (the outcome is the sync service's concern). Empty: no push.
    std::function<void()> pushDictionary;
    std::function<void()> pushSnippets;
    std::function<void()> pushTextExpansions;
    // The shell's windows; null when none are installed.
    WindowOpener* windows = nullptr;
    // Signs the account out (forgets the tokens; sends nothing).
    std::function<void()> logout;
    // The display name of the dictation hotkey as currently set.
    std::function<QString()> dictationHotkeyName;
    // The Settings page: the shortcuts it captures, the overlay it re-applies,
    // the microphones it offers; null: that part of the page does nothing.
    HotkeyService* hotkeys = nullptr;
    OverlayControl* overlay = nullptr;
    // The desktop's global shortcuts on a Wayland session: the Settings page
    // shows what it bound and opens its settings; null on X11.
    GlobalShortcutsPortal* desktopShortcuts = nullptr;
    // The desktop lets no application hear keys (no global shortcuts
    // portal: wlroots compositors, GNOME before 48): the Settings page shows
    // the start and stop commands to bind in the desktop's own settings.
    bool hotkeysByCommands = false;
    // What the desktop keeps from applications (every Wayland desktop: the
    // keys typed in other windows; some: which application is in front):
    // text expansion and per-app styles then work in X11 applications only,
    // and their rows say so.
    bool typedKeysHidden = false;
    bool focusedAppUnknown = false;
    MicrophoneList* microphones = nullptr;
    // Starts a push of the synchronised settings and returns at once.
    std::function<void()> pushSettings;
    // Rebuilds the status menu (it shows the shortcuts).
    std::function<void()> rebuildMenu;
    // Asks the service for the file-transcription limits; runs on a worker
    // thread and blocks. Empty: the limits are never fetched.
    std::function<std::optional<FileLimits>()> fetchFileLimits;

    // Every member from the process-wide instances.
    static MainWindowContext shared();
};
