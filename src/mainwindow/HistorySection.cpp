#include "mainwindow/HistorySection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/Pasteboard.h"
#include "records/RetryQueueService.h"
#include "mainwindow/RecordList.h"
#include "ui/Card.h"
#include "ui/Colors.h"
#include "ui/EmptyState.h"
#include "ui/Labels.h"
#include "ui/SearchField.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

namespace {

QPushButton* redTextButton(TextStyle style, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setFlat(true);
    button->setFont(Typography::font(style));
    button->setCursor(Qt::PointingHandCursor);
    Labels::setTextColor(button, Colors::red());
    return button;
}

}  // namespace

HistorySection::HistorySection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(16, 16, 16, 12);
    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, this);
    m_clearAll = redTextButton(TextStyle::Body, this);
    m_clearAll->setObjectName(QStringLiteral("clearAll"));
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_clearAll);
    page->addLayout(header);

    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(16, 0, 16, 8);
    m_search = new SearchField(this);
    searchRow->addWidget(m_search);
    page->addLayout(searchRow);
    page->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("mic.slash"), this);
    m_empty = m_list->emptyState();
    m_scroll = m_list->scrollArea();
    page->addWidget(m_list, 1);

    connect(m_clearAll, &QPushButton::clicked, this, &HistorySection::clearAll);
    connect(m_search, &SearchField::textChanged, this, &HistorySection::loadData);
    QScrollBar* bar = m_scroll->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &HistorySection::maybeAppendRows);
    connect(bar, &QScrollBar::rangeChanged, this, &HistorySection::maybeAppendRows);
    if (m_c.retryQueue)
        connect(m_c.retryQueue, &RetryQueueService::queueChanged, this,
                &HistorySection::rebuildList);
    refresh();
}

void HistorySection::appeared() {
    refresh();
    loadData();
}

void HistorySection::refresh() {
    Texts::set(m_title, L10n::history());
    Texts::set(m_clearAll, L10n::clearAll());
    m_search->setPlaceholderText(L10n::searchTranscriptions());
    m_empty->setTitle(L10n::noRecordingsYet());
    m_empty->setHint(L10n::holdHotkeyToStart(
        m_c.dictationHotkeyName ? m_c.dictationHotkeyName() : QString()));
    m_clearAll->setVisible(!m_transcriptions.isEmpty());
}

QDateTime HistorySection::now() const {
    return m_c.clock ? m_c.clock->currentDateTime() : QDateTime::currentDateTime();
}

void HistorySection::setSearchText(const QString& text) { m_search->setText(text); }

QString HistorySection::searchText() const { return m_search->text(); }

void HistorySection::loadData() {
    const QString query = m_search->text();
    if (!m_c.history)
        m_transcriptions.clear();
    else if (!query.isEmpty())
        m_transcriptions = m_c.history->searchTranscriptions(query);
    else
        m_transcriptions = m_c.history->fetchTranscriptions(pageLimit, 0);
    m_items = filteredTranscriptions(m_transcriptions);
    debugLog(QStringLiteral("[History] loadData: %1 raw, %2 filtered")
                 .arg(m_transcriptions.size())
                 .arg(m_items.size()));
    m_groups = groupedTranscriptions(m_items, now());
    m_clearAll->setVisible(!m_transcriptions.isEmpty());
    rebuildList();
}

QList<TranscriptionItem> HistorySection::filteredTranscriptions(
    const QList<HistoryRecord>& records) {
    QList<TranscriptionItem> out;
    out.reserve(records.size());
    for (const HistoryRecord& r : records)
        if (auto item = TranscriptionItem::fromRecord(r)) out.append(std::move(*item));
    return out;
}

QList<TranscriptionGroup> HistorySection::groupedTranscriptions(
    const QList<TranscriptionItem>& items, const QDateTime& now) {
    const QDate today = now.toLocalTime().date();
    const QDate yesterday = today.addDays(-1);
    TranscriptionGroup groups[3] = {{L10n::today(), {}}, {L10n::yesterday(), {}},
                                    {L10n::earlier(), {}}};
    for (const TranscriptionItem& item : items) {
        const QDate day = item.timestamp.toLocalTime().date();
        groups[day == today ? 0 : day == yesterday ? 1 : 2].items.append(item);
    }
    QList<TranscriptionGroup> out;
    for (TranscriptionGroup& g : groups)
        if (!g.items.isEmpty()) out.append(std::move(g));
    return out;
}

