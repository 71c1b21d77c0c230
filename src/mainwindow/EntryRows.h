#pragma once

#include <QString>

#include "ui/ListRow.h"

// Pieces shared by the Dictionary and Snippets pages: the case-folded
// search, the 60-character preview, and one list row (trigger -> text, edit
// and delete buttons, optionally an on/off switch).
namespace EntryRows {

// Case-folded containment of `search` (used unchanged: not trimmed).
bool contains(const QString& field, const QString& search);
// The text itself up to 60 characters, else its first 60 and "...".
QString preview(const QString& text);

// The actions of a row's buttons and switch.
inline const QString editAction = QStringLiteral("edit");
inline const QString deleteAction = QStringLiteral("delete");
inline const QString toggleAction = QStringLiteral("toggle");

struct Row {
    QString trigger;
    QString text;
    bool monospacedTrigger = false;
    bool previewText = false;  // cut the text to preview(), on one line
    bool hasSwitch = false;
    bool enabled = true;
};

// The row: the trigger, an arrow and the text side by side (a long one
// wraps within the row, so the buttons stay in the window), then Edit,
// Delete and the switch.
ListRow describe(const Row& row);

}  // namespace EntryRows
