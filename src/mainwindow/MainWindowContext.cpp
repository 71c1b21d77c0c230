#include "mainwindow/MainWindowContext.h"

#include "core/OverlayControl.h"
#include "core/WindowOpener.h"
#include "pipeline/HotkeyService.h"
#include "platform/Clock.h"
#include "platform/MicrophoneList.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/SessionBackends.h"
#include "platform/SettingsStore.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "records/ClipboardHistoryService.h"
#include "records/FileTranscriptionService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "service/AuthService.h"

MainWindowContext MainWindowContext::shared() {
    MainWindowContext c;
    c.settings = &SettingsStore::shared();
    c.appState = &AppState::shared();
    c.notifications = &NotificationCenter::shared();
    c.history = &HistoryService::shared();
    c.retryQueue = &RetryQueueService::shared();
    c.clipboardHistory = &ClipboardHistoryService::shared();
    c.pasteboard = &Pasteboard::shared();
    c.textExpansions = &TextExpansionService::shared();
    c.clock = &Clock::system();
    c.windows = WindowOpener::shared();
    c.logout = [] { AuthService::shared().logout(); };
    // Every edit of a collection is pushed whole; the exchange runs on its own.
    c.pushDictionary = [] { SyncService::shared().pushDictionary(); };
    c.pushSnippets = [] { SyncService::shared().pushSnippets(); };
    c.pushTextExpansions = [] { SyncService::shared().pushTextExpansions(); };
    c.fileTranscription = &FileTranscriptionService::shared();
    c.fetchFileLimits = []() -> std::optional<FileLimits> {
        const auto limits = FileTranscriptionService::shared().getLimits();
        if (!limits) return std::nullopt;
        return limits->toAppState();
    };
    c.hotkeys = &HotkeyService::shared();
    c.desktopShortcuts = GlobalShortcutsPortal::current();
    c.hotkeysByCommands =
        SessionBackends::current().hotkeys == SessionBackends::Hotkeys::commandsOnly;
    c.typedKeysHidden = !SessionBackends::current().hearsTypedKeys();
    c.focusedAppUnknown = !SessionBackends::current().knowsFocusedApp();
    c.overlay = &OverlayControl::shared();
    c.microphones = &MicrophoneList::shared();
    c.pushSettings = [] { SyncService::shared().pushSettings(); };
    c.rebuildMenu = [] { HotkeyService::shared().rebuildMenu(); };
    c.dictationHotkeyName = [] {
        HotkeyService& h = HotkeyService::shared();
        return HotkeyService::displayName(h.currentKeyCode(), h.currentModifiers(),
                                          h.currentIsModifierOnly());
    };
    return c;
}
