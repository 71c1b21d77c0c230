#include "mainwindow/EntryRows.h"

#include "ui/Colors.h"
#include "ui/Graphemes.h"
#include "ui/Metrics.h"

namespace {
constexpr int kPreviewLength = 60;
}  // namespace

bool EntryRows::contains(const QString& field, const QString& search) {
    return field.toCaseFolded().contains(search.toCaseFolded());
}

QString EntryRows::preview(const QString& text) {
    if (Graphemes::count(text) <= kPreviewLength) return text;
    return Graphemes::left(text, kPreviewLength) + QStringLiteral("...");
}

ListRow EntryRows::describe(const Row& row) {
    ListRow out;
    out.verticalPadding = Metrics::textGap;
    ListPart trigger = ListPart::label(row.trigger, TextStyle::Body, QFont::Medium);
    trigger.monospaced = row.monospacedTrigger;
    trigger.maxLines = 0;
    ListPart arrow = ListPart::icon(QStringLiteral("arrow.right"));
    QString shown = row.previewText ? preview(row.text) : row.text;
    ListPart text = ListPart::label(shown);
    text.color = Colors::blue();
    text.fill = true;
    text.maxLines = row.previewText ? 1 : 0;
    ListLine line{{trigger, arrow, text}};
    // The tooltips are fixed English texts; so are the names read aloud.
    line.parts << ListPart::iconButton(QStringLiteral("pencil"), QColor(), editAction,
                                       QStringLiteral("Edit"), QStringLiteral("Edit"));
    line.parts << ListPart::iconButton(QStringLiteral("trash"), Colors::red(), deleteAction,
                                       QStringLiteral("Delete"), QStringLiteral("Delete"));
    if (row.hasSwitch) {
        ListPart toggle;
        toggle.kind = ListPart::Kind::toggle;
        toggle.checked = row.enabled;
        toggle.action = toggleAction;
        toggle.accessibleName = QStringLiteral("Enabled");
        line.parts << toggle;
    }
    out.lines << line;
    out.accessibleText = row.trigger + QStringLiteral(" → ") + row.text;
    return out;
}
