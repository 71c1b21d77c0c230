#pragma once

#include <QStackedWidget>

class Card;
class EmptyState;
class QScrollArea;
class QVBoxLayout;

// The list part of a record page (History, Clipboard): a scrolled column of
// widgets and rounded cards of rows, or an empty state in its place.
class RecordList : public QStackedWidget {
    Q_OBJECT
public:
    explicit RecordList(const QString& emptySymbol, QWidget* parent = nullptr);

    QScrollArea* scrollArea() const { return m_scroll; }
    // The column's widget (the parent of what the list shows).
    QWidget* content() const { return m_content; }
    EmptyState* emptyState() const { return m_empty; }

    // Takes everything out of the column at once; deleted later, because a
    // row's own button may be what is running now.
    void clear();
    void setShowsEmpty(bool empty);
    bool showsEmpty() const;
    // Adds a widget (e.g. a group's header) at the end of the column.
    void append(QWidget* widget);
    // Adds a card of rows at the end of the column.
    Card* appendCard();
    // Adds a row to a card, under a hairline when rows come before it.
    static void addRow(Card* card, QWidget* row);
    bool isEmptyColumn() const;

private:
    QScrollArea* m_scroll;
    QWidget* m_content;
    QVBoxLayout* m_column;
    EmptyState* m_empty;
};
