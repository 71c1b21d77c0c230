#pragma once

#include <QColor>
#include <QFrame>
#include <optional>

// A rounded panel: the design's cards and tinted rows. Without an explicit
// fill it uses the control background of its palette. Lay out its content
// with an ordinary layout; the default padding is 16 on every side.
class Card : public QFrame {
    Q_OBJECT
public:
    explicit Card(QWidget* parent = nullptr);

    void setRadius(double radius);
    void setFill(const QColor& color);
    void setBorder(const QColor& color, double width);
    double radius() const { return m_radius; }
    QColor fill() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_radius = 12;
    std::optional<QColor> m_fill;
    QColor m_border;
    double m_borderWidth = 0;
};
