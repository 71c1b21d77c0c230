#pragma once

#include <QWidget>
#include <functional>

#include "mainwindow/MainWindowContext.h"

class QGroupBox;
class QLabel;
class Switch;

// The Settings page's "App" tab: launch at login (the one setting applied
// to the system at once), error reports, and the version and service host.
class SettingsAppTab : public QWidget {
    Q_OBJECT
public:
    explicit SettingsAppTab(const MainWindowContext& context, QWidget* parent = nullptr);
    void refresh();

    // The version shown after "Version:" ("?" when the application has none).
    static QString versionText();
    // The host of the service the application talks to.
    static QString backendHost();

private:
    void launchAtLoginChanged(bool on);

    MainWindowContext m_context;
    QGroupBox* m_app = nullptr;
    Switch* m_launchAtLogin = nullptr;
    Switch* m_errorReports = nullptr;
    QLabel* m_errorReportsNote = nullptr;
    QGroupBox* m_about = nullptr;
    QLabel* m_versionLabel = nullptr;
    QLabel* m_version = nullptr;
    QLabel* m_backendLabel = nullptr;
    QLabel* m_backend = nullptr;
};
