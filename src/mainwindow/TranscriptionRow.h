#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>
#include <QWidget>
#include <functional>
#include <optional>

#include "records/FailedTranscription.h"
#include "records/HistoryService.h"

class BusySpinner;
class QLabel;
class QToolButton;
class RetryQueueService;

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

// A dictation row: the text (200 characters in up to three lines while
// collapsed, all of it when expanded), its time, length and word count, and
// Copy and Delete buttons. A click on the row outside the buttons toggles it.
class TranscriptionRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int collapsedCharacters = 200;
    static constexpr int collapsedLines = 3;

    TranscriptionRow(const TranscriptionItem& item, bool isExpanded, std::function<void()> onToggle,
                     std::function<void()> onDelete, std::function<void()> onCopy,
                     QWidget* parent = nullptr);

    // The text a row shows: the whole text when expanded, else its first
    // 200 characters and "..." when there are more.
    static QString displayText(const QString& text, bool isExpanded);

    const TranscriptionItem& item() const { return m_item; }
    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);
    QLabel* textLabel() const { return m_text; }
    QToolButton* copyButton() const { return m_copy; }
    QToolButton* deleteButton() const { return m_delete; }
    // What a click on the row does.
    void click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TranscriptionItem m_item;
    bool m_expanded = false;
    std::function<void()> m_onToggle;
    QLabel* m_text;
    QToolButton* m_copy;
    QToolButton* m_delete;
};

// A recording whose transcription failed: the reason, its time, length and
// size, and Retry and Delete. Whether a retry is running is the queue's own
// knowledge, so a rebuilt row shows the spinner of a retry that is still on
// its way and never starts a second one.
class FailedTranscriptionRow : public QWidget {
    Q_OBJECT
public:
    FailedTranscriptionRow(const FailedTranscription& item, RetryQueueService* queue,
                           QWidget* parent = nullptr);

    const FailedTranscription& item() const { return m_item; }
    bool isRetrying() const;
    void retry();
    void remove();
    QToolButton* retryButton() const { return m_retry; }
    QToolButton* deleteButton() const { return m_delete; }
    BusySpinner* spinner() const { return m_spinner; }
    QLabel* errorLabel() const { return m_error; }

private:
    void updateRetrying();

    FailedTranscription m_item;
    RetryQueueService* m_queue;
    QLabel* m_error;
    QToolButton* m_retry;
    BusySpinner* m_spinner;
    QToolButton* m_delete;
};

// Small builders the record rows share.
namespace RowParts {
// A caption in the secondary colour after a small symbol.
QWidget* infoLabel(const QString& symbol, const QString& text, QWidget* parent);
// A frameless button showing a symbol, with a tooltip.
QToolButton* symbolButton(const QString& symbol, const QColor& color, const QString& toolTip,
                          QWidget* parent);
}  // namespace RowParts
