#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

// The sheet in which one snippet is added or edited: a trigger, its text
// and, for snippets typed on the keyboard, a second text used on Windows.
// It stores nothing itself: on save it hands the cleaned-up values to its
// creator's callback once and closes.
class TriggerTextSheet : public QDialog {
    Q_OBJECT
public:
    struct Arguments {
        QString title;
        bool isEditing = false;
        QString trigger;
        QString text;
        bool supportsWindowsVariant = false;
        QString textWindows;
        std::function<void(const QString& trigger, const QString& text)> onSave;
        // Called instead of onSave when set.
        std::function<void(const QString& trigger, const QString& text,
                           const std::optional<QString>& textWindows)>
            onSaveWithWindows;
    };

    TriggerTextSheet(Arguments arguments, QWidget* parent);

    // White space and line breaks removed at both ends.
    static QString trimmed(const QString& text);

    // Saves when the values allow it (the confirm button's action).
    void save();
    bool canSave() const;

    QLineEdit* triggerField() const { return m_trigger; }
    QPlainTextEdit* textEditor() const { return m_text; }
    QLabel* textLabel() const { return m_textLabel; }
    QCheckBox* windowsCheckBox() const { return m_windowsCheck; }
    QPlainTextEdit* windowsEditor() const { return m_windowsText; }
    QPushButton* confirmButton() const { return m_confirm; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    void updateState();

    Arguments m_args;
    QLineEdit* m_trigger;
    QLabel* m_textLabel;
    QPlainTextEdit* m_text;
    QCheckBox* m_windowsCheck = nullptr;
    QWidget* m_windowsBlock = nullptr;
    QPlainTextEdit* m_windowsText = nullptr;
    QPushButton* m_cancel;
    QPushButton* m_confirm;
    bool m_saved = false;
};
