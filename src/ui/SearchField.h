#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;
class SymbolLabel;

// The design's search bar: a magnifying glass, a frameless text field and,
// only while there is text, a clear button; on a rounded control-coloured
// background with 8 points of inner padding.
class SearchField : public QWidget {
    Q_OBJECT
public:
    explicit SearchField(QWidget* parent = nullptr);

    QString text() const;
    // Sets the text only when it differs (no cursor jump, no signal then).
    void setText(const QString& text);
    void setPlaceholderText(const QString& text);
    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* clearButton() const { return m_clear; }

signals:
    // Every change of the text, typed or cleared.
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateClearButton();

    SymbolLabel* m_glass;
    QLineEdit* m_edit;
    QToolButton* m_clear;
};
