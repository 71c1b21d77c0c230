#pragma once

#include <QWidget>

class QLabel;
class SymbolLabel;

// The design's empty page: a large symbol, a title and a hint, all in the
// secondary colour, 12 points apart, centred in the space it is given.
class EmptyState : public QWidget {
    Q_OBJECT
public:
    explicit EmptyState(const QString& symbol, const QString& title, const QString& hint = {},
                        QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setTitle(const QString& title);
    // An empty hint hides the hint line.
    void setHint(const QString& hint);
    QString title() const;
    QString hint() const;

private:
    SymbolLabel* m_symbol;
    QLabel* m_title;
    QLabel* m_hint;
};
