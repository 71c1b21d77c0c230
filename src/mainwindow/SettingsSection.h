#pragma once

#include "mainwindow/MainWindowContext.h"
#include "ui/Page.h"

class QTabWidget;
class SettingsAppTab;
class SettingsKeysTab;
class SettingsSoundTab;
class SettingsTextTab;

// The Settings section: every preference in four tabs ("Keys", "Text",
// "Sound & view", "App"). Each control writes its settings key the moment
// the user changes it; leaving the page pushes the synchronised settings to
// the account once.
class SettingsSection : public Page {
    Q_OBJECT
public:
    SettingsSection(const MainWindowContext& context, QWidget* parent = nullptr);

    void appeared() override;
    void disappeared() override;
    void refresh() override;

    QTabWidget* tabs() const { return m_tabs; }
    SettingsKeysTab* keysTab() const { return m_keys; }
    SettingsTextTab* textTab() const { return m_text; }
    SettingsSoundTab* soundTab() const { return m_sound; }
    SettingsAppTab* appTab() const { return m_app; }

private:
    MainWindowContext m_context;
    QTabWidget* m_tabs = nullptr;
    SettingsKeysTab* m_keys = nullptr;
    SettingsTextTab* m_text = nullptr;
    SettingsSoundTab* m_sound = nullptr;
    SettingsAppTab* m_app = nullptr;
};
