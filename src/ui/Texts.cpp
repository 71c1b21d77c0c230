#include "ui/Texts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

void Texts::set(QLabel* label, const QString& text) {
    if (label && label->text() != text) label->setText(text);
}

void Texts::set(QAbstractButton* button, const QString& text) {
    if (button && button->text() != text) button->setText(text);
}

void Texts::set(QLineEdit* edit, const QString& text) {
    if (edit && edit->text() != text) edit->setText(text);
}

void Texts::set(QPlainTextEdit* edit, const QString& text) {
    if (edit && edit->toPlainText() != text) edit->setPlainText(text);
}

void Texts::setPlaceholder(QLineEdit* edit, const QString& text) {
    if (edit && edit->placeholderText() != text) edit->setPlaceholderText(text);
}

void Texts::setToolTip(QWidget* widget, const QString& text) {
    if (widget && widget->toolTip() != text) widget->setToolTip(text);
}
