#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/AppState.h"

class AppState;
class ClipboardHistoryService;
class Clock;
class HistoryService;
class NotificationCenter;
class Pasteboard;
class RetryQueueService;
class SettingsStore;
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
    // The shell's windows; null when none are installed.
    WindowOpener* windows = nullptr;
    // The display name of the dictation hotkey as currently set.
    std::function<QString()> dictationHotkeyName;
    // Asks the service for the file-transcription limits; runs on a worker
    // thread and blocks. Empty: the limits are never fetched.
    std::function<std::optional<FileLimits>()> fetchFileLimits;

    // Every member from the process-wide instances.
    static MainWindowContext shared();
};
