#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QUuid>
#include <functional>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "records/HistoryService.h"
#include "ui/Page.h"

class EmptyState;
class QLabel;
class QLineEdit;
class QPushButton;
class ListRowsModel;
class RecordList;
class RecordListView;
class SearchField;

// One dictionary entry as the page shows it.
struct DictEntry {
    QUuid id;
    QString trigger;
    QString replacement;
    static std::optional<DictEntry> fromRecord(const HistoryRecord& record);
};

// The add/edit sheet of a dictionary entry.
class DictEntrySheet : public QDialog {
    Q_OBJECT
public:
    // `editing`: the entry edited; none when adding.
    DictEntrySheet(std::optional<DictEntry> editing,
                   std::function<void(const QString& trigger, const QString& replacement)> onSave,
                   QWidget* parent);
    // A trigger of white space only would match every space of every
    // dictation: it must hold something besides spaces. Values are stored
    // as typed.
    bool canSave() const;
    void save();
    QLineEdit* triggerField() const { return m_trigger; }
    QLineEdit* replacementField() const { return m_replacement; }
    QPushButton* confirmButton() const { return m_confirm; }

private:
    std::function<void(const QString&, const QString&)> m_onSave;
    QLineEdit* m_trigger;
    QLineEdit* m_replacement;
    QPushButton* m_confirm;
    bool m_saved = false;
};

// The Dictionary page: the words a dictation replaces, searched, added,
// edited and deleted; every change pushes the whole dictionary.
class DictionarySection : public Page {
    Q_OBJECT
public:
    DictionarySection(const MainWindowContext& context, QWidget* parent = nullptr);

    void appeared() override;
    void refresh() override;

    void setSearchText(const QString& text);
    void openAddSheet();
    void openEditSheet(const DictEntry& entry);
    void deleteEntry(const QUuid& id);
    DictEntrySheet* activeSheet() const { return m_sheet; }

    static QList<DictEntry> filteredEntries(const QList<HistoryRecord>& records,
                                            const QString& search);
    // The list and the entries its rows show, in order.
    RecordListView* rows() const;
    const QList<DictEntry>& shownEntries() const { return m_shown; }
    EmptyState* emptyState() const { return m_empty; }

private:
    void rebuildList();
    void changed();
    void triggered(int row, const QString& action);

    MainWindowContext m_c;
    QList<HistoryRecord> m_entries;
    QPointer<DictEntrySheet> m_sheet;
    QLabel* m_title;
    QPushButton* m_add;
    SearchField* m_search;
    QList<DictEntry> m_shown;
    RecordList* m_list;
    ListRowsModel* m_model;
    EmptyState* m_empty;
};
