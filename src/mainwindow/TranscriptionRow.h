#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>
#include <optional>

#include "records/FailedTranscription.h"
#include "records/HistoryService.h"
#include "ui/ListRow.h"

// One dictation as the History page lists it.
struct TranscriptionItem {
    QUuid id;
    QString text;
    QDateTime timestamp;
    double duration = 0;  // seconds
    int wordCount = 0;
    // A record that lacks one of the five keys, or holds one with another
    // type, gives nothing.
    static std::optional<TranscriptionItem> fromRecord(const HistoryRecord& record);
};

// "75s" -> "1m 15s": whole seconds, minutes only from 60 s on.
QString formatDuration(double seconds);
// "1023 B", "1 KB", "1464 KB": whole kilobytes from 1024 bytes on.
QString formatSize(qint64 bytes);
// A time of day in the short style of the locale, without a date.
QString formatShortTime(const QDateTime& when);

// A dictation row of the History list: the text (200 characters in up to
// three lines while collapsed, all of it when expanded), its time, length
// and word count, and Copy and Delete buttons. A click on the row outside
// the buttons toggles it.
namespace TranscriptionRow {
constexpr int collapsedCharacters = 200;
constexpr int collapsedLines = 3;
// The actions of its buttons and of a click on the row.
inline const QString copyAction = QStringLiteral("copy");
inline const QString deleteAction = QStringLiteral("delete");
inline const QString toggleAction = QStringLiteral("toggle");

// The text a row shows: the whole text when expanded, else its first
// 200 characters and "..." when there are more.
QString displayText(const QString& text, bool isExpanded);
ListRow describe(const TranscriptionItem& item, bool isExpanded);
}  // namespace TranscriptionRow

// A recording whose transcription failed: the reason, its time, length and
// size, and Retry and Delete. Whether a retry is running is the queue's own
// knowledge, so a rebuilt list shows the spinner of a retry that is still
// on its way and never starts a second one.
namespace FailedTranscriptionRow {
inline const QString retryAction = QStringLiteral("retry");
inline const QString deleteAction = QStringLiteral("deleteFailed");
ListRow describe(const FailedTranscription& item, bool isRetrying);
}  // namespace FailedTranscriptionRow

// Small builders the record rows share.
namespace RowParts {
// A small secondary symbol, then a caption: one item of an information line.
void addInfo(ListLine& line, const QString& symbol, const QString& text);
// The frameless Copy/Delete-style button showing a symbol, with its
// accessible name and tooltip.
ListPart symbolButton(const QString& symbol, const QColor& color, const QString& action,
                      const QString& name);
}  // namespace RowParts
