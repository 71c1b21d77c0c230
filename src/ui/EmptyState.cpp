#include "ui/EmptyState.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/Labels.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

namespace {
QLabel* secondaryLabel(QWidget* parent, TextStyle style) {
    QLabel* label = Labels::create({}, style, parent, true);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}
}  // namespace

EmptyState::EmptyState(const QString& symbol, const QString& title, const QString& hint,
                       QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addStretch(1);
    m_symbol = new SymbolLabel(symbol, Typography::pixels(48), this);
    m_title = secondaryLabel(this, TextStyle::Title3);
    m_hint = secondaryLabel(this, TextStyle::Caption);
    column->addWidget(m_symbol, 0, Qt::AlignHCenter);
    column->addWidget(m_title);
    column->addWidget(m_hint);
    column->addStretch(1);
    setTitle(title);
    setHint(hint);
}

void EmptyState::setSymbol(const QString& symbol) { m_symbol->setSymbol(symbol); }

void EmptyState::setTitle(const QString& title) { Texts::set(m_title, title); }

void EmptyState::setHint(const QString& hint) {
    Texts::set(m_hint, hint);
    m_hint->setVisible(!hint.isEmpty());
}

QString EmptyState::title() const { return m_title->text(); }

QString EmptyState::hint() const { return m_hint->text(); }
