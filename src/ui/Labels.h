#pragma once

#include <QFont>
#include <QString>

#include "ui/Typography.h"

class QLabel;
class QWidget;

// Small builders every page uses for its texts and dividers.
namespace Labels {
// A label in a text style, optionally in the secondary colour.
QLabel* create(const QString& text, TextStyle style, QWidget* parent, bool secondary = false);
QLabel* create(const QString& text, TextStyle style, QFont::Weight weight, QWidget* parent,
               bool secondary = false);
// Gives a widget's text the secondary colour.
void setSecondary(QWidget* widget);
// Gives a widget's text a fixed colour (the design's red, orange, blue ...).
void setTextColor(QWidget* widget, const QColor& color);
// A one-pixel horizontal line in the separator colour.
QWidget* divider(QWidget* parent);
}  // namespace Labels
