#pragma once

#include <QList>
#include <optional>

#include "mainwindow/MainWindowContext.h"
#include "platform/Clock.h"
#include "records/ClipboardHistoryService.h"
#include "ui/Page.h"

class QLabel;
class QPushButton;
class RecordList;

// One clipboard entry: its date, a Copy button and the text (two lines
// until the row is clicked, then all of it; the text can be selected).
class ClipboardRow : public QWidget {
    Q_OBJECT
public:
    ClipboardRow(const ClipboardHistoryService::ClipboardItem& item, bool isExpanded,
                 std::function<void()> onToggle, std::function<void()> onCopy,
                 QWidget* parent = nullptr);
    bool isExpanded() const { return m_expanded; }
    QLabel* dateLabel() const { return m_date; }
    QLabel* textLabel() const { return m_text; }
    QPushButton* copyButton() const { return m_copy; }
    void click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_expanded;
    std::function<void()> m_onToggle;
    QLabel* m_date;
    QLabel* m_text;
    QPushButton* m_copy;
};

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
    QList<ClipboardRow*> rows() const;
    bool showsEmptyState() const;
    bool isRefreshing() const { return m_timer && m_timer->isActive(); }

private:
    void rebuildList();

    MainWindowContext m_c;
    QList<ClipboardHistoryService::ClipboardItem> m_items;
    std::optional<int> m_expanded;
    ClockTimerPtr m_timer;

    QLabel* m_title;
    QLabel* m_subtitle;
    RecordList* m_list;
};
