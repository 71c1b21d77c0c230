#include "mainwindow/HistorySection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <utility>

#include "core/L10n.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/Pasteboard.h"
#include "platform/Threading.h"
#include "records/RetryQueueService.h"
#include "ui/Colors.h"
#include "ui/EmptyState.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/SearchField.h"
#include "ui/Texts.h"
#include "ui/Typography.h"
#include "platform/Required.h"

namespace {

const QString kClearFailed = QStringLiteral("clearFailed");

QPushButton* redTextButton(TextStyle style, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setFlat(true);
    button->setFont(Typography::font(style));
    button->setCursor(Qt::PointingHandCursor);
    Labels::setTextColor(button, Colors::red());
    return button;
}

ListRow groupHeader(const QString& title, bool first) {
    ListRow row;
    row.header = true;
    row.verticalPadding = first ? 0 : Metrics::rowInset;
    ListPart label = ListPart::label(title, TextStyle::Subheadline, QFont::DemiBold);
    label.secondary = true;
    row.lines << ListLine{{label, ListPart::stretch()}};
    return row;
}

}  // namespace

// -------------------------------------------------------- HistoryListModel

HistoryListModel::HistoryListModel(QObject* parent) : RecordListModel(parent) {}

QList<TranscriptionGroup> HistoryListModel::setContent(QList<FailedTranscription> failed,
                                                       QList<TranscriptionGroup> groups) {
    beginResetModel();
    QList<TranscriptionGroup> before = std::exchange(m_groups, std::move(groups));
    m_failed = std::move(failed);
    m_groupStart.clear();
    int row = failedRows();
    for (const TranscriptionGroup& g : m_groups) {
        m_groupStart << row;
        row += 1 + int(g.items.size());
    }
    m_rows = row;
    endResetModel();
    return before;
}

void HistoryListModel::setFailed(QList<FailedTranscription> failed) {
    setContent(std::move(failed), m_groups);
}

void HistoryListModel::extend(QList<TranscriptionGroup> groups) {
    // The rows shown are the start of the new ones when every group but
    // the last keeps its items and the last only gains some.
    bool prefix = groups.size() >= m_groups.size();
    for (int g = 0; prefix && g < m_groups.size(); ++g) {
        const qsizetype had = m_groups[g].items.size();
        const qsizetype has = groups[g].items.size();
        prefix = groups[g].key == m_groups[g].key &&
                 (g == m_groups.size() - 1 ? has >= had : has == had);
    }
    if (!prefix || m_groups.isEmpty()) {
        setContent(m_failed, std::move(groups));
        return;
    }
    int rows = failedRows();
    QList<int> starts;
    for (const TranscriptionGroup& g : groups) {
        starts << rows;
        rows += 1 + int(g.items.size());
    }
    const int before = m_rows;
    if (rows > before) beginInsertRows({}, before, rows - 1);
    m_groups = std::move(groups);
    m_groupStart = starts;
    m_rows = rows;
    if (rows > before) endInsertRows();
    // The last row shown may no longer end its group.
    rowChanged(before - 1);
}

void HistoryListModel::setExpanded(std::optional<QUuid> id) {
    const std::optional<QUuid> before = m_expanded;
    m_expanded = id;
    if (before) rowChanged(rowOf(*before));
    if (id && id != before) rowChanged(rowOf(*id));
}

void HistoryListModel::setRetrying(std::function<bool(const QString&)> isRetrying) {
    m_isRetrying = std::move(isRetrying);
}

void HistoryListModel::retryingChanged() {
    if (!m_failed.isEmpty()) emit dataChanged(index(1), index(int(m_failed.size())));
}

void HistoryListModel::rowChanged(int row) {
    if (row >= 0) emit dataChanged(index(row), index(row));
}

int HistoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

HistoryListModel::Entry HistoryListModel::entry(int row) const {
    using Kind = Entry::Kind;
    if (row < failedRows())
        return row == 0 ? Entry{Kind::failedHeader} : Entry{Kind::failed, 0, row - 1};
    for (int g = int(m_groupStart.size()) - 1; g >= 0; --g) {
        if (row < m_groupStart[g]) continue;
        if (row == m_groupStart[g]) return Entry{Kind::dayHeader, g, 0};
        return Entry{Kind::item, g, row - m_groupStart[g] - 1};
    }
    return Entry{Kind::dayHeader};
}

