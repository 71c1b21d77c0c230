#pragma once

#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

// Applying a text only when it differs, so a refresh does not move a cursor,
// drop a selection or relayout needlessly.
namespace Texts {
void set(QLabel* label, const QString& text);
void set(QAbstractButton* button, const QString& text);
void set(QLineEdit* edit, const QString& text);
void set(QPlainTextEdit* edit, const QString& text);
void setPlaceholder(QLineEdit* edit, const QString& text);
void setToolTip(QWidget* widget, const QString& text);
}  // namespace Texts
