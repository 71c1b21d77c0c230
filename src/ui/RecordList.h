#pragma once

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QHash>
#include <QPixmap>
#include <QStackedWidget>
#include <QTimer>
#include <QVector>

#include "ui/ListRow.h"

class EmptyState;

// The list every record page shows (History, Clipboard, Dictionary,
// Snippets, Files): rows are described by a model, painted by a delegate
// and scrolled by a view that measures only the rows it shows, so a list
// of 100,000 rows opens, scrolls and changes one row as quickly as a short
// one.

// A model of described rows. Subclasses say what row `row` shows.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    virtual ListRow rowAt(int row) const = 0;
    // Whether a row is a group header (without describing it).
    virtual bool isHeader(int row) const { return rowAt(row).header; }
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
};

// A model holding its rows: for the short lists.
class ListRowsModel : public RecordListModel {
    Q_OBJECT
public:
    using RecordListModel::RecordListModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    ListRow rowAt(int row) const override { return m_rows.value(row); }
    bool isHeader(int row) const override { return m_rows.value(row).header; }
    // Replaces the rows: a reset when their number changed, else a change
    // of every row (the view keeps its place).
    void setRows(QList<ListRow> rows);
    // Replaces one row: only it is measured and painted again.
    void setRow(int row, ListRow described);

private:
    QList<ListRow> m_rows;
};

// Paints and measures described rows.
class RecordListDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Paints a row already placed; the spinner's bright spoke is `spoke`.
    void paintRow(QPainter* painter, const QStyleOptionViewItem& option, const ListRow& row,
                  const RowPlacement& placed, int spoke) const;

private:
    QPixmap symbol(const QString& name, int size, const QColor& color, qreal dpr) const;
    mutable QHash<QString, QPixmap> m_symbols;
};

// The view: pixel scrolling over rows of their own heights. A row's height
// is measured when it is first shown (and again when it changes or the
// width does); rows not yet shown count with the average height so far, so
// the scroll bar spans every row from the start.
class RecordListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit RecordListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    void doItemsLayout() override;

    // The row's placement in viewport coordinates (measuring it first).
    RowPlacement placement(int row);
    // Where a part of a row with `action` sits, in viewport coordinates;
    // empty when the row has no such part.
    QRect actionRect(int row, const QString& action);
    // Triggers a row's action as a click on it would.
    void trigger(int row, const QString& action);
    // Rows measured so far (tests: a list measures what it shows).
    int measuredRows() const;
    // The keyboard menu of the current row: its actions by name.
    QStringList menuActions(int row) const;
    // The row under the mouse, tinted (-1: none; never a header).
    int hoverRow() const { return m_hoverRow; }

signals:
    // A click (or the keyboard) on a row's part with `action`, or on the
    // row itself for its click action.
    void triggered(int row, const QString& action);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = {}) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    RecordListModel* rows() const;
    void rebuild();
    void buildTree();
    int rowCount() const { return int(m_heights.size()); }
    int rowTop(int row) const;
    int rowAtY(int y) const;
    int totalHeight() const;
    void setHeight(int row, int height);
    int estimate() const;
    // Measures the rows that the viewport shows from `offset`, keeping the
    // first of them where it is.
    void measureShown();
    bool measureShownOnce();
    void measureAhead();
    void measure(int row);
    QRect rowRect(int row) const;
    QStyleOptionViewItem optionFor(int row) const;
    void showMenu(int row, const QPoint& globalPos);
    void setHoverRow(int row);
    void hoverAt(const QPoint& point);
    // A row described and placed for the width (cached while it is near
    // the view), and that placement where the row is now.
    struct Placed {
        ListRow row;
        RowPlacement at;
    };
    const Placed& placed(int row);
    RowPlacement placedAt(int row);

    RecordListDelegate* m_delegate;
    // Heights, whether each was measured, and a Fenwick tree of them.
    QVector<int> m_heights;
    QVector<char> m_measured;
    QVector<qint64> m_tree;
    qint64 m_measuredSum = 0;
    int m_measuredCount = 0;
    int m_width = -1;
    int m_pressedRow = -1;
    int m_hoverRow = -1;
    QString m_pressedAction;
    QHash<int, Placed> m_placed;
    QTimer m_settle;
    QTimer m_ahead;
    QTimer m_spin;
    QElapsedTimer m_spinClock;
    bool m_measuring = false;
};

// A record list with its empty state in its place while it has no rows.
class RecordList : public QStackedWidget {
    Q_OBJECT
public:
    explicit RecordList(const QString& emptySymbol, QWidget* parent = nullptr);
    RecordListView* view() const { return m_view; }
    EmptyState* emptyState() const { return m_empty; }
    void setShowsEmpty(bool empty);
    bool showsEmpty() const;

private:
    RecordListView* m_view;
    EmptyState* m_empty;
};