const TranscriptionItem& HistoryListModel::item(int row) const {
    const Entry e = entry(row);
    return m_groups.at(e.group).items.at(e.index);
}

const FailedTranscription& HistoryListModel::failed(int row) const {
    return m_failed.at(entry(row).index);
}

bool HistoryListModel::isHeader(int row) const {
    const Entry::Kind kind = entry(row).kind;
    return kind == Entry::Kind::failedHeader || kind == Entry::Kind::dayHeader;
}

int HistoryListModel::rowOf(const QUuid& id) const {
    for (int g = 0; g < m_groups.size(); ++g) {
        const QList<TranscriptionItem>& items = m_groups[g].items;
        for (int i = 0; i < items.size(); ++i)
            if (items[i].id == id) return m_groupStart[g] + 1 + i;
    }
    return -1;
}

int HistoryListModel::rowOfFailed(const QString& id) const {
    for (int i = 0; i < m_failed.size(); ++i)
        if (m_failed[i].id == id) return 1 + i;
    return -1;
}

QStringList HistoryListModel::groupTitles() const {
    QStringList out;
    if (!m_failed.isEmpty()) out << L10n::failedToRecognize();
    for (const TranscriptionGroup& g : m_groups) out << g.key;
    return out;
}

ListRow HistoryListModel::rowAt(int row) const {
    using Kind = Entry::Kind;
    const Entry e = entry(row);
    switch (e.kind) {
        case Kind::failedHeader: {
            ListRow header = groupHeader(L10n::failedToRecognize(), true);
            // "Clear All" only from two entries on.
            if (m_failed.size() >= 2) {
                ListPart clear = ListPart::textButton(L10n::clearAll(), kClearFailed);
                clear.flat = true;
                clear.style = TextStyle::Caption;
                clear.color = Colors::red();
                header.lines[0].parts << clear;
            }
            return header;
        }
        case Kind::failed: {
            const FailedTranscription& f = m_failed.at(e.index);
            ListRow described =
                FailedTranscriptionRow::describe(f, m_isRetrying ? m_isRetrying(f.id) : false);
            described.firstInGroup = e.index == 0;
            described.lastInGroup = e.index == m_failed.size() - 1;
            return described;
        }
        case Kind::dayHeader:
            return groupHeader(e.group < m_groups.size() ? m_groups[e.group].key : QString(),
                               row == 0);
        case Kind::item: {
            const TranscriptionGroup& g = m_groups.at(e.group);
            const TranscriptionItem& item = g.items.at(e.index);
            ListRow described = TranscriptionRow::describe(item, m_expanded == item.id);
            described.firstInGroup = e.index == 0;
            described.lastInGroup = e.index == g.items.size() - 1;
            return described;
        }
    }
    return {};
}

// ---------------------------------------------------------- HistorySection

HistorySection::HistorySection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    requireCollaborator(m_c.pasteboard, "HistorySection", "pasteboard");
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(Metrics::listInset, Metrics::sectionGap, Metrics::listInset,
                               Metrics::groupGap);
    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, this);
    m_clearAll = redTextButton(TextStyle::Body, this);
    m_clearAll->setObjectName(QStringLiteral("clearAll"));
    header->addWidget(m_title);
    header->addStretch(1);
    header->addWidget(m_clearAll);
    page->addLayout(header);

    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(Metrics::listInset, 0, Metrics::listInset, Metrics::itemGap);
    m_search = new SearchField(this);
    searchRow->addWidget(m_search);
    page->addLayout(searchRow);
    page->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("mic.slash"), this);
    m_model = new HistoryListModel(this);
    if (m_c.retryQueue) {
        RetryQueueService* queue = m_c.retryQueue;
        m_model->setRetrying([queue](const QString& id) { return queue->isRetrying(id); });
        connect(queue, &RetryQueueService::retryingChanged, m_model,
                &HistoryListModel::retryingChanged);
        connect(queue, &RetryQueueService::queueChanged, this, &HistorySection::queueChanged);
    }
    m_list->view()->setModel(m_model);
    page->addWidget(m_list, 1);

    connect(m_clearAll, &QPushButton::clicked, this, &HistorySection::clearAll);
    connect(m_search, &SearchField::textChanged, this, &HistorySection::loadData);
    connect(m_list->view(), &RecordListView::triggered, this, &HistorySection::triggered);
    refresh();
    queueChanged();
}

