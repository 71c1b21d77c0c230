#include "mainwindow/ClipboardSection.h"

#include <QLabel>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "ui/EmptyState.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/RecordList.h"
#include "ui/Texts.h"

using ClipboardItem = ClipboardHistoryService::ClipboardItem;

namespace {
bool sameItems(const QList<ClipboardItem>& a, const QList<ClipboardItem>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].timestamp != b[i].timestamp ||
            a[i].isTranscription != b[i].isTranscription)
            return false;
    return true;
}
}  // namespace

// ------------------------------------------------------------ ClipboardRow

ListRow ClipboardRow::describe(const ClipboardItem& item, bool isExpanded) {
    ListRow row;
    row.clickAction = toggleAction;
    row.lineSpacing = Metrics::textGap;
    row.lines << ListLine{{ListPart::caption(ClipboardSection::formatDate(item.timestamp)),
                           ListPart::stretch(),
                           ListPart::textButton(L10n::filesCopy(), copyAction)}};
    ListPart text = ListPart::label(item.text);
    text.fill = true;
    text.maxLines = isExpanded ? 0 : 2;
    row.lines << ListLine{{text}};
    row.accessibleText = item.text;
    return row;
}

// -------------------------------------------------------- ClipboardSection

ClipboardSection::ClipboardSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* header = new QVBoxLayout;
    header->setContentsMargins(Metrics::listInset, Metrics::sectionGap, Metrics::listInset,
                               Metrics::sectionGap);
    header->setSpacing(Metrics::tightGap);
    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, this);
    m_subtitle = Labels::create({}, TextStyle::Caption, this, true);
    m_subtitle->setWordWrap(true);
    header->addWidget(m_title);
    header->addWidget(m_subtitle);
    page->addLayout(header);
    page->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("doc.on.clipboard"), this);
    m_model = new ListRowsModel(this);
    m_list->view()->setModel(m_model);
    connect(m_list->view(), &RecordListView::triggered, this, &ClipboardSection::triggered);
    page->addWidget(m_list, 1);
    refresh();
    rebuildList();
}

ClipboardSection::~ClipboardSection() {
    if (m_timer) m_timer->cancel();
}

void ClipboardSection::appeared() {
    refresh();
    reload();
    if (m_timer) m_timer->cancel();
    if (m_c.clock) m_timer = m_c.clock->repeat(refreshInterval, this, [this] { reload(); });
}

void ClipboardSection::disappeared() {
    if (m_timer) m_timer->cancel();
    m_timer.reset();
}

void ClipboardSection::refresh() {
    Texts::set(m_title, L10n::clipboardSection());
    Texts::set(m_subtitle, L10n::clipboardSubtitle());
    m_list->emptyState()->setTitle(L10n::clipboardEmpty());
    m_list->view()->setAccessibleName(L10n::clipboardSection());
}

QList<ClipboardItem> ClipboardSection::userCopies(const QList<ClipboardItem>& history) {
    QList<ClipboardItem> out;
    for (const ClipboardItem& item : history)
        if (!item.isTranscription) out.append(item);
    return out;
}

QString ClipboardSection::formatDate(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

void ClipboardSection::reload() {
    QList<ClipboardItem> items =
        m_c.clipboardHistory ? userCopies(m_c.clipboardHistory->history()) : QList<ClipboardItem>{};
    // Unchanged: the rows stay as they are.
    if (sameItems(items, m_items) && m_model->rowCount() == m_items.size()) return;
    m_items = std::move(items);
    rebuildList();
}

void ClipboardSection::toggle(int index) {
    const std::optional<int> before = m_expanded;
    m_expanded = m_expanded == index ? std::nullopt : std::optional<int>(index);
    // Only the rows whose state changed are described again.
    for (const std::optional<int>& row : {before, m_expanded})
        if (row && *row >= 0 && *row < m_items.size())
            m_model->setRow(*row, ClipboardRow::describe(m_items.at(*row), m_expanded == *row));
}

void ClipboardSection::triggered(int row, const QString& action) {
    if (action == ClipboardRow::toggleAction)
        toggle(row);
    else if (action == ClipboardRow::copyAction)
        copy(row);
}

void ClipboardSection::copy(int index) {
    if (index < 0 || index >= m_items.size() || !m_c.clipboardHistory) return;
    // Put back without being recorded as a new copy.
    m_c.clipboardHistory->copyToClipboard(m_items.at(index).text);
}

void ClipboardSection::rebuildList() {
    QList<ListRow> rows;
    for (int i = 0; i < m_items.size(); ++i) {
        ListRow row = ClipboardRow::describe(m_items.at(i), m_expanded == i);
        row.firstInGroup = i == 0;
        row.lastInGroup = i == m_items.size() - 1;
        rows << row;
    }
    m_model->setRows(std::move(rows));
    m_list->setShowsEmpty(m_items.isEmpty());
}

RecordListView* ClipboardSection::list() const {
    return m_list->view();
}

bool ClipboardSection::showsEmptyState() const {
    return m_list->showsEmpty();
}
