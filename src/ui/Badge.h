#pragma once

#include <QColor>
#include <QLabel>

// A short text on a tinted, rounded background (the plan badge, the current
// hotkey). The tint is drawn at 10 % opacity by default.
class Badge : public QLabel {
    Q_OBJECT
public:
    explicit Badge(const QString& text = {}, QWidget* parent = nullptr);

    void setTint(const QColor& color, double opacity = 0.1);
    void setPadding(int horizontal, int vertical);
    void setRadius(double radius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_tint;
    double m_opacity = 0.1;
    double m_radius = 6;
};
