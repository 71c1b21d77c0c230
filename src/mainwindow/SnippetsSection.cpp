#include "mainwindow/SnippetsSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/ConfirmDeletion.h"
#include "mainwindow/EntryRows.h"
#include "mainwindow/SnippetTexts.h"
#include "records/TextExpansionService.h"
#include "ui/Colors.h"
#include "ui/EmptyState.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/RecordList.h"
#include "ui/SearchField.h"
#include "ui/SymbolLabel.h"
#include "ui/Texts.h"
#include "ui/Typography.h"

// One tab of the page's tab bar: symbol and title, and a 2-point accent bar
// under the selected one. A click selects it (also when it is selected).
class TabButton : public QWidget {
    Q_OBJECT
public:
    TabButton(const QString& symbol, QWidget* parent) : QWidget(parent), m_symbol(symbol) {
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        auto* row = new QHBoxLayout;
        row->setContentsMargins(Metrics::around(Metrics::textGap));
        row->setSpacing(Metrics::textGap);
        m_icon = new SymbolLabel(symbol, Typography::pixels(13), this);
        m_title = new QLabel(this);
        row->addWidget(m_icon);
        row->addWidget(m_title);
        v->addLayout(row);
        m_bar = new QWidget(this);
        m_bar->setFixedHeight(2);
        m_bar->setAutoFillBackground(true);
        v->addWidget(m_bar);
        setCursor(Qt::PointingHandCursor);
    }
    void setTitle(const QString& title) { Texts::set(m_title, title); }
    void setSelected(bool selected) {
        QFont f = Typography::systemFont(13);
        f.setWeight(selected ? QFont::DemiBold : QFont::Normal);
        m_title->setFont(f);
        const QColor c = selected ? Colors::accent(palette()) : Colors::secondary(palette());
        Labels::setTextColor(m_title, c);
        m_icon->setColor(c);
        QPalette p = m_bar->palette();
        p.setColor(QPalette::Window, selected ? Colors::accent(palette()) : Qt::transparent);
        m_bar->setPalette(p);
    }
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (rect().contains(e->position().toPoint())) emit clicked();
    }

private:
    QString m_symbol;
    SymbolLabel* m_icon;
    QLabel* m_title;
    QWidget* m_bar;
};

std::optional<SnippetItem> SnippetItem::fromRecord(const HistoryRecord& record) {
    const QVariant id = record.value(QStringLiteral("id"));
    const QVariant shortcut = record.value(QStringLiteral("shortcut"));
    const QVariant text = record.value(QStringLiteral("text"));
    if (id.typeId() != QMetaType::QUuid || shortcut.typeId() != QMetaType::QString ||
        text.typeId() != QMetaType::QString)
        return std::nullopt;
    return SnippetItem{id.toUuid(), shortcut.toString(), text.toString()};
}

QString SnippetsSheetRoute::id() const {
    switch (kind) {
        case Kind::editExpansion:
            return "edit-expansion-" + expansion.idString();
        case Kind::editSnippet:
            return "edit-snippet-" + TextExpansionItem::idString(snippet.id);
        case Kind::addExpansion:
            return QStringLiteral("add-expansion");
        case Kind::addSnippet:
            return QStringLiteral("add-snippet");
    }
    return {};
}

SnippetsSection::SnippetsSection(const MainWindowContext& context, QWidget* parent)
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

    auto* tabs = new QHBoxLayout;
    tabs->setContentsMargins(Metrics::listInset, 0, Metrics::listInset, 0);
    tabs->setSpacing(Metrics::tabGap);
    m_keyboardTab = new TabButton(QStringLiteral("keyboard"), this);
    m_voiceTab = new TabButton(QStringLiteral("mic"), this);
    tabs->addWidget(m_keyboardTab);
    tabs->addWidget(m_voiceTab);
    tabs->addStretch();
    layout->addLayout(tabs);
    layout->addWidget(Labels::divider(this));

    m_hint = Labels::create({}, TextStyle::Caption, this, true);
    m_hint->setObjectName(QStringLiteral("snippetsHint"));
    m_hint->setWordWrap(true);
    m_hint->setContentsMargins(Metrics::listInset, Metrics::rowInset, Metrics::listInset,
                               Metrics::textGap);
    layout->addWidget(m_hint);

    m_search = new SearchField(this);
    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(Metrics::listInset, 0, Metrics::listInset, Metrics::itemGap);
    searchRow->addWidget(m_search);
    layout->addLayout(searchRow);
    layout->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("keyboard"), this);
    m_empty = m_list->emptyState();
    m_model = new ListRowsModel(this);
    m_list->view()->setModel(m_model);
    layout->addWidget(m_list, 1);
    connect(m_list->view(), &RecordListView::triggered, this, &SnippetsSection::triggered);

    connect(m_add, &QPushButton::clicked, this, [this] {
        SnippetsSheetRoute route;
        route.kind = m_tab == SnippetsTab::voice ? SnippetsSheetRoute::Kind::addSnippet
                                                 : SnippetsSheetRoute::Kind::addExpansion;
        openSheet(route);
    });
    connect(m_keyboardTab, &TabButton::clicked, this, [this] { setTab(SnippetsTab::keyboard); });
    connect(m_voiceTab, &TabButton::clicked, this, [this] { setTab(SnippetsTab::voice); });
    connect(m_search, &SearchField::textChanged, this, [this] { rebuildList(); });
    // The keyboard list follows the service, whoever changes it.
    if (m_c.textExpansions)
        connect(m_c.textExpansions, &TextExpansionService::itemsChanged, this,
                [this] { rebuildList(); });
}

