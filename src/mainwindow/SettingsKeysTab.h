#pragma once

#include <QWidget>

#include "mainwindow/MainWindowContext.h"

class Badge;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class SegmentedControl;
class Switch;

// The Settings page's "Keys" tab: the three shortcuts (captured by the
// hotkey service, which stores them; the tab mirrors what it publishes),
// the recording mode, the translation target and the launch window switch.
class SettingsKeysTab : public QWidget {
    Q_OBJECT
public:
    explicit SettingsKeysTab(const MainWindowContext& context, QWidget* parent = nullptr);
    void refresh();

    // The dictation shortcut every reset returns to: Right Alt alone.
    static constexpr qint64 kDefaultKeyCode = 61;

private:
    // One shortcut's group: its caption, current-key badge and buttons.
    struct Group {
        QGroupBox* box = nullptr;
        QLabel* caption = nullptr;
        QLabel* currentLabel = nullptr;
        Badge* badge = nullptr;
        QPushButton* change = nullptr;
        QPushButton* reset = nullptr;  // none for paste-last
    };
    Group makeGroup(const QString& name, bool withReset, QWidget* parent);
    void refreshGroup(Group& g, const QString& title, const QString& caption, bool capturing,
                      bool isDictation, qint64 keyCode, quint64 modifiers, bool modifierOnly,
                      bool showReset);

    // On a Wayland session: what the desktop bound for the shortcut `id`.
    // storedName: the key the desktop was asked for.
    void showDesktopShortcut(Group& g, const QString& id, const QString& caption,
                             const QString& storedName, bool loneModifier);
    // Where the desktop lets no application hear keys: the commands a key of
    // the desktop's own settings runs instead (none for paste-last).
    void showCommands(Group& g, const QString& caption, const QStringList& commands);
    // Opens the desktop's shortcut settings where the desktop holds the
    // shortcuts; false on X11, where the tab captures the key itself.
    bool openDesktopShortcuts();
    void toggleDictationCapture();
    void toggleTranslateCapture();
    void togglePasteLastCapture();
    void resetDictation();
    void resetTranslate();

    MainWindowContext m_context;
    Group m_dictation;
    Group m_translate;
    Group m_pasteLast;
    QLabel* m_modeLabel = nullptr;
    SegmentedControl* m_mode = nullptr;
    QLabel* m_modeCaption = nullptr;
    Switch* m_openWindow = nullptr;
    QLabel* m_openWindowCaption = nullptr;
    QLabel* m_translateToLabel = nullptr;
    QComboBox* m_translateTo = nullptr;
};
