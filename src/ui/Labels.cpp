#include "ui/Labels.h"

#include <QLabel>
#include <QPalette>

#include "ui/Colors.h"

QLabel* Labels::create(const QString& text, TextStyle style, QWidget* parent, bool secondary) {
    auto* label = new QLabel(text, parent);
    label->setFont(Typography::font(style));
    if (secondary) setSecondary(label);
    return label;
}

QLabel* Labels::create(const QString& text, TextStyle style, QFont::Weight weight,
                       QWidget* parent, bool secondary) {
    QLabel* label = create(text, style, parent, secondary);
    label->setFont(Typography::font(style, weight));
    return label;
}

void Labels::setSecondary(QWidget* widget) {
    setTextColor(widget, Colors::secondary(widget->palette()));
}

void Labels::setTextColor(QWidget* widget, const QColor& color) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
    widget->setPalette(pal);
}

QWidget* Labels::divider(QWidget* parent) {
    auto* line = new QWidget(parent);
    line->setFixedHeight(1);
    line->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->setAutoFillBackground(true);
    QPalette pal = line->palette();
    pal.setColor(QPalette::Window, Colors::separator(parent ? parent->palette() : pal));
    line->setPalette(pal);
    return line;
}
