#include "mainwindow/RecordList.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/Card.h"
#include "ui/EmptyState.h"
#include "ui/Labels.h"

RecordList::RecordList(const QString& emptySymbol, QWidget* parent) : QStackedWidget(parent) {
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_content = new QWidget(m_scroll);
    m_column = new QVBoxLayout(m_content);
    m_column->setContentsMargins(16, 12, 16, 16);
    m_column->setSpacing(6);
    m_column->addStretch(1);
    m_scroll->setWidget(m_content);
    m_empty = new EmptyState(emptySymbol, {}, {}, this);
    addWidget(m_scroll);
    addWidget(m_empty);
}

void RecordList::clear() {
    while (m_column->count() > 1) {  // the closing stretch stays
        QLayoutItem* item = m_column->takeAt(0);
        if (QWidget* w = item->widget()) {
            w->hide();
            w->setParent(nullptr);
            w->deleteLater();
        }
        delete item;
    }
}

void RecordList::setShowsEmpty(bool empty) {
    setCurrentWidget(empty ? static_cast<QWidget*>(m_empty) : m_scroll);
}

bool RecordList::showsEmpty() const { return currentWidget() == m_empty; }

bool RecordList::isEmptyColumn() const { return m_column->count() <= 1; }

void RecordList::append(QWidget* widget) {
    widget->setParent(m_content);
    m_column->insertWidget(m_column->count() - 1, widget);
}

Card* RecordList::appendCard() {
    auto* card = new Card(m_content);
    card->setRadius(8);
    card->setContentsMargins(0, 0, 0, 0);
    auto* rows = new QVBoxLayout(card);
    rows->setContentsMargins(0, 2, 0, 2);
    rows->setSpacing(0);
    append(card);
    return card;
}

void RecordList::addRow(Card* card, QWidget* row) {
    auto* rows = static_cast<QVBoxLayout*>(card->layout());
    if (rows->count() > 0) rows->addWidget(Labels::divider(card));
    row->setParent(card);
    rows->addWidget(row);
}
