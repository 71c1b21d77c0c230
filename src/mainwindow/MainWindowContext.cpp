#include "mainwindow/MainWindowContext.h"

#include "core/WindowOpener.h"
#include "pipeline/HotkeyService.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"

MainWindowContext MainWindowContext::shared() {
    MainWindowContext c;
    c.settings = &SettingsStore::shared();
    c.appState = &AppState::shared();
    c.notifications = &NotificationCenter::shared();
    c.history = &HistoryService::shared();
    c.retryQueue = &RetryQueueService::shared();
    c.clipboardHistory = &ClipboardHistoryService::shared();
    c.pasteboard = &Pasteboard::shared();
    c.clock = &Clock::system();
    c.windows = WindowOpener::shared();
    c.dictationHotkeyName = [] {
        HotkeyService& h = HotkeyService::shared();
        return HotkeyService::displayName(h.currentKeyCode(), h.currentModifiers(),
                                          h.currentIsModifierOnly());
    };
    return c;
}
