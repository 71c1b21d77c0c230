#include "mainwindow/EntryRows.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include "ui/Colors.h"
#include "ui/Graphemes.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Switch.h"
#include "ui/SymbolLabel.h"
#include "ui/Typography.h"

namespace {
constexpr int kPreviewLength = 60;

QToolButton* iconButton(const QString& symbol, const QColor& color, const QString& tip,
                        QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setIcon(Icons::icon(symbol, color));
    b->setAutoRaise(true);
    b->setToolTip(tip);
    b->setObjectName(symbol);
    return b;
}
}  // namespace

bool EntryRows::contains(const QString& field, const QString& search) {
    return field.toCaseFolded().contains(search.toCaseFolded());
}

QString EntryRows::preview(const QString& text) {
    if (Graphemes::count(text) <= kPreviewLength) return text;
    return Graphemes::left(text, kPreviewLength) + QStringLiteral("...");
}

QWidget* EntryRows::makeRow(const Row& row, QWidget* parent) {
    auto* w = new QWidget(parent);
    auto* h = new QHBoxLayout(w);
    h->setContentsMargins(8, 2, 8, 2);
    h->setSpacing(8);
    auto* trigger = new QLabel(row.trigger, w);
    trigger->setObjectName("trigger");
    trigger->setFont(row.monospacedTrigger ? Typography::monospaced(TextStyle::Body)
                                           : Typography::font(TextStyle::Body, QFont::Medium));
    if (row.monospacedTrigger) {
        QFont f = trigger->font();
        f.setWeight(QFont::Medium);
        trigger->setFont(f);
    }
    h->addWidget(trigger);
    h->addWidget(new SymbolLabel(QStringLiteral("arrow.right"), Typography::pixels(11), w));
    QString shown = row.previewText ? preview(row.text) : row.text;
    // One line at most.
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto* text = new QLabel(shown, w);
    text->setObjectName("text");
    Labels::setTextColor(text, Colors::blue());
    h->addWidget(text, 1);
    auto* edit = iconButton(QStringLiteral("pencil"), Colors::secondary(w->palette()),
                            QObject::tr("Edit"), w);
    auto* del = iconButton(QStringLiteral("trash"), Colors::red(), QObject::tr("Delete"), w);
    h->addWidget(edit);
    h->addWidget(del);
    QObject::connect(edit, &QToolButton::clicked, w, [f = row.onEdit] {
        if (f) f();
    });
    QObject::connect(del, &QToolButton::clicked, w, [f = row.onDelete] {
        if (f) f();
    });
    if (row.onToggle) {
        auto* sw = new Switch(w);
        sw->setChecked(row.enabled);
        h->addWidget(sw);
        QObject::connect(sw, &Switch::toggled, w, [f = row.onToggle](bool on) { f(on); });
    }
    return w;
}
