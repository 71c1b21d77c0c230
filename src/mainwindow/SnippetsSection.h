#pragma once

#include <QList>
#include <QPointer>
#include <QUuid>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/TriggerTextSheet.h"
#include "records/HistoryService.h"
#include "records/TextExpansionItem.h"
#include "ui/Page.h"

class EmptyState;
class QLabel;
class QPushButton;
class ListRowsModel;
class RecordList;
class RecordListView;
class SearchField;
class TabButton;

enum class SnippetsTab { keyboard, voice };

// One voice snippet as the page shows it.
struct SnippetItem {
    QUuid id;
    QString shortcut;
    QString text;
    // Nothing for a record without a UUID "id" or string "shortcut"/"text".
    static std::optional<SnippetItem> fromRecord(const HistoryRecord& record);
};

// Which sheet is open, with what.
struct SnippetsSheetRoute {
    enum class Kind { editExpansion, editSnippet, addExpansion, addSnippet };
    Kind kind = Kind::addExpansion;
    TextExpansionItem expansion;  // editExpansion
    SnippetItem snippet;          // editSnippet
    QString id() const;
};

// The Snippets page: keyboard snippets (typed triggers, expanded in any
// application) and voice snippets (code words replaced in dictations), one
// tab each, with a shared search and the trigger-and-text sheet.
class SnippetsSection : public Page {
    Q_OBJECT
public:
    SnippetsSection(const MainWindowContext& context, QWidget* parent = nullptr);

    void appeared() override;
    void refresh() override;

    SnippetsTab tab() const { return m_tab; }
    void setTab(SnippetsTab tab);  // also empties the search, as a tap on a tab does
    QString searchText() const;
    void setSearchText(const QString& text);

    // Opens the sheet of a route (the page's buttons call this).
    void openSheet(const SnippetsSheetRoute& route);
    TriggerTextSheet* activeSheet() const { return m_sheet; }
    // The sheet's arguments for a route, callbacks included.
    TriggerTextSheet::Arguments sheetArguments(const SnippetsSheetRoute& route);

    // Asks, then deletes.
    void deleteExpansion(const QUuid& id);
    void deleteSnippet(const QUuid& id);
    void setExpansionEnabled(const QUuid& id, bool enabled);

    static QList<TextExpansionItem> filteredExpansions(const QList<TextExpansionItem>& items,
                                                       const QString& search);
    static QList<SnippetItem> filteredSnippets(const QList<HistoryRecord>& records,
                                               const QString& search);

    // The list (tests).
    RecordListView* rows() const;
    EmptyState* emptyState() const { return m_empty; }

private:
    void rebuildList();
    void triggered(int row, const QString& action);
    void pushKeyboard();
    void pushVoice();

    MainWindowContext m_c;
    SnippetsTab m_tab = SnippetsTab::keyboard;
    QList<HistoryRecord> m_snippets;
    QPointer<TriggerTextSheet> m_sheet;

    QLabel* m_title;
    QPushButton* m_add;
    TabButton* m_keyboardTab;
    TabButton* m_voiceTab;
    QLabel* m_hint;
    SearchField* m_search;
    // What the rows show, in order (one of the two, by tab).
    QList<TextExpansionItem> m_shownExpansions;
    QList<SnippetItem> m_shownSnippets;
    RecordList* m_list;
    ListRowsModel* m_model;
    EmptyState* m_empty;
};
