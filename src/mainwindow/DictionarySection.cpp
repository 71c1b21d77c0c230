#include "mainwindow/DictionarySection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mainwindow/ConfirmDeletion.h"
#include "mainwindow/EntryRows.h"
#include "mainwindow/SnippetTexts.h"
#include "ui/EmptyState.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/RecordList.h"
#include "ui/SearchField.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

std::optional<DictEntry> DictEntry::fromRecord(const HistoryRecord& record) {
    const QVariant id = record.value(QStringLiteral("id"));
    const QVariant trigger = record.value(QStringLiteral("trigger"));
    const QVariant replacement = record.value(QStringLiteral("replacement"));
    if (id.typeId() != QMetaType::QUuid || trigger.typeId() != QMetaType::QString ||
        replacement.typeId() != QMetaType::QString)
        return std::nullopt;
    return DictEntry{id.toUuid(), trigger.toString(), replacement.toString()};
}

DictEntrySheet::DictEntrySheet(std::optional<DictEntry> editing,
                               std::function<void(const QString&, const QString&)> onSave,
                               QWidget* parent)
    : QDialog(parent), m_onSave(std::move(onSave)) {
    setWindowModality(Qt::WindowModal);
    setFixedWidth(Typography::pixels(350));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(Metrics::sectionGap);
    layout->setContentsMargins(Metrics::around(Metrics::pageMargin));
    const QString title = editing ? SnippetTexts::editEntry() : SnippetTexts::addEntry();
    setWindowTitle(title);
    layout->addWidget(Labels::create(title, TextStyle::Headline, this));
    m_trigger = new QLineEdit(this);
    m_trigger->setPlaceholderText(SnippetTexts::triggerWord());
    m_replacement = new QLineEdit(this);
    m_replacement->setPlaceholderText(SnippetTexts::replacement());
    layout->addWidget(m_trigger);
    layout->addWidget(m_replacement);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(SnippetTexts::cancel(), this);
    cancel->setAutoDefault(false);
    m_confirm = new QPushButton(editing ? SnippetTexts::save() : SnippetTexts::add(), this);
    m_confirm->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_confirm, &QPushButton::clicked, this, &DictEntrySheet::save);
    auto update = [this] { m_confirm->setEnabled(canSave()); };
    connect(m_trigger, &QLineEdit::textChanged, this, update);
    connect(m_replacement, &QLineEdit::textChanged, this, update);
    if (editing) {
        m_trigger->setText(editing->trigger);
        m_replacement->setText(editing->replacement);
    }
    update();
}

bool DictEntrySheet::canSave() const {
    return !m_trigger->text().trimmed().isEmpty() && !m_replacement->text().isEmpty();
}

void DictEntrySheet::save() {
    if (m_saved || !canSave()) return;
    m_saved = true;
    if (m_onSave) m_onSave(m_trigger->text(), m_replacement->text());
    accept();
}

DictionarySection::DictionarySection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(Metrics::listInset, Metrics::sectionGap, Metrics::listInset,
                               Metrics::sectionGap);
    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, this);
    m_add = new QPushButton(this);
    m_add->setIcon(Icons::icon(QStringLiteral("plus"), palette().color(QPalette::ButtonText)));
    m_add->setDefault(true);
    header->addWidget(m_title);
    header->addStretch();
    header->addWidget(m_add);
    layout->addLayout(header);

    m_search = new SearchField(this);
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(Metrics::listInset, 0, Metrics::listInset, Metrics::itemGap);
    searchRow->addWidget(m_search);
    layout->addLayout(searchRow);
    layout->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("book.closed"), this);
    m_empty = m_list->emptyState();
    m_model = new ListRowsModel(this);
    m_list->view()->setModel(m_model);
    layout->addWidget(m_list, 1);
    connect(m_list->view(), &RecordListView::triggered, this, &DictionarySection::triggered);

    connect(m_add, &QPushButton::clicked, this, &DictionarySection::openAddSheet);
    connect(m_search, &SearchField::textChanged, this, [this] { rebuildList(); });
}

void DictionarySection::appeared() {
    if (m_c.history) m_entries = m_c.history->fetchDictionary();
    refresh();
}

void DictionarySection::refresh() {
    Texts::set(m_title, SnippetTexts::dictionary());
    Texts::set(m_add, SnippetTexts::addEntry());
    m_search->setPlaceholderText(SnippetTexts::searchDictionary());
    m_empty->setTitle(SnippetTexts::dictionaryEmpty());
    m_empty->setHint(SnippetTexts::dictionaryEmptyHint());
    m_add->setAccessibleName(SnippetTexts::addEntry());
    m_list->view()->setAccessibleName(SnippetTexts::dictionary());
    rebuildList();
}

void DictionarySection::setSearchText(const QString& text) {
    m_search->setText(text);
}

QList<DictEntry> DictionarySection::filteredEntries(const QList<HistoryRecord>& records,
                                                    const QString& search) {
    QList<DictEntry> out;
    for (const HistoryRecord& r : records) {
        const std::optional<DictEntry> e = DictEntry::fromRecord(r);
        if (!e) continue;
        if (search.isEmpty() || EntryRows::contains(e->trigger, search) ||
            EntryRows::contains(e->replacement, search))
            out << *e;
    }
    return out;
}

void DictionarySection::rebuildList() {
    m_shown = filteredEntries(m_entries, m_search->text());
    QList<ListRow> rows;
    for (const DictEntry& e : m_shown) {
        EntryRows::Row row;
        row.trigger = e.trigger;
        row.text = e.replacement;
        ListRow described = EntryRows::describe(row);
        described.firstInGroup = rows.isEmpty();
        described.lastInGroup = rows.size() == m_shown.size() - 1;
        rows << described;
    }
    m_model->setRows(std::move(rows));
    m_list->setShowsEmpty(m_shown.isEmpty());
}

void DictionarySection::triggered(int row, const QString& action) {
    if (row < 0 || row >= m_shown.size()) return;
    const DictEntry entry = m_shown.at(row);
    if (action == EntryRows::editAction)
        openEditSheet(entry);
    else if (action == EntryRows::deleteAction)
        deleteEntry(entry.id);
}

RecordListView* DictionarySection::rows() const {
    return m_list->view();
}

void DictionarySection::openAddSheet() {
    if (m_sheet) m_sheet->close();
    QPointer<DictionarySection> self(this);
    m_sheet = new DictEntrySheet(
        std::nullopt,
        [self](const QString& t, const QString& r) {
            if (!self || !self->m_c.history) return;
            self->m_c.history->saveDictionaryEntry(t, r);
            self->changed();
        },
        this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet->open();
}

void DictionarySection::openEditSheet(const DictEntry& entry) {
    if (m_sheet) m_sheet->close();
    QPointer<DictionarySection> self(this);
    const QUuid id = entry.id;
    m_sheet = new DictEntrySheet(
        entry,
        [self, id](const QString& t, const QString& r) {
            if (!self || !self->m_c.history) return;
            self->m_c.history->updateDictionaryEntry(id, t, r);
            self->changed();
        },
        this);
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet->open();
}

void DictionarySection::deleteEntry(const QUuid& id) {
    if (!confirmDeletion(SnippetTexts::deleteDictionaryEntry())) return;
    if (!m_c.history) return;
    m_c.history->deleteDictionaryEntry(id);
    changed();
}

void DictionarySection::changed() {
    m_entries = m_c.history->fetchDictionary();
    rebuildList();
    if (m_c.pushDictionary) m_c.pushDictionary();
}
