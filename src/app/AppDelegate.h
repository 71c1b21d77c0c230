#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

#include "app/StatusMenu.h"
#include "pipeline/DictationCommand.h"

class Clock;
class InputAccess;
class MicrophoneAccess;
class NotificationCenter;
class Notifier;
class QSystemTrayIcon;
class SettingsStore;

// The application's start-up and its long-lived shell: migrates and seeds
// the settings, installs the crash hook, creates the tray icon with its menu,
// starts the background services in a fixed order and decides which window
// the user sees first. Main thread only.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // What the launch sequence starts and calls. Anything left empty is
    // skipped (windows and services that this build does not have yet).
    struct Collaborators {
        SettingsStore* settings = nullptr;
        Notifier* notifier = nullptr;
        NotificationCenter* notifications = nullptr;
        MicrophoneAccess* microphone = nullptr;
        InputAccess* inputAccess = nullptr;
        // The system's preferred languages, most preferred first.
        std::function<QStringList()> preferredLanguages;
        // Whether an access token is stored.
        std::function<bool()> hasAccessToken;
        // Runs a job off the main thread (the default: the shared worker pool).
        std::function<void(std::function<void()>)> runInBackground;
        // Whether a tray host exists (the icon is created either way).
        std::function<bool()> trayAvailable;
        // Creates the tray icon; the default makes a real QSystemTrayIcon.
        bool createTrayIcon = true;

        // Turns recordings an earlier run left behind into retry entries.
        std::function<void()> adoptLeftovers;
        std::function<void()> errorReportStart;
        std::function<void()> installCrashHook;
        // Picks the back ends the desktop session offers (logged): before
        // any service uses keys, the clipboard or windows.
        std::function<void()> sessionSetup;
        // Wires the account synchronisation and makes the local collections
        // it serves. Their loading logs (the text expansions' "Loaded N
        // items"), so it runs after the launch emptied the debug log.
        std::function<void()> setupSync;
        std::function<void()> overlaySetup;
        std::function<void()> hotkeySetup;
        std::function<void()> pullAll;
        std::function<void()> warmUpTonePrompts;
        std::function<void()> clipboardHistoryStart;
        std::function<void()> textExpansionStart;
        // Schedules the first update check this many seconds after launch.
        std::function<void(double seconds)> checkForUpdatesAfterDelay;
        // A start, stop or toggle of a dictation from the command line.
        std::function<void(const DictationCommand&)> runDictationCommand;
        // A link handed to the application ("ormil://auth?token=...").
        std::function<void(const QString& url)> handleURL;

        std::function<void()> showLoginWindow;
        std::function<void()> showOnboardingWindow;
        std::function<void()> openMainWindow;

        // The status menu's own collaborators.
        StatusMenu::Collaborators menu;
    };

    explicit AppDelegate(Collaborators collaborators, QObject* parent = nullptr);
    ~AppDelegate() override;

    // The one delegate once launching has begun; null before and after.
    static AppDelegate* shared();

    // The launch sequence; runs once.
    void applicationDidFinishLaunching();
    // The user asked for the running application again (a plain second
    // launch). Always true.
    bool applicationShouldHandleReopen();
    // Passes on the ormil links among the arguments of a launch; returns
    // whether there was one.
    bool handleURLArguments(const QStringList& arguments);
    // Runs the dictation command among the arguments of a launch; returns
    // whether there was one.
    bool handleCommandArguments(const QStringList& arguments);
    // Arguments a later launch handed over: its command and links, or else a
    // reopen.
    void handleHandOver(const QStringList& arguments);

    void rebuildMenu();
    void requestPermissions();
    void showStartupWindowIfNeeded();
    void setupFirstLaunchDefaults();

    StatusMenu* statusMenu() const { return m_menu.get(); }
    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }

private:
    void migrateTone();
    void createStatusItem();
    void onSessionExpired();

    Collaborators m_c;
    std::unique_ptr<StatusMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
};
