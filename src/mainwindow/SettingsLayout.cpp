#include "mainwindow/SettingsLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Labels.h"

namespace SettingsLayout {
QVBoxLayout* tabStack(QWidget* tab) {
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(20);
    return layout;
}

QVBoxLayout* groupStack(QGroupBox* box, int spacing) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(10, 4 + 6, 10, 4 + 6);
    layout->setSpacing(spacing);
    return layout;
}

QLabel* rowLabel(QWidget* parent) {
    QLabel* label = Labels::create({}, TextStyle::Body, parent);
    // A long translation wraps inside the column instead of being cut.
    label->setFixedWidth(140);
    label->setWordWrap(true);
    return label;
}

QLabel* caption(QWidget* parent) {
    QLabel* label = Labels::create({}, TextStyle::Caption, parent, true);
    label->setWordWrap(true);
    return label;
}
}  // namespace SettingsLayout
