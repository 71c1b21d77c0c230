#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class QVBoxLayout;
class Switch;

// Pieces shared by the Dictionary and Snippets pages: the case-folded
// search, the 60-character preview, and one list row (trigger -> text, edit
// and delete buttons, optionally an on/off switch).
namespace EntryRows {

// Case-folded containment of `search` (used unchanged: not trimmed).
bool contains(const QString& field, const QString& search);
// The text itself up to 60 characters, else its first 60 and "...".
QString preview(const QString& text);

struct Row {
    QString trigger;
    QString text;
    bool monospacedTrigger = false;
    bool previewText = false;  // cut the text to preview()
    std::function<void()> onEdit;
    std::function<void()> onDelete;
    // Set to show the switch; it receives the new state.
    std::function<void(bool)> onToggle;
    bool enabled = true;
};

QWidget* makeRow(const Row& row, QWidget* parent);

}  // namespace EntryRows
