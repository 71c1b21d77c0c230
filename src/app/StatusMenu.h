#pragma once

#include <QDateTime>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <vector>

class AppState;
class Clock;
class InputAccess;
class Pasteboard;
class QAction;

class SettingsStore;

// The tray icon's menu: a summary of the state and the shortcuts, the recent
// dictations and clipboard entries, the most used settings, and the ways to
// the windows and out. Every title, check mark and enabled state is read
// afresh when the menu is built; it is built again, in place, each time it
// opens and after every change made through it. Main thread only.
class StatusMenu : public QObject {
    Q_OBJECT
public:
    struct Hotkey {
        qint64 keyCode = -1;  // negative: not set
        quint64 modifiers = 0;
        bool isModifierOnly = false;
    };
    struct Hotkeys {
        Hotkey dictation, translate, pasteLast;
    };
    // One clipboard-history entry, newest first.
    struct ClipboardEntry {
        QString text;
        QDateTime timestamp;
        bool isFromDictation = false;
    };
    // What the menu reads and calls in the rest of the application. A window
    // or service left empty keeps its item disabled.
    struct Collaborators {
        SettingsStore* settings = nullptr;
        AppState* appState = nullptr;
        Clock* clock = nullptr;
        Pasteboard* pasteboard = nullptr;
        InputAccess* inputAccess = nullptr;
        std::function<Hotkeys()> hotkeys;
        // History records (dictionaries with at least "text"), newest first.
        std::function<QList<QVariantMap>(int limit, int offset)> fetchTranscriptions;
        std::function<std::vector<ClipboardEntry>()> clipboardHistory;
        // Puts a history entry back on the clipboard without recording it
        // in the history again (default: only onto the clipboard).
        std::function<void(const QString&)> copyClipboardEntry;
        std::function<void(const QString&)> insertTextViaPasteboard;
        // Starts pushing the settings to the account; not awaited.
        std::function<void()> pushSettings;
        std::function<void()> openMainWindow;
        std::function<void()> openSettings;
        // Starts an update check that reports "up to date" too.
        std::function<void()> checkForUpdates;
        std::function<void()> quit;
    };

    explicit StatusMenu(Collaborators collaborators, QObject* parent = nullptr);
    ~StatusMenu() override;

    QMenu* menu() const { return m_menu; }

    // Empties the menu and fills it again from the current state. The recent
    // transcriptions (read from the history store) are filled in only while
    // the menu is open or opening: the menu is rebuilt each time it opens.
    void rebuildMenu();

    // Actions (the item's data or tag carries the choice).
    void pasteLast();
    void copyRecentTranscription(QAction* item);
    void copyClipboardItem(QAction* item);
    void setLanguage(QAction* item);
    void setTone(QAction* item);
    void setDucking(QAction* item);
    void toggleAutoSwitchLayout();
    void toggleAudioNormalization();
    void selectAudioQuality(QAction* item);
    void checkForUpdates();
    void showAbout();

    // "Ormil v" and the application's version ("?" without one).
    static QString versionLine();
    // The About box's explanation under the version line.
    QString aboutText() const;
    // The age label of a clipboard entry copied at `date`.
    static QString relativeTime(const QDateTime& date, const QDateTime& now);
    // The name of a translation target ("it" -> "IT").
    static QString targetLanguageName(const QString& code);

private:
    QAction* addDisabled(QMenu* menu, const QString& title);
    QMenu* addSubmenu(const QString& title);
    void addRecentTranscriptions();
    void addClipboardHistory();
    void addSettingsSubmenus();
    void storeAndPush(const QString& key, const QJsonValue& value);
    Hotkeys hotkeys() const;

    Collaborators m_c;
    QPointer<QMenu> m_menu;
    std::vector<QPointer<QMenu>> m_submenus;
    bool m_opening = false;
};