Card* HistorySection::addCard(const QString& title, QWidget* trailing) {
    auto* head = new QWidget(m_list->content());
    auto* row = new QHBoxLayout(head);
    row->setContentsMargins(4, m_list->isEmptyColumn() ? 0 : 10, 4, 2);
    QLabel* label = Labels::create(title, TextStyle::Subheadline, QFont::DemiBold, head, true);
    label->setObjectName(QStringLiteral("groupTitle"));
    row->addWidget(label);
    row->addStretch(1);
    if (trailing) {
        trailing->setParent(head);
        row->addWidget(trailing);
    }
    m_list->append(head);
    return m_list->appendCard();
}

void HistorySection::rebuildList() {
    m_list->clear();
    m_rowsById.clear();
    m_failedClearAll = nullptr;
    m_currentCard = nullptr;
    m_groupCursor = 0;
    m_itemCursor = 0;

    const bool hasFailed = m_c.retryQueue && !m_c.retryQueue->queue().isEmpty();
    m_list->setShowsEmpty(m_items.isEmpty() && !hasFailed);
    if (m_list->showsEmpty()) return;
    if (hasFailed) addFailedGroup();
    appendRows(rowBatch);
}

void HistorySection::addFailedGroup() {
    const QList<FailedTranscription>& queue = m_c.retryQueue->queue();
    QPushButton* clear = nullptr;
    if (queue.size() >= 2) {
        clear = redTextButton(TextStyle::Caption, m_list->content());
        clear->setObjectName(QStringLiteral("failedClearAll"));
        clear->setText(L10n::clearAll());
        connect(clear, &QPushButton::clicked, m_c.retryQueue, &RetryQueueService::clearAll);
        m_failedClearAll = clear;
    }
    Card* card = addCard(L10n::failedToRecognize(), clear);
    for (const FailedTranscription& entry : queue)
        RecordList::addRow(card, new FailedTranscriptionRow(entry, m_c.retryQueue, card));
}

void HistorySection::appendRows(int count) {
    while (count > 0 && m_groupCursor < m_groups.size()) {
        const TranscriptionGroup& group = m_groups.at(m_groupCursor);
        if (m_itemCursor == 0) m_currentCard = addCard(group.key, nullptr);
        const TranscriptionItem& item = group.items.at(m_itemCursor);
        const QUuid id = item.id;
        const QString text = item.text;
        auto* row = new TranscriptionRow(
            item, m_expanded == id, [this, id] { toggle(id); },
            [this, id] { deleteTranscription(id); }, [this, text] { copy(text); },
            m_currentCard);
        RecordList::addRow(m_currentCard, row);
        m_rowsById.insert(id, row);
        --count;
        if (++m_itemCursor >= group.items.size()) {
            ++m_groupCursor;
            m_itemCursor = 0;
        }
    }
}

void HistorySection::maybeAppendRows() {
    if (m_groupCursor >= m_groups.size()) return;
    const QScrollBar* bar = m_scroll->verticalScrollBar();
    if (bar->maximum() - bar->value() < m_scroll->viewport()->height()) appendRows(rowBatch);
}

void HistorySection::clearAll() {
    if (m_c.history) m_c.history->clearAllTranscriptions();
    loadData();
}

void HistorySection::deleteTranscription(const QUuid& id) {
    if (m_c.history) m_c.history->deleteTranscription(id);
    loadData();
}

void HistorySection::toggle(const QUuid& id) {
    const std::optional<QUuid> previous = m_expanded;
    if (m_expanded == id)
        m_expanded.reset();
    else
        m_expanded = id;
    if (previous)
        if (TranscriptionRow* row = m_rowsById.value(*previous)) row->setExpanded(false);
    if (m_expanded)
        if (TranscriptionRow* row = m_rowsById.value(*m_expanded)) row->setExpanded(true);
}

void HistorySection::copy(const QString& text) {
    // A plain copy: the clipboard history records it like any other.
    Pasteboard& board = m_c.pasteboard ? *m_c.pasteboard : Pasteboard::shared();
    board.clearContents();
    board.setString(text);
}

QStringList HistorySection::groupTitles() const {
    QStringList out;
    for (const QLabel* label :
         m_list->content()->findChildren<QLabel*>(QStringLiteral("groupTitle")))
        out << label->text();
    return out;
}

QList<TranscriptionRow*> HistorySection::rows() const {
    return m_list->content()->findChildren<TranscriptionRow*>();
}

QList<FailedTranscriptionRow*> HistorySection::failedRows() const {
    return m_list->content()->findChildren<FailedTranscriptionRow*>();
}

bool HistorySection::showsEmptyState() const { return m_list->showsEmpty(); }
