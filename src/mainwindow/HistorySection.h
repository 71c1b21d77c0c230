#pragma once

#include <QDateTime>
#include <QList>
#include <QUuid>
#include <functional>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "mainwindow/TranscriptionRow.h"
#include "records/FailedTranscription.h"
#include "records/HistoryService.h"
#include "ui/Page.h"
#include "ui/RecordList.h"

class EmptyState;
class QLabel;
class QPushButton;
class SearchField;

// The dictations of one day class ("Today", "Yesterday", "Earlier").
struct TranscriptionGroup {
    QString key;
    QList<TranscriptionItem> items;
};

// The rows of the History list: the failed group (its header, then one row
// per queue entry), then each day group (its header, then its dictations).
// Rows are described when shown, so a list of every match stays cheap.
class HistoryListModel : public RecordListModel {
    Q_OBJECT
public:
    struct Entry {
        enum class Kind { failedHeader, failed, dayHeader, item } kind;
        int group = 0;  // day groups
        int index = 0;  // within the failed entries or the group
    };
    explicit HistoryListModel(QObject* parent = nullptr);

    // Gives back the groups it showed before.
    QList<TranscriptionGroup> setContent(QList<FailedTranscription> failed,
                                         QList<TranscriptionGroup> groups);
    void setFailed(QList<FailedTranscription> failed);
    // The same list with more matches after those shown: the rows shown
    // stay (with their place in the view); anything else is a reset.
    void extend(QList<TranscriptionGroup> groups);
    // The expanded dictation; only its row and the one before change.
    void setExpanded(std::optional<QUuid> id);
    // Whether a failed entry's retry is running (the queue knows).
    void setRetrying(std::function<bool(const QString& id)> isRetrying);
    // The failed rows show the queue's retrying state again.
    void retryingChanged();

    int rowCount(const QModelIndex& parent = {}) const override;
    ListRow rowAt(int row) const override;
    bool isHeader(int row) const override;
    Entry entry(int row) const;
    const TranscriptionItem& item(int row) const;
    const FailedTranscription& failed(int row) const;
    // The row of a dictation, or -1.
    int rowOf(const QUuid& id) const;
    int rowOfFailed(const QString& id) const;
    QStringList groupTitles() const;
    int failedCount() const { return int(m_failed.size()); }

private:
    int failedRows() const { return m_failed.isEmpty() ? 0 : int(m_failed.size()) + 1; }
    void rowChanged(int row);

    QList<FailedTranscription> m_failed;
    QList<TranscriptionGroup> m_groups;
    QList<int> m_groupStart;  // each group's header row
    int m_rows = 0;
    std::optional<QUuid> m_expanded;
    std::function<bool(const QString&)> m_isRetrying;
};

// The History page: the failed recordings with Retry and Delete, then the
// dictations grouped by day, newest first, with a search over all of them.
// Without a search it lists the newest 200. A search runs on a worker and
// its answer is shown when it comes back, unless a newer keystroke has
// made it stale; the list paints only the rows it shows, so every match
// stays reachable by scrolling.
class HistorySection : public Page {
    Q_OBJECT
public:
    static constexpr int pageLimit = 200;

    HistorySection(const MainWindowContext& context, QWidget* parent = nullptr);

    void appeared() override;
    void refresh() override;

    // Reloads the records: the search's matches (on a worker), or the
    // newest 200 at once.
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
    // has items; the items keep their order. `titles` are the three keys.
    static QList<TranscriptionGroup> groupedTranscriptions(const QList<TranscriptionItem>& items,
                                                           const QDateTime& now);
    static QList<TranscriptionGroup> groupedTranscriptions(const QList<TranscriptionItem>& items,
                                                           const QDateTime& now,
                                                           const QStringList& titles);

    // What a load gives the page (made on the worker for a search).
    struct Loaded {
        int raw = 0;
        QList<TranscriptionItem> items;
        QList<TranscriptionGroup> groups;
    };
    // The search a worker runs (a limit of 0: every match); tests put
    // their own in its place.
    using Search = std::function<QList<HistoryRecord>(const QString& query, int limit)>;
    void setSearch(Search search) { m_searchOverride = std::move(search); }
    // A search first answers with the newest matches that fill the window,
    // then with every match.
    static constexpr int firstAnswer = 60;
    // A search is on its way (its whole answer not shown yet).
    bool isSearching() const { return m_shownLoad != m_loadSeq; }
    // The current search shows at least its first answer.
    bool hasAnswer() const { return m_partLoad == m_loadSeq || m_shownLoad == m_loadSeq; }

    // What the page shows, for tests.
    const QList<TranscriptionItem>& items() const { return m_items; }
    int rawCount() const { return m_raw; }
    QStringList groupTitles() const { return m_model->groupTitles(); }
    std::optional<QUuid> expandedId() const { return m_expanded; }
    bool showsEmptyState() const;
    EmptyState* emptyState() const;
    SearchField* searchField() const { return m_search; }
    QPushButton* clearAllButton() const { return m_clearAll; }
    RecordListView* list() const { return m_list->view(); }
    HistoryListModel* model() const { return m_model; }

private:
    QDateTime now() const;
    void apply(Loaded loaded, int seq, bool whole);
    void queueChanged();
    void updateEmpty();
    void triggered(int row, const QString& action);

    MainWindowContext m_c;
    int m_raw = 0;
    QList<TranscriptionItem> m_items;
    std::optional<QUuid> m_expanded;
    Search m_searchOverride;
    int m_loadSeq = 0;
    int m_shownLoad = 0;
    int m_partLoad = 0;

    QLabel* m_title;
    QPushButton* m_clearAll;
    SearchField* m_search;
    RecordList* m_list;
    HistoryListModel* m_model;
};
