#include "ui/SymbolLabel.h"

#include <QEvent>

#include "ui/Colors.h"
#include "ui/Icons.h"

SymbolLabel::SymbolLabel(const QString& symbol, int sizePx, QWidget* parent)
    : QLabel(parent), m_symbol(symbol), m_size(sizePx) {
    setAlignment(Qt::AlignCenter);
    update();
}

void SymbolLabel::setSymbol(const QString& symbol) {
    if (symbol == m_symbol) return;
    m_symbol = symbol;
    update();
}

void SymbolLabel::setSymbolSize(int sizePx) {
    if (sizePx == m_size) return;
    m_size = sizePx;
    update();
}

void SymbolLabel::setColor(const QColor& color) {
    m_color = color;
    update();
}

void SymbolLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_color) update();
}

void SymbolLabel::update() {
    const QColor color = m_color.value_or(Colors::secondary(palette()));
    setPixmap(Icons::pixmap(m_symbol, m_size, color, devicePixelRatioF()));
    setFixedSize(m_size, m_size);
}
