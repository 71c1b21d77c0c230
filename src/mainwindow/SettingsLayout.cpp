#include "mainwindow/SettingsLayout.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/Labels.h"
#include "ui/Metrics.h"

namespace SettingsLayout {
QVBoxLayout* tabStack(QWidget* tab) {
    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(Metrics::around(Metrics::pageMargin));
    layout->setSpacing(Metrics::pageMargin);
    return layout;
}

QVBoxLayout* groupStack(QGroupBox* box, int spacing) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(Metrics::around(Metrics::rowInset));
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
