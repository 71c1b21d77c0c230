#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QUuid>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/TranscriptionRow.h"
#include "records/HistoryService.h"
#include "ui/Page.h"

class Card;
class EmptyState;
class FailedTranscriptionRow;
class QLabel;
class QPushButton;
class QScrollArea;
class RecordList;
class SearchField;

// The dictations of one day class ("Today", "Yesterday", "Earlier").
struct TranscriptionGroup {
    QString key;
    QList<TranscriptionItem> items;
};

// The History page: the failed recordings with Retry and Delete, then the
// dictations grouped by day, newest first, with a search over all of them.
// Without a search it lists the newest 200. Rows are made as the list is
// scrolled, so a search that matches many records stays quick to show.
class HistorySection : public Page {
    Q_OBJECT
public:
    static constexpr int pageLimit = 200;
    // Rows made at a time: enough to fill the window, then as many again
    // each time the list is scrolled near its end.
    static constexpr int rowBatch = 50;

    HistorySection(const MainWindowContext& context, QWidget* parent = nullptr);

    void appeared() override;
    void refresh() override;

    // Reloads the records: the search's matches, or the newest 200.
    void loadData();
    void setSearchText(const QString& text);
    QString searchText() const;
    // The header's Clear All: the whole history, whatever the search shows.
    void clearAll();
    void deleteTranscription(const QUuid& id);
    void toggle(const QUuid& id);
    void copy(const QString& text);

    // The records that hold every key a row needs, in their order.
    static QList<TranscriptionItem> filteredTranscriptions(const QList<HistoryRecord>& records);
    // Today, Yesterday, Earlier (local days of `now`), each only when it
    // has items; the items keep their order.
    static QList<TranscriptionGroup> groupedTranscriptions(const QList<TranscriptionItem>& items,
                                                           const QDateTime& now);

    // What the page shows, for tests.
    const QList<HistoryRecord>& transcriptions() const { return m_transcriptions; }
    const QList<TranscriptionItem>& items() const { return m_items; }
    QStringList groupTitles() const;
    QList<TranscriptionRow*> rows() const;
    QList<FailedTranscriptionRow*> failedRows() const;
    std::optional<QUuid> expandedId() const { return m_expanded; }
    bool showsEmptyState() const;
    EmptyState* emptyState() const { return m_empty; }
    SearchField* searchField() const { return m_search; }
    QPushButton* clearAllButton() const { return m_clearAll; }
    // Null while the failed group is hidden or has a single entry.
    QPushButton* failedClearAllButton() const { return m_failedClearAll; }
    QScrollArea* scrollArea() const { return m_scroll; }

private:
    QDateTime now() const;
    void rebuildList();
    void addFailedGroup();
    // Makes up to `count` further dictation rows.
    void appendRows(int count);
    void maybeAppendRows();
    Card* addCard(const QString& title, QWidget* trailing);

    MainWindowContext m_c;
    QList<HistoryRecord> m_transcriptions;
    QList<TranscriptionItem> m_items;
    QList<TranscriptionGroup> m_groups;
    std::optional<QUuid> m_expanded;
    // Where appendRows() goes on: group, item within it, the group's card.
    int m_groupCursor = 0;
    int m_itemCursor = 0;
    Card* m_currentCard = nullptr;
    QHash<QUuid, TranscriptionRow*> m_rowsById;

    QLabel* m_title;
    QPushButton* m_clearAll;
    SearchField* m_search;
    RecordList* m_list;
    QScrollArea* m_scroll;
    EmptyState* m_empty;
    QPushButton* m_failedClearAll = nullptr;
};
