#pragma once

// Drives a record list as a user does: clicks on a row's buttons or on the
// row itself with the mouse, and reads what its rows show.
#include <QStringList>
#include <QTest>

#include "ui/RecordList.h"

namespace listprobe {

inline ListRow row(RecordListView* view, int r) {
    return qobject_cast<RecordListModel*>(view->model())->rowAt(r);
}

// Every text of a row (labels, captions and button titles), in order.
inline QStringList texts(const ListRow& row) {
    QStringList out;
    for (const ListLine& line : row.lines)
        for (const ListPart& part : line.parts)
            if (!part.text.isEmpty()) out << part.text;
    return out;
}

// The row's part with `action`, if any.
inline const ListPart* part(const ListRow& row, const QString& action) {
    for (const ListPart* p : row.actions())
        if (p->action == action) return p;
    return nullptr;
}

inline bool hasPart(const ListRow& row, ListPart::Kind kind) {
    for (const ListLine& line : row.lines)
        for (const ListPart& part : line.parts)
            if (part.kind == kind) return true;
    return false;
}

// A click with the mouse on the row's part with `action`; false when the
// row has none.
inline bool clickAction(RecordListView* view, int r, const QString& action) {
    view->scrollTo(view->model()->index(r, 0));
    const QRect rect = view->actionRect(r, action);
    if (rect.isEmpty()) return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    return true;
}

// A click with the mouse on the row's first text.
inline bool clickRow(RecordListView* view, int r) {
    view->scrollTo(view->model()->index(r, 0));
    const RowPlacement placed = view->placement(r);
    for (const PlacedPart& p : placed.parts) {
        if (p.part.kind == ListPart::Kind::text && !p.lines.isEmpty()) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              p.rect.topLeft() + QPoint(4, 4));
            return true;
        }
    }
    return false;
}

}  // namespace listprobe