void SnippetsSection::appeared() {
    if (m_c.history) m_snippets = m_c.history->fetchSnippets();
    refresh();
}

void SnippetsSection::refresh() {
    Texts::set(m_title, SnippetTexts::snippets());
    Texts::set(m_add, SnippetTexts::add());
    m_keyboardTab->setTitle(SnippetTexts::keyboard());
    m_voiceTab->setTitle(SnippetTexts::voice());
    m_keyboardTab->setSelected(m_tab == SnippetsTab::keyboard);
    m_voiceTab->setSelected(m_tab == SnippetsTab::voice);
    QString hint =
        m_tab == SnippetsTab::keyboard ? SnippetTexts::keyboardHint() : SnippetTexts::voiceHint();
    // Typed shortcuts need the keys of other windows, which a Wayland
    // desktop keeps to itself.
    if (m_tab == SnippetsTab::keyboard && m_c.typedKeysHidden)
        hint += QLatin1Char('\n') + L10n::textExpansionWaylandNote();
    Texts::set(m_hint, hint);
    m_search->setPlaceholderText(SnippetTexts::searchSnippets());
    m_add->setAccessibleName(SnippetTexts::add());
    m_list->view()->setAccessibleName(SnippetTexts::snippets());
    rebuildList();
}

void SnippetsSection::setTab(SnippetsTab tab) {
    m_tab = tab;
    m_search->setText({});
    refresh();
}

QString SnippetsSection::searchText() const {
    return m_search->text();
}

void SnippetsSection::setSearchText(const QString& text) {
    m_search->setText(text);
}

QList<TextExpansionItem> SnippetsSection::filteredExpansions(const QList<TextExpansionItem>& items,
                                                             const QString& search) {
    if (search.isEmpty()) return items;
    QList<TextExpansionItem> out;
    for (const TextExpansionItem& i : items)
        if (EntryRows::contains(i.trigger, search) || EntryRows::contains(i.expandedText, search))
            out << i;
    return out;
}

QList<SnippetItem> SnippetsSection::filteredSnippets(const QList<HistoryRecord>& records,
                                                     const QString& search) {
    QList<SnippetItem> out;
    for (const HistoryRecord& r : records) {
        const std::optional<SnippetItem> item = SnippetItem::fromRecord(r);
        if (!item) continue;
        if (search.isEmpty() || EntryRows::contains(item->shortcut, search) ||
            EntryRows::contains(item->text, search))
            out << *item;
    }
    return out;
}

void SnippetsSection::rebuildList() {
    const QString search = m_search->text();
    QList<EntryRows::Row> described;
    m_shownExpansions.clear();
    m_shownSnippets.clear();
    if (m_tab == SnippetsTab::keyboard) {
        m_shownExpansions = filteredExpansions(
            m_c.textExpansions ? m_c.textExpansions->items() : QList<TextExpansionItem>{}, search);
        for (const TextExpansionItem& item : m_shownExpansions)
            described << EntryRows::Row{item.trigger, item.expandedText, true, true,
                                        true,         item.isEnabled};
        m_empty->setSymbol(QStringLiteral("keyboard"));
        m_empty->setTitle(search.isEmpty() ? SnippetTexts::noSnippetsYet()
                                           : SnippetTexts::nothingFound());
        m_empty->setHint(SnippetTexts::keyboardEmptyHint());
    } else {
        m_shownSnippets = filteredSnippets(m_snippets, search);
        for (const SnippetItem& item : m_shownSnippets)
            described << EntryRows::Row{item.shortcut, item.text, true, true, false, true};
        m_empty->setSymbol(QStringLiteral("mic"));
        m_empty->setTitle(search.isEmpty() ? SnippetTexts::noVoiceSnippetsYet()
                                           : SnippetTexts::nothingFound());
        m_empty->setHint(SnippetTexts::voiceEmptyHint());
    }
    QList<ListRow> rows;
    for (const EntryRows::Row& row : described) {
        ListRow r = EntryRows::describe(row);
        r.firstInGroup = rows.isEmpty();
        r.lastInGroup = rows.size() == described.size() - 1;
        rows << r;
    }
    m_model->setRows(std::move(rows));
    m_list->setShowsEmpty(described.isEmpty());
}

