#pragma once

#include <QList>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "platform/Clock.h"
#include "records/ClipboardHistoryService.h"
#include "ui/Page.h"

class QLabel;
class RecordList;
class RecordListView;
class ListRowsModel;
struct ListRow;

// One clipboard entry: its date, a Copy button and the text (two lines
// until the row is clicked, then all of it).
namespace ClipboardRow {
inline const QString copyAction = QStringLiteral("copy");
inline const QString toggleAction = QStringLiteral("toggle");
ListRow describe(const ClipboardHistoryService::ClipboardItem& item, bool isExpanded);
}  // namespace ClipboardRow

// The Clipboard page: the texts the user copied (not the dictation
// results), newest first, re-read every 2 s while the page is shown.
class ClipboardSection : public Page {
    Q_OBJECT
public:
    static constexpr double refreshInterval = 2.0;  // seconds

    ClipboardSection(const MainWindowContext& context, QWidget* parent = nullptr);
    ~ClipboardSection() override;

    void appeared() override;
    void disappeared() override;
    void refresh() override;

    // Re-reads the history; the expanded position stays where it is.
    void reload();
    void toggle(int index);
    void copy(int index);

    // The entries a page shows: the history without the dictation results.
    static QList<ClipboardHistoryService::ClipboardItem> userCopies(
        const QList<ClipboardHistoryService::ClipboardItem>& history);
    // "dd.MM.yyyy HH:mm", whatever the interface language.
    static QString formatDate(const QDateTime& when);

    const QList<ClipboardHistoryService::ClipboardItem>& items() const { return m_items; }
    std::optional<int> expandedIndex() const { return m_expanded; }
    RecordListView* list() const;
    bool showsEmptyState() const;
    bool isRefreshing() const { return m_timer && m_timer->isActive(); }

private:
    void rebuildList();
    void triggered(int row, const QString& action);

    MainWindowContext m_c;
    QList<ClipboardHistoryService::ClipboardItem> m_items;
    std::optional<int> m_expanded;
    ClockTimerPtr m_timer;

    QLabel* m_title;
    QLabel* m_subtitle;
    RecordList* m_list;
    ListRowsModel* m_model;
};
