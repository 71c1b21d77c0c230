#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "mainwindow/MainWindowContext.h"
#include "core/AppState.h"
#include "fakes/FakeClock.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/SettingsStore.h"
#include "support/TestSupport.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePasteboard.h"

// The services a main-window test needs, each its own instance in this
// test's private folder, and a context that points at them.
class MainWindowFixture : public ::testing::Test {
protected:
    MainWindowFixture()
        : appState(SettingsStore::shared(), [](const QString&) { return TokenReadResult{}; }) {
        context.settings = &SettingsStore::shared();
        context.appState = &appState;
        context.notifications = &NotificationCenter::shared();
        context.pasteboard = &pasteboard;
        context.clock = &clock;
        context.dictationHotkeyName = [this] { return hotkeyName; };
    }

    void setLanguage(const QString& code) { SettingsStore::shared().set("interfaceLanguage", code); }

    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(14, 30))};
    FakePasteboard pasteboard;
    AppState appState;
    QString hotkeyName = QStringLiteral("Right ⌥ Option");
    MainWindowContext context;
};