void SnippetsSection::triggered(int row, const QString& action) {
    SnippetsSheetRoute route;
    if (m_tab == SnippetsTab::keyboard) {
        if (row < 0 || row >= m_shownExpansions.size()) return;
        const TextExpansionItem item = m_shownExpansions.at(row);
        if (action == EntryRows::editAction) {
            route.kind = SnippetsSheetRoute::Kind::editExpansion;
            route.expansion = item;
            openSheet(route);
        } else if (action == EntryRows::deleteAction) {
            deleteExpansion(item.id);
        } else if (action == EntryRows::toggleAction) {
            setExpansionEnabled(item.id, !item.isEnabled);
        }
        return;
    }
    if (row < 0 || row >= m_shownSnippets.size()) return;
    const SnippetItem item = m_shownSnippets.at(row);
    if (action == EntryRows::editAction) {
        route.kind = SnippetsSheetRoute::Kind::editSnippet;
        route.snippet = item;
        openSheet(route);
    } else if (action == EntryRows::deleteAction) {
        deleteSnippet(item.id);
    }
}

RecordListView* SnippetsSection::rows() const {
    return m_list->view();
}

TriggerTextSheet::Arguments SnippetsSection::sheetArguments(const SnippetsSheetRoute& route) {
    using Kind = SnippetsSheetRoute::Kind;
    TriggerTextSheet::Arguments a;
    const bool editing = route.kind == Kind::editExpansion || route.kind == Kind::editSnippet;
    a.title = editing ? SnippetTexts::editSnippet() : SnippetTexts::addSnippet();
    a.isEditing = editing;
    QPointer<SnippetsSection> self(this);
    switch (route.kind) {
        case Kind::editExpansion: {
            a.trigger = route.expansion.trigger;
            a.text = route.expansion.expandedText;
            a.supportsWindowsVariant = true;
            a.textWindows = route.expansion.expandedTextWindows.value_or(QString());
            a.onSave = [](const QString&, const QString&) {};
            const QUuid id = route.expansion.id;
            a.onSaveWithWindows = [self, id](const QString& t, const QString& x,
                                             const std::optional<QString>& w) {
                if (!self || !self->m_c.textExpansions) return;
                self->m_c.textExpansions->updateItem(id, t, x, w);
                self->pushKeyboard();
            };
            break;
        }
        case Kind::addExpansion:
            a.supportsWindowsVariant = true;
            a.onSave = [](const QString&, const QString&) {};
            a.onSaveWithWindows = [self](const QString& t, const QString& x,
                                         const std::optional<QString>& w) {
                if (!self || !self->m_c.textExpansions) return;
                self->m_c.textExpansions->addItem(t, x, w);
                self->pushKeyboard();
            };
            break;
        case Kind::editSnippet: {
            a.trigger = route.snippet.shortcut;
            a.text = route.snippet.text;
            const QUuid id = route.snippet.id;
            a.onSave = [self, id](const QString& t, const QString& x) {
                if (!self || !self->m_c.history) return;
                self->m_c.history->updateSnippet(id, t, x);
                self->m_snippets = self->m_c.history->fetchSnippets();
                self->pushVoice();
            };
            break;
        }
        case Kind::addSnippet:
            a.onSave = [self](const QString& t, const QString& x) {
                if (!self || !self->m_c.history) return;
                self->m_c.history->saveSnippet(t, x);
                self->m_snippets = self->m_c.history->fetchSnippets();
                self->pushVoice();
            };
            break;
    }
    return a;
}

void SnippetsSection::openSheet(const SnippetsSheetRoute& route) {
    if (m_sheet) m_sheet->close();
    m_sheet = new TriggerTextSheet(sheetArguments(route), this);
    m_sheet->setObjectName(route.id());
    m_sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet->open();
}

void SnippetsSection::deleteExpansion(const QUuid& id) {
    if (!confirmDeletion(SnippetTexts::deleteTextExpansion())) return;
    if (!m_c.textExpansions) return;
    m_c.textExpansions->deleteItem(id);
    pushKeyboard();
}

void SnippetsSection::deleteSnippet(const QUuid& id) {
    if (!confirmDeletion(SnippetTexts::deleteSnippet())) return;
    if (!m_c.history) return;
    m_c.history->deleteSnippet(id);
    m_snippets = m_c.history->fetchSnippets();
    pushVoice();
}

void SnippetsSection::setExpansionEnabled(const QUuid& id, bool enabled) {
    if (!m_c.textExpansions) return;
    QList<TextExpansionItem> items = m_c.textExpansions->items();
    auto it = std::find_if(items.begin(), items.end(),
                           [&](const TextExpansionItem& i) { return i.id == id; });
    if (it == items.end()) return;
    it->isEnabled = enabled;
    m_c.textExpansions->setItems(items);
    m_c.textExpansions->saveToFile();
    pushKeyboard();
}

void SnippetsSection::pushKeyboard() {
    if (m_c.pushTextExpansions) m_c.pushTextExpansions();
}

void SnippetsSection::pushVoice() {
    if (m_c.pushSnippets) m_c.pushSnippets();
}

#include "SnippetsSection.moc"
