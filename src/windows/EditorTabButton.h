#pragma once

#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

#include "overlay/PromptEditorMode.h"
#include "windows/EditorTab.h"

class QMenu;
class TextEditorModel;

// A dragged tab carries its key under this type only, so dropping it on a
// text area never inserts the key as text.
inline constexpr const char* kEditorTabMimeType = "application/x-ormil-editor-tab";

// Opens the prompt editor card over the editor window in a mode.
using OpenPromptEditor = std::function<void(const PromptEditorMode& mode)>;

// Moves the tab one place left or right; nothing past either end.
void shiftTab(TextEditorModel& model, const EditorTab& tab, bool left);
// A tab dropped on another lands just in front of it.
void dropTab(TextEditorModel& model, const QString& draggedKey, const QString& targetKey);

// The context menu of a tab: shifting, then edit and delete (custom tabs)
// or edit and hide (built-in tabs).
QMenu* buildTabMenu(const EditorTab& tab, TextEditorModel& model, OpenPromptEditor openEditor,
                    QWidget* parent);
// The items of the trailing "+" menu: a new tab, and every hidden built-in
// tab to show again (read from the settings each time).
void fillNewTabMenu(QMenu* menu, TextEditorModel& model, OpenPromptEditor openEditor);

// The button of one tab in the editor's tab strip.
class EditorTabButton : public QWidget {
    Q_OBJECT
public:
    EditorTabButton(const EditorTab& tab, TextEditorModel& model, OpenPromptEditor openEditor,
                    QWidget* parent = nullptr);

    const EditorTab& tab() const { return m_tab; }
    bool isActive() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    EditorTab m_tab;
    TextEditorModel& m_model;
    OpenPromptEditor m_openEditor;
    QPoint m_pressPos;
    bool m_pressed = false;
};
