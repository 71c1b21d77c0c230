#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "overlay/PromptEditorCard.h"
#include "overlay/PromptEditorMode.h"
#include "overlay/PromptEditorModel.h"

class EditorTabButton;
class OverflowTabsView;
class Pasteboard;
class QLabel;
class QPushButton;
class QStackedWidget;
class BusySpinner;
class QToolButton;
class QVBoxLayout;
class TextEditorModel;

// The source text area: a text drop appends the text to the source instead
// of inserting it where it lands; anything without text is refused.
class EditorSourceEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void(const QString& text)> onDropText;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// The AI text editor: the source on the left (with the history of
// dictations beside it on demand), the tab strip, the result and the
// instruction field on the right, and the copy and apply buttons below.
class TextEditorView : public QWidget {
    Q_OBJECT
public:
    struct Options {
        QString initialSource;
        // Receives the result the user applies.
        std::function<void(const QString& text)> onApply;
        TextEditorModel* model = nullptr;  // required; the view takes it over
        Pasteboard* pasteboard = nullptr;  // required
        // The prompt editor card's translations (default: the service's).
        PromptEditorModel::Translator translator;
    };

    explicit TextEditorView(Options options, QWidget* parent = nullptr);

    static constexpr const char* windowTitleText = "AI-обработка текста";
    // A top-level editor window of the design's size, not yet shown.
    static TextEditorView* makeWindow(Options options);

    TextEditorModel& model() { return *m_model; }
    const std::optional<PromptEditorMode>& editorMode() const { return m_editorMode; }
    void setEditorMode(const std::optional<PromptEditorMode>& mode);
    PromptEditorOverlay* promptEditorOverlay() const { return m_overlay; }

    // A new source from the opener: trimmed, tabs reloaded, results cleared.
    void handOverSource(const QString& text);
    void runAsk();
    void copyResult();
    void applyResult();

    // The parts, for tests.
    EditorSourceEdit* sourceEdit() const { return m_source; }
    QPlainTextEdit* resultEdit() const { return m_result; }
    QPlainTextEdit* askEdit() const { return m_ask; }
    QToolButton* sendButton() const { return m_send; }
    BusySpinner* sendSpinner() const { return m_sendSpinner; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* applyButton() const { return m_apply; }
    QToolButton* historyToggle() const { return m_historyToggle; }
    QToolButton* newTabButton() const { return m_newTab; }
    QWidget* historyPanel() const { return m_historyPanel; }
    OverflowTabsView* tabStrip() const { return m_strip; }
    QLabel* statusLabel() const { return m_status; }
    QStackedWidget* resultStack() const { return m_resultStack; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildHistoryPanel();
    QWidget* buildSourceColumn();
    QWidget* buildResultColumn();
    QWidget* buildAskPanel();
    QWidget* buildActionBar();
    QWidget* historyCard(const QVariantMap& record);
    void refresh();
    void refreshTabs();
    void refreshHistory();
    void updateAskHeight();

    Options m_options;
    TextEditorModel* m_model;
    Pasteboard& m_pasteboard;
    std::optional<PromptEditorMode> m_editorMode;
    QPointer<PromptEditorOverlay> m_overlay;

    QWidget* m_historyPanel = nullptr;
    QWidget* m_historyDivider = nullptr;
    QVBoxLayout* m_historyList = nullptr;
    QToolButton* m_historyToggle = nullptr;
    EditorSourceEdit* m_source = nullptr;
    OverflowTabsView* m_strip = nullptr;
    QToolButton* m_newTab = nullptr;
    QStackedWidget* m_resultStack = nullptr;
    QPlainTextEdit* m_result = nullptr;
    QPlainTextEdit* m_ask = nullptr;
    QToolButton* m_send = nullptr;
    BusySpinner* m_sendSpinner = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_apply = nullptr;
};
