#pragma once

#include <QColor>
#include <QLabel>
#include <optional>

// A label that shows one of the design's symbols at a size in pixels. Without
// an explicit colour it uses the secondary colour of its palette, redrawn
// when the palette changes.
class SymbolLabel : public QLabel {
    Q_OBJECT
public:
    explicit SymbolLabel(const QString& symbol = {}, int sizePx = 16, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setSymbolSize(int sizePx);
    void setColor(const QColor& color);
    QString symbol() const { return m_symbol; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void update();

    QString m_symbol;
    int m_size;
    std::optional<QColor> m_color;
};
