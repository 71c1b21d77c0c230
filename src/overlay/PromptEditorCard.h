#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "overlay/PromptEditorMode.h"
#include "overlay/PromptEditorModel.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The style prompt editor: a title, for custom styles a name field, an
// explanatory line, the prompt box, the original/translation switch of a
// translated built-in prompt, the two options of custom styles, an error
// line and the buttons. It never closes itself: it calls onDismiss when
// it is done, and its host removes it.
class PromptEditorCard : public QWidget {
    Q_OBJECT
public:
    // Stores a custom style (name, prompt, same language, don't change the
    // meaning): nothing when saved, else the message to show.
    using SaveCustom = std::function<std::optional<QString>(
        const QString& name, const QString& prompt, bool sameLanguage, bool dontChangeMeaning)>;

    struct Callbacks {
        std::function<void()> onDismiss;
        SaveCustom onSaveCustom;               // may be empty
        std::function<void()> onDeleteCustom;  // may be empty
    };

    PromptEditorCard(
        const PromptEditorMode& mode, Callbacks callbacks,
        PromptEditorModel::Translator translator = PromptEditorModel::serviceTranslator(),
        QWidget* parent = nullptr);

    PromptEditorModel& model() { return *m_model; }
    QString titleText() const;

    // The parts, for the window's tests.
    QLabel* titleLabel() const { return m_title; }
    QLineEdit* nameField() const { return m_name; }
    QPlainTextEdit* promptBox() const { return m_prompt; }
    QPushButton* toggleButton() const { return m_toggle; }
    QCheckBox* sameLanguageBox() const { return m_sameLanguage; }
    QCheckBox* dontChangeMeaningBox() const { return m_dontChangeMeaning; }
    QLabel* errorLabel() const { return m_error; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* saveButton() const { return m_save; }

    void save();
    void deleteOrRestore();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void refresh();

    PromptEditorMode m_mode;
    Callbacks m_callbacks;
    PromptEditorModel* m_model;
    bool m_loaded = false;
    bool m_focusPending = false;

    QLabel* m_title = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_watermark = nullptr;
    QPlainTextEdit* m_prompt = nullptr;
    QPushButton* m_toggle = nullptr;
    QWidget* m_options = nullptr;
    QCheckBox* m_sameLanguage = nullptr;
    QCheckBox* m_dontChangeMeaning = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_save = nullptr;
};

// The card over a whole host window: a dimmed backdrop that dismisses on a
// click, and the card, 520 wide, in the middle.
class PromptEditorOverlay : public QWidget {
    Q_OBJECT
public:
    PromptEditorOverlay(
        const PromptEditorMode& mode, PromptEditorCard::Callbacks callbacks, QWidget* host,
        PromptEditorModel::Translator translator = PromptEditorModel::serviceTranslator());

    PromptEditorCard* card() const { return m_card; }
    // The card's frame inside the overlay.
    QRect cardGeometry() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onDismiss;
    QWidget* m_frame = nullptr;
    PromptEditorCard* m_card = nullptr;
};
