#include "mainwindow/TranscriptionRow.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

#include "core/L10n.h"
#include "ui/Colors.h"
#include "ui/Graphemes.h"
#include "ui/Metrics.h"

std::optional<TranscriptionItem> TranscriptionItem::fromRecord(const HistoryRecord& record) {
    const QVariant id = record.value(QStringLiteral("id"));
    const QVariant text = record.value(QStringLiteral("text"));
    const QVariant timestamp = record.value(QStringLiteral("timestamp"));
    const QVariant duration = record.value(QStringLiteral("duration"));
    const QVariant wordCount = record.value(QStringLiteral("wordCount"));
    if (id.typeId() != QMetaType::QUuid || text.typeId() != QMetaType::QString ||
        timestamp.typeId() != QMetaType::QDateTime || duration.typeId() != QMetaType::Double ||
        wordCount.typeId() != QMetaType::Int)
        return std::nullopt;
    return TranscriptionItem{id.toUuid(), text.toString(), timestamp.toDateTime(),
                             duration.toDouble(), wordCount.toInt()};
}

QString formatDuration(double seconds) {
    // A stored duration that is no number, or absurdly large, shows as 0s
    // rather than as whatever an overflowing conversion gives.
    const qint64 s = std::isfinite(seconds) && std::fabs(seconds) < 1e15 ? qint64(seconds) : 0;
    if (s > 59) return QStringLiteral("%1m %2s").arg(s / 60).arg(s % 60);
    return QStringLiteral("%1s").arg(s);
}

QString formatSize(qint64 bytes) {
    if (bytes > 1023) return QStringLiteral("%1 KB").arg(bytes / 1024);
    return QStringLiteral("%1 B").arg(bytes);
}

QString formatShortTime(const QDateTime& when) {
    // The locale's short time, without seconds where its format has them.
    static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
    const QString format = QLocale().timeFormat(QLocale::ShortFormat).remove(seconds);
    return QLocale().toString(when.toLocalTime().time(), format);
}

// ------------------------------------------------------------------ parts

void RowParts::addInfo(ListLine& line, const QString& symbol, const QString& text) {
    ListPart icon = ListPart::icon(symbol);
    if (!line.parts.isEmpty()) icon.spacingBefore = Metrics::groupGap;
    line.parts << icon;
    ListPart caption = ListPart::caption(text);
    caption.spacingBefore = Metrics::tightGap;
    line.parts << caption;
}

ListPart RowParts::symbolButton(const QString& symbol, const QColor& color, const QString& action,
                                const QString& name) {
    // The tooltips are fixed English texts; so are the names read aloud.
    return ListPart::iconButton(symbol, color, action, name, name);
}

// -------------------------------------------------------- TranscriptionRow

QString TranscriptionRow::displayText(const QString& text, bool isExpanded) {
    if (isExpanded) return text;
    const QString head = Graphemes::left(text, collapsedCharacters);
    return head.size() < text.size() ? head + QStringLiteral("...") : text;
}

ListRow TranscriptionRow::describe(const TranscriptionItem& item, bool isExpanded) {
    ListRow row;
    row.clickAction = toggleAction;
    row.lineSpacing = Metrics::textGap;
    ListPart text = ListPart::label(displayText(item.text, isExpanded));
    text.fill = true;
    text.maxLines = isExpanded ? 0 : collapsedLines;
    row.lines << ListLine{{text}};
    ListLine info;
    RowParts::addInfo(info, QStringLiteral("clock"), formatShortTime(item.timestamp));
    RowParts::addInfo(info, QStringLiteral("timer"), formatDuration(item.duration));
    RowParts::addInfo(info, QStringLiteral("text.word.spacing"), L10n::nWords(item.wordCount));
    info.parts << ListPart::stretch();
    info.parts << RowParts::symbolButton(QStringLiteral("doc.on.doc"), QColor(), copyAction,
                                         QStringLiteral("Copy"));
    info.parts << RowParts::symbolButton(QStringLiteral("trash"), Colors::red(), deleteAction,
                                         QStringLiteral("Delete"));
    info.spacing = Metrics::tightGap;
    row.lines << info;
    row.accessibleText = item.text;
    return row;
}

// -------------------------------------------------- FailedTranscriptionRow

ListRow FailedTranscriptionRow::describe(const FailedTranscription& item, bool isRetrying) {
    ListRow row;
    ListPart warning = ListPart::icon(QStringLiteral("exclamationmark.triangle.fill"));
    warning.color = Colors::orange();
    ListPart heading = ListPart::label(L10n::failedTranscription(), TextStyle::Body, QFont::Medium);
    heading.color = Colors::orange();
    row.lines << ListLine{{warning, heading, ListPart::stretch()}, Metrics::textGap};
    ListPart error = ListPart::caption(item.errorMessage);
    error.fill = true;
    error.maxLines = 2;
    row.lines << ListLine{{error}};
    ListLine info;
    RowParts::addInfo(info, QStringLiteral("clock"), formatShortTime(item.createdAtDate()));
    RowParts::addInfo(info, QStringLiteral("timer"), formatDuration(item.duration));
    RowParts::addInfo(info, QStringLiteral("waveform"), formatSize(item.audioSize));
    info.parts << ListPart::stretch();
    if (isRetrying) {
        ListPart spinner;
        spinner.kind = ListPart::Kind::spinner;
        info.parts << spinner;
    } else {
        ListPart retry = ListPart::textButton(L10n::retry(), retryAction);
        retry.symbol = QStringLiteral("arrow.clockwise");
        retry.style = TextStyle::Caption;
        retry.flat = true;
        info.parts << retry;
    }
    info.parts << RowParts::symbolButton(QStringLiteral("trash"), Colors::red(), deleteAction,
                                         QStringLiteral("Delete"));
    info.spacing = Metrics::tightGap;
    row.lines << info;
    row.accessibleText = L10n::failedTranscription() + QStringLiteral(": ") + item.errorMessage;
    return row;
}