void HistorySection::appeared() {
    refresh();
    loadData();
}

void HistorySection::refresh() {
    Texts::set(m_title, L10n::history());
    Texts::set(m_clearAll, L10n::clearAll());
    m_search->setPlaceholderText(L10n::searchTranscriptions());
    m_list->view()->setAccessibleName(L10n::history());
    EmptyState* empty = m_list->emptyState();
    empty->setTitle(L10n::noRecordingsYet());
    empty->setHint(
        L10n::holdHotkeyToStart(m_c.dictationHotkeyName ? m_c.dictationHotkeyName() : QString()));
    m_clearAll->setVisible(m_raw > 0);
}

QDateTime HistorySection::now() const {
    return m_c.clock ? m_c.clock->currentDateTime() : QDateTime::currentDateTime();
}

void HistorySection::setSearchText(const QString& text) {
    m_search->setText(text);
}

QString HistorySection::searchText() const {
    return m_search->text();
}

void HistorySection::loadData() {
    const QString query = m_search->text();
    const int seq = ++m_loadSeq;
    const QDateTime now = this->now();
    const QStringList titles{L10n::today(), L10n::yesterday(), L10n::earlier()};
    const auto load = [now, titles](const QList<HistoryRecord>& records) {
        Loaded loaded;
        loaded.raw = int(records.size());
        loaded.items = filteredTranscriptions(records);
        loaded.groups = groupedTranscriptions(loaded.items, now, titles);
        return loaded;
    };
    if (!m_c.history) {
        apply({}, seq, true);
    } else if (query.isEmpty()) {
        apply(load(m_c.history->fetchTranscriptions(pageLimit, 0)), seq, true);
    } else if (!m_c.history->isStoreLoaded()) {
        apply(load(m_c.history->searchTranscriptions(query)), seq, true);
    } else {
        // Every match of a short query can be most of the store: read on a
        // worker, shown when it returns unless a newer load came first. The
        // newest matches come first, so the window fills at once.
        Search search = m_searchOverride;
        if (!search) {
            const QString path = m_c.history->databasePath();
            search = [path, now](const QString& q, int limit) {
                return HistoryService::searchStore(path, q, now, limit);
            };
        }
        QPointer<HistorySection> self(this);
        runAsync(
            this,
            [self, search, query, load, seq] {
                const QList<HistoryRecord> first = search(query, firstAnswer);
                if (first.size() < firstAnswer) return load(first);  // that is all
                runOnMain(self, [self, seq, part = load(first)]() mutable {
                    if (self) self->apply(std::move(part), seq, false);
                });
                return load(search(query, 0));
            },
            [this, seq](Loaded loaded) { apply(std::move(loaded), seq, true); });
    }
}

namespace {

// Letting go of 100,000 rows takes a while: not on the main thread. Only
// the worker empties the lists; the holder itself is cheap to let go on
// either thread (a copy of the lists left here could otherwise free them
// here).
void letGo(QList<TranscriptionItem> items, QList<TranscriptionGroup> groups) {
    qsizetype rows = items.size();
    for (const TranscriptionGroup& g : groups) rows += g.items.size();
    if (rows <= HistorySection::firstAnswer) return;
    auto doomed = std::make_shared<std::pair<QList<TranscriptionItem>, QList<TranscriptionGroup>>>(
        std::move(items), std::move(groups));
    runAsync([doomed] {
        doomed->first.clear();
        doomed->second.clear();
    });
}

}  // namespace

