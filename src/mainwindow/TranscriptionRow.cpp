#include "mainwindow/TranscriptionRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "core/L10n.h"
#include "records/RetryQueueService.h"
#include "ui/BusySpinner.h"
#include "ui/Colors.h"
#include "ui/Graphemes.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/SymbolLabel.h"
#include "ui/Typography.h"

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

QWidget* RowParts::infoLabel(const QString& symbol, const QString& text, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    const QFont caption = Typography::font(TextStyle::Caption);
    row->addWidget(new SymbolLabel(symbol, QFontMetrics(caption).ascent(), box));
    QLabel* label = Labels::create(text, TextStyle::Caption, box, true);
    label->setTextFormat(Qt::PlainText);
    row->addWidget(label);
    return box;
}

QToolButton* RowParts::symbolButton(const QString& symbol, const QColor& color,
                                    const QString& toolTip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setIcon(Icons::icon(symbol, color));
    button->setIconSize(QSize(Typography::pixels(14), Typography::pixels(14)));
    button->setToolTip(toolTip);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// -------------------------------------------------------- TranscriptionRow

TranscriptionRow::TranscriptionRow(const TranscriptionItem& item, bool isExpanded,
                                   std::function<void()> onToggle, std::function<void()> onDelete,
                                   std::function<void()> onCopy, QWidget* parent)
    : QWidget(parent), m_item(item), m_onToggle(std::move(onToggle)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 4 + 4, 12, 4 + 4);
    column->setSpacing(6);

    m_text = Labels::create({}, TextStyle::Body, this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    // A long word without spaces must not widen the page.
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    column->addWidget(m_text);

    auto* info = new QHBoxLayout;
    info->setSpacing(12);
    info->addWidget(RowParts::infoLabel(QStringLiteral("clock"),
                                        formatShortTime(item.timestamp), this));
    info->addWidget(
        RowParts::infoLabel(QStringLiteral("timer"), formatDuration(item.duration), this));
    info->addWidget(RowParts::infoLabel(QStringLiteral("text.word.spacing"),
                                        L10n::nWords(item.wordCount), this));
    info->addStretch(1);
    m_copy = RowParts::symbolButton(QStringLiteral("doc.on.doc"), Colors::secondary(palette()),
                                    QStringLiteral("Copy"), this);
    m_delete = RowParts::symbolButton(QStringLiteral("trash"), Colors::red(),
                                      QStringLiteral("Delete"), this);
    info->addWidget(m_copy);
    info->addWidget(m_delete);
    column->addLayout(info);

    connect(m_copy, &QToolButton::clicked, this, [onCopy = std::move(onCopy)] {
        if (onCopy) onCopy();
    });
    connect(m_delete, &QToolButton::clicked, this, [onDelete = std::move(onDelete)] {
        if (onDelete) onDelete();
    });
    m_expanded = !isExpanded;
    setExpanded(isExpanded);
}

QString TranscriptionRow::displayText(const QString& text, bool isExpanded) {
    if (isExpanded) return text;
    const QString head = Graphemes::left(text, collapsedCharacters);
    return head.size() < text.size() ? head + QStringLiteral("...") : text;
}

void TranscriptionRow::setExpanded(bool expanded) {
    if (expanded == m_expanded) return;
    m_expanded = expanded;
    m_text->setText(displayText(m_item.text, expanded));
    if (expanded) {
        m_text->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        const QFontMetrics metrics(m_text->font());
        m_text->setMaximumHeight(metrics.lineSpacing() * collapsedLines);
    }
}

void TranscriptionRow::click() {
    if (m_onToggle) m_onToggle();
}

void TranscriptionRow::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
}

// -------------------------------------------------- FailedTranscriptionRow

FailedTranscriptionRow::FailedTranscriptionRow(const FailedTranscription& item,
                                               RetryQueueService* queue, QWidget* parent)
    : QWidget(parent), m_item(item), m_queue(queue) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 4 + 4, 12, 4 + 4);
    column->setSpacing(6);

    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    const QFont caption = Typography::font(TextStyle::Caption);
    auto* warning = new SymbolLabel(QStringLiteral("exclamationmark.triangle.fill"),
                                    QFontMetrics(caption).ascent(), this);
    warning->setColor(Colors::orange());
    QLabel* heading = Labels::create(L10n::failedTranscription(), TextStyle::Body, QFont::Medium,
                                     this);
    Labels::setTextColor(heading, Colors::orange());
    title->addWidget(warning);
    title->addWidget(heading);
    title->addStretch(1);
    column->addLayout(title);

    m_error = Labels::create(item.errorMessage, TextStyle::Caption, this, true);
    m_error->setObjectName(QStringLiteral("error"));
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_error->setMaximumHeight(QFontMetrics(m_error->font()).lineSpacing() * 2);
    column->addWidget(m_error);

    auto* info = new QHBoxLayout;
    info->setSpacing(12);
    info->addWidget(RowParts::infoLabel(QStringLiteral("clock"),
                                        formatShortTime(item.createdAtDate()), this));
    info->addWidget(
        RowParts::infoLabel(QStringLiteral("timer"), formatDuration(item.duration), this));
    info->addWidget(
        RowParts::infoLabel(QStringLiteral("waveform"), formatSize(item.audioSize), this));
    info->addStretch(1);
    m_spinner = new BusySpinner(20, this);
    m_retry = new QToolButton(this);
    m_retry->setObjectName(QStringLiteral("retry"));
    m_retry->setText(L10n::retry());
    m_retry->setFont(caption);
    m_retry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_retry->setIcon(Icons::icon(QStringLiteral("arrow.clockwise"),
                                 palette().color(QPalette::ButtonText)));
    m_retry->setIconSize(QSize(QFontMetrics(caption).ascent(), QFontMetrics(caption).ascent()));
    m_delete = RowParts::symbolButton(QStringLiteral("trash"), Colors::red(),
                                      QStringLiteral("Delete"), this);
    info->addWidget(m_spinner);
    info->addWidget(m_retry);
    info->addWidget(m_delete);
    column->addLayout(info);

    connect(m_retry, &QToolButton::clicked, this, &FailedTranscriptionRow::retry);
    connect(m_delete, &QToolButton::clicked, this, &FailedTranscriptionRow::remove);
    if (m_queue)
        connect(m_queue, &RetryQueueService::retryingChanged, this,
                &FailedTranscriptionRow::updateRetrying);
    updateRetrying();
}

bool FailedTranscriptionRow::isRetrying() const {
    return m_queue && m_queue->isRetrying(m_item.id);
}

void FailedTranscriptionRow::retry() {
    // The queue ignores a second retry of an entry already on its way; the
    // row only shows what the queue knows, so it needs no completion call.
    if (!m_queue || isRetrying()) return;
    m_queue->retry(m_item.id);
}

void FailedTranscriptionRow::remove() {
    if (m_queue) m_queue->remove(m_item.id);
}

void FailedTranscriptionRow::updateRetrying() {
    const bool retrying = isRetrying();
    m_spinner->setVisible(retrying);
    m_retry->setVisible(!retrying);
}
