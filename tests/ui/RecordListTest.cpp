// The record list on its own: the row under the mouse is tinted and only
// it, and after a jump of the scroll bar the rows shown have their own
// heights before anything paints, so no frame shows them squashed.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>

#include "support/Screenshots.h"
#include "support/TestSupport.h"
#include "ui/RecordList.h"

namespace {

ListRow textRow(const QString& text, bool first, bool last) {
    ListRow row;
    ListPart label = ListPart::label(text);
    label.fill = true;
    label.maxLines = 0;
    row.lines << ListLine{{label}};
    row.clickAction = QStringLiteral("toggle");
    row.firstInGroup = first;
    row.lastInGroup = last;
    return row;
}

ListRow headerRow(const QString& title) {
    ListRow row;
    row.header = true;
    row.lines << ListLine{{ListPart::label(title), ListPart::stretch()}};
    return row;
}

QList<ListRow> rows(int count) {
    QList<ListRow> out{headerRow("Today")};
    for (int i = 0; i < count; ++i)
        out << textRow(QString("row %1").arg(i), i == 0, i == count - 1);
    return out;
}

struct ShownList {
    RecordListView view;
    ListRowsModel model;
    explicit ShownList(QList<ListRow> described) {
        view.setModel(&model);
        model.setRows(std::move(described));
        view.resize(400, 300);
        view.show();
        testsupport::processEvents();
    }
    // The colour of a row's card beside its text, where nothing else paints.
    QRgb cardColour(int row) {
        view.viewport()->repaint();
        const QImage image = view.viewport()->grab().toImage();
        const RowPlacement at = view.placement(row);
        const QPoint blank(at.card.right() - 6, at.card.center().y());
        return image.pixel(blank * image.devicePixelRatio());
    }
    void moveMouse(const QPoint& to) { QTest::mouseMove(view.viewport(), to); }
};

}  // namespace

TEST(RecordListHover, TheRowUnderTheMouseAloneIsTintedUntilTheMouseLeaves) {
    ShownList list(rows(5));
    const QRgb plain1 = list.cardColour(1);
    const QRgb plain2 = list.cardColour(2);
    EXPECT_EQ(plain1, plain2);

    list.moveMouse(list.view.placement(2).card.center());
    EXPECT_EQ(list.view.hoverRow(), 2);
    EXPECT_NE(list.cardColour(2), plain2);
    EXPECT_EQ(list.cardColour(1), plain1);
    testsupport::saveScreenshot(&list.view, "ui-record-list-hover");

    // A header is no row to act on: nothing is tinted over it.
    list.moveMouse(list.view.placement(0).card.center());
    EXPECT_EQ(list.view.hoverRow(), -1);
    EXPECT_EQ(list.cardColour(2), plain2);

    list.moveMouse(list.view.placement(3).card.center());
    EXPECT_EQ(list.view.hoverRow(), 3);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(list.view.viewport(), &leave);
    EXPECT_EQ(list.view.hoverRow(), -1);
    EXPECT_EQ(list.cardColour(3), plain2);
}

TEST(RecordListHover, ScrollingUnderAStillMouseMovesTheTintToTheRowNowThere) {
    ShownList list(rows(200));
    const QPoint at = list.view.placement(3).card.center();
    QCursor::setPos(list.view.viewport()->mapToGlobal(at));
    list.moveMouse(at);
    ASSERT_EQ(list.view.hoverRow(), 3);
    list.view.verticalScrollBar()->setValue(list.view.verticalScrollBar()->value() + 200);
    const QModelIndex now = list.view.indexAt(at);
    ASSERT_TRUE(now.isValid());
    EXPECT_GT(now.row(), 3);
    EXPECT_EQ(list.view.hoverRow(), now.row());
}

TEST(RecordListScroll, RowsShownRightAfterAJumpHaveTheirOwnHeightsAndDoNotOverlap) {
    // Rows of one to six lines, none measured when the list is filled.
    QList<ListRow> described{headerRow("Earlier")};
    for (int i = 0; i < 3000; ++i) {
        QStringList lines;
        for (int l = 0; l <= i % 6; ++l) lines << QString("row %1 line %2").arg(i).arg(l);
        described << textRow(lines.join('\n'), i == 0, i == 2999);
    }
    ShownList list(described);
    QScrollBar* bar = list.view.verticalScrollBar();
    for (int value : {bar->maximum() / 3, bar->maximum() / 2, bar->maximum() - 10, 40}) {
        bar->setValue(value);
        // No event processed: what a paint now would show.
        const int viewH = list.view.viewport()->height();
        int shown = 0;
        for (int r = list.view.indexAt(QPoint(40, 0)).row(); r >= 0; ++r) {
            const QRect rect = list.view.visualRect(list.model.index(r, 0));
            if (rect.top() >= viewH || r + 1 >= list.model.rowCount()) break;
            ++shown;
            SCOPED_TRACE(QString("row %1 after a jump to %2").arg(r).arg(value).toStdString());
            EXPECT_EQ(rect.height(), list.view.placement(r).height);
            EXPECT_EQ(rect.bottom() + 1, list.view.visualRect(list.model.index(r + 1, 0)).top());
        }
        EXPECT_GT(shown, 1);
    }
    EXPECT_LT(list.view.measuredRows(), 200);
}