void HistorySection::apply(Loaded loaded, int seq, bool whole) {
    if (seq != m_loadSeq) {
        // Stale: a newer load is on its way or shown. A fast typist leaves
        // one of these per keystroke, each as large as its matches.
        letGo(std::move(loaded.items), std::move(loaded.groups));
        return;
    }
    const bool extends = whole && m_partLoad == seq;
    if (whole)
        m_shownLoad = seq;
    else
        m_partLoad = seq;
    m_raw = loaded.raw;
    QList<TranscriptionItem> items = std::exchange(m_items, std::move(loaded.items));
    QList<TranscriptionGroup> groups;
    if (whole)
        debugLog(QStringLiteral("[History] loadData: %1 raw, %2 filtered")
                     .arg(m_raw)
                     .arg(m_items.size()));
    if (extends)
        m_model->extend(std::move(loaded.groups));
    else
        groups = m_model->setContent(
            m_c.retryQueue ? m_c.retryQueue->queue() : QList<FailedTranscription>{},
            std::move(loaded.groups));
    letGo(std::move(items), std::move(groups));
    m_model->setExpanded(m_expanded);
    m_clearAll->setVisible(m_raw > 0);
    updateEmpty();
}

void HistorySection::queueChanged() {
    m_model->setFailed(m_c.retryQueue ? m_c.retryQueue->queue() : QList<FailedTranscription>{});
    updateEmpty();
}

void HistorySection::updateEmpty() {
    m_list->setShowsEmpty(m_model->rowCount() == 0);
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
    return groupedTranscriptions(items, now, {L10n::today(), L10n::yesterday(), L10n::earlier()});
}

QList<TranscriptionGroup> HistorySection::groupedTranscriptions(
    const QList<TranscriptionItem>& items, const QDateTime& now, const QStringList& titles) {
    const QDate today = now.toLocalTime().date();
    const QDate yesterday = today.addDays(-1);
    TranscriptionGroup groups[3] = {
        {titles.value(0), {}}, {titles.value(1), {}}, {titles.value(2), {}}};
    for (const TranscriptionItem& item : items) {
        const QDate day = item.timestamp.toLocalTime().date();
        groups[day == today ? 0 : day == yesterday ? 1 : 2].items.append(item);
    }
    QList<TranscriptionGroup> out;
    for (TranscriptionGroup& g : groups)
        if (!g.items.isEmpty()) out.append(std::move(g));
    return out;
}

void HistorySection::triggered(int row, const QString& action) {
    using Kind = HistoryListModel::Entry::Kind;
    const HistoryListModel::Entry e = m_model->entry(row);
    if (e.kind == Kind::item) {
        const TranscriptionItem item = m_model->item(row);
        if (action == TranscriptionRow::toggleAction)
            toggle(item.id);
        else if (action == TranscriptionRow::copyAction)
            copy(item.text);
        else if (action == TranscriptionRow::deleteAction)
            deleteTranscription(item.id);
    } else if (e.kind == Kind::failed && m_c.retryQueue) {
        const QString id = m_model->failed(row).id;
        // The queue ignores a second retry of an entry already on its way;
        // the row shows what the queue knows, so it needs no completion.
        if (action == FailedTranscriptionRow::retryAction && !m_c.retryQueue->isRetrying(id))
            m_c.retryQueue->retry(id);
        else if (action == FailedTranscriptionRow::deleteAction)
            m_c.retryQueue->remove(id);
    } else if (e.kind == Kind::failedHeader && action == kClearFailed && m_c.retryQueue) {
        m_c.retryQueue->clearAll();
    }
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
    if (m_expanded == id)
        m_expanded.reset();
    else
        m_expanded = id;
    m_model->setExpanded(m_expanded);
}

void HistorySection::copy(const QString& text) {
    // A plain copy: the clipboard history records it like any other.
    m_c.pasteboard->clearContents();
    m_c.pasteboard->setString(text);
}

bool HistorySection::showsEmptyState() const {
    return m_list->showsEmpty();
}

EmptyState* HistorySection::emptyState() const {
    return m_list->emptyState();
}
