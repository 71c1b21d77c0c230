#include "ui/RecordList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGlyphRun>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "ui/BusySpinner.h"
#include "ui/Colors.h"
#include "ui/EmptyState.h"
#include "ui/Icons.h"
#include "ui/Metrics.h"

// ----------------------------------------------------------------- models

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole: {
            const ListRow row = rowAt(index.row());
            return row.accessibleText.isEmpty() ? row.plainText() : row.accessibleText;
        }
        case Qt::AccessibleDescriptionRole: {
            QStringList names;
            const ListRow row = rowAt(index.row());
            for (const ListPart* p : row.actions()) names << p->accessibleName;
            return names.join(QStringLiteral(", "));
        }
        default:
            return {};
    }
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return isHeader(index.row()) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int ListRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

void ListRowsModel::setRows(QList<ListRow> rows) {
    if (rows.size() != m_rows.size()) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
        return;
    }
    m_rows = std::move(rows);
    if (!m_rows.isEmpty()) emit dataChanged(index(0), index(int(m_rows.size()) - 1));
}

void ListRowsModel::setRow(int row, ListRow described) {
    if (row < 0 || row >= m_rows.size()) return;
    m_rows[row] = std::move(described);
    emit dataChanged(index(row), index(row));
}

// --------------------------------------------------------------- delegate

namespace {

const RecordListModel* rowsOf(const QModelIndex& index) {
    return qobject_cast<const RecordListModel*>(index.model());
}

QColor textColor(const ListPart& part, const QPalette& palette) {
    if (part.color.isValid()) return part.color;
    return part.secondary ? Colors::secondary(palette) : palette.color(QPalette::WindowText);
}

// A card's colour under the mouse: a touch of the text colour over it.
QColor hovered(const QColor& card, const QPalette& palette) {
    const QColor ink = palette.color(QPalette::WindowText);
    const double a = 0.05;
    return QColor::fromRgbF(float(card.redF() * (1 - a) + ink.redF() * a),
                            float(card.greenF() * (1 - a) + ink.greenF() * a),
                            float(card.blueF() * (1 - a) + ink.blueF() * a), card.alphaF());
}

QString symbolKey(const QString& name, int size, const QColor& color, qreal dpr) {
    return QStringLiteral("%1/%2/%3/%4").arg(name).arg(size).arg(color.rgba()).arg(dpr);
}

}  // namespace

QPixmap RecordListDelegate::symbol(const QString& name, int size, const QColor& color,
                                   qreal dpr) const {
    const QString key = symbolKey(name, size, color, dpr);
    auto it = m_symbols.constFind(key);
    if (it != m_symbols.constEnd()) return *it;
    const QPixmap pixmap = Icons::pixmap(name, size, color, dpr);
    m_symbols.insert(key, pixmap);
    return pixmap;
}

QSize RecordListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    const RecordListModel* model = rowsOf(index);
    if (!model) return {};
    const RowPlacement placed =
        ListRows::place(model->rowAt(index.row()), option.rect, option.font);
    return {option.rect.width(), placed.height};
}

void RecordListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    const RecordListModel* model = rowsOf(index);
    if (!model) return;
    const ListRow row = model->rowAt(index.row());
    paintRow(painter, option, row, ListRows::place(row, option.rect, option.font), 0);
}

void RecordListDelegate::paintRow(QPainter* p, const QStyleOptionViewItem& option,
                                  const ListRow& row, const RowPlacement& placed, int spoke) const {
    const QPalette& pal = option.palette;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    if (!row.header) {
        // The row's share of its group's card: rounded at the group's ends.
        // A rounded rectangle running past the ends that are not the
        // group's, cut at the row: no path arithmetic on each paint.
        const QRectF card = QRectF(placed.card);
        const double r = 8;
        const QRectF rounded =
            card.adjusted(0, row.firstInGroup ? 0 : -2 * r, 0, row.lastInGroup ? 0 : 2 * r);
        QColor fill = Colors::controlBackground(pal);
        // The row under the mouse is tinted a little, as a polished list is.
        if (option.state & QStyle::State_MouseOver) fill = hovered(fill, pal);
        p->save();
        p->setClipRect(placed.card);
        p->setPen(Qt::NoPen);
        p->setBrush(fill);
        p->drawRoundedRect(rounded, r, r);
        p->restore();
        if (!row.firstInGroup)
            p->fillRect(QRect(placed.card.left() + ListRows::cardPadding, placed.card.top(),
                              placed.card.width() - ListRows::cardPadding, 1),
                        Colors::separator(pal));
        if (option.state & QStyle::State_HasFocus) {
            p->setPen(QPen(Colors::withOpacity(Colors::accent(pal), 0.7), 2));
            p->setBrush(Qt::NoBrush);
            p->drawRoundedRect(card.adjusted(1, 1, -1, -1), 6, 6);
        }
    }
    for (const PlacedPart& pp : placed.parts) {
        const ListPart& part = pp.part;
        const QRect& r = pp.rect;
        switch (part.kind) {
            case ListPart::Kind::text: {
                // Shaped once when the row was placed.
                p->setPen(textColor(part, pal));
                for (const QGlyphRun& run : pp.runs) p->drawGlyphRun(r.topLeft(), run);
                break;
            }
            case ListPart::Kind::symbol: {
                const QColor c = textColor(part, pal);
                p->drawPixmap(r.topLeft(),
                              symbol(part.symbol, r.height(), c, p->device()->devicePixelRatioF()));
                break;
            }
            case ListPart::Kind::button: {
                if (part.text.isEmpty()) {
                    const int s = Typography::pixels(14);
                    QColor c = part.color.isValid() ? part.color : Colors::secondary(pal);
                    if (!part.enabled) c = Colors::withOpacity(c, 0.4);
                    const QPoint at(r.center().x() - s / 2 + 1, r.center().y() - s / 2 + 1);
                    p->drawPixmap(at, symbol(part.symbol, s, c, p->device()->devicePixelRatioF()));
                } else if (part.flat) {
                    const QFont f = Typography::font(part.style, part.weight);
                    const QFontMetrics m(f);
                    QColor c = part.color.isValid() ? part.color : pal.color(QPalette::ButtonText);
                    if (!part.enabled) c = Colors::withOpacity(c, 0.4);
                    int x = r.left() + 4;
                    if (!part.symbol.isEmpty()) {
                        const int s = m.ascent();
                        p->drawPixmap(QPoint(x, r.center().y() - s / 2),
                                      symbol(part.symbol, s, c, p->device()->devicePixelRatioF()));
                        x += s + 4;
                    }
                    p->setFont(f);
                    p->setPen(c);
                    p->drawText(QRect(x, r.top(), r.right() - x, r.height()),
                                Qt::AlignLeft | Qt::AlignVCenter, part.text);
                } else {
                    QStyleOptionButton b;
                    b.rect = r;
                    b.palette = pal;
                    if (!part.enabled) b.palette.setCurrentColorGroup(QPalette::Disabled);
                    b.text = part.text;
                    b.fontMetrics = QFontMetrics(Typography::font(part.style));
                    b.state = part.enabled ? QStyle::State_Enabled | QStyle::State_Raised
                                           : QStyle::State_Raised;
                    p->setFont(Typography::font(part.style));
                    QApplication::style()->drawControl(QStyle::CE_PushButton, &b, p, option.widget);
                }
                break;
            }
            case ListPart::Kind::progress: {
                const QRectF track = QRectF(r).adjusted(0, 0.5, 0, -0.5);
                p->setPen(Qt::NoPen);
                p->setBrush(Colors::withOpacity(pal.color(QPalette::WindowText), 0.12));
                p->drawRoundedRect(track, track.height() / 2, track.height() / 2);
                const double done = std::clamp(part.value, 0, 100) / 100.0;
                if (done > 0) {
                    p->setBrush(Colors::accent(pal));
                    QRectF bar = track;
                    bar.setWidth(track.width() * done);
                    p->drawRoundedRect(bar, track.height() / 2, track.height() / 2);
                }
                break;
            }
            case ListPart::Kind::toggle: {
                const QRectF track(r);
                QPainterPath path;
                path.addRoundedRect(track, track.height() / 2, track.height() / 2);
                const QColor fill =
                    part.checked ? Colors::accent(pal)
                                 : Colors::withOpacity(pal.color(QPalette::WindowText), 0.18);
                p->fillPath(path, fill);
                const double d = track.height() - 4;
                const double x = part.checked ? track.right() - 2 - d : track.left() + 2;
                p->setPen(QPen(Colors::withOpacity(Qt::black, 0.15), 0.5));
                p->setBrush(Qt::white);
                p->drawEllipse(QRectF(x, track.top() + 2, d, d));
                break;
            }
            case ListPart::Kind::spinner:
                BusySpinner::paintSpokes(
                    *p, QRectF(r), spoke,
                    part.color.isValid() ? part.color : pal.color(QPalette::WindowText));
                break;
            case ListPart::Kind::stretch:
                break;
        }
    }
    p->restore();
}

// ------------------------------------------------------------------- view

namespace {
constexpr int kDefaultEstimate = 64;
constexpr int kScrollStep = 20;
constexpr int kSpinInterval = 100;  // ms per spoke
}  // namespace

RecordListView::RecordListView(QWidget* parent) : QAbstractItemView(parent) {
    m_delegate = new RecordListDelegate(this);
    setItemDelegate(m_delegate);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(ScrollPerPixel);
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Window);
    // The first and the last card keep off the list's edges.
    setViewportMargins(0, Metrics::itemGap, 0, Metrics::itemGap);
    // Rows are measured before they are painted, so the scroll bar is
    // right when the list shows.
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &RecordListView::measureShown);
    // The page below the view is measured when the loop is idle after a
    // scroll, so the next page's scroll finds its rows laid out.
    m_ahead.setSingleShot(true);
    m_ahead.setInterval(0);
    connect(&m_ahead, &QTimer::timeout, this, &RecordListView::measureAhead);
    m_spin.setInterval(kSpinInterval);
    connect(&m_spin, &QTimer::timeout, viewport(), qOverload<>(&QWidget::update));
    m_spinClock.start();
}

RecordListModel* RecordListView::rows() const {
    return qobject_cast<RecordListModel*>(model());
}

void RecordListView::setModel(QAbstractItemModel* model) {
    if (this->model()) disconnect(this->model(), nullptr, this, nullptr);
    QAbstractItemView::setModel(model);
    if (model) {
        connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { rebuild(); });
        connect(model, &QAbstractItemModel::layoutChanged, this, [this] { rebuild(); });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { rebuild(); });
    }
    rebuild();
}

void RecordListView::rebuild() {
    const int n = model() ? model()->rowCount() : 0;
    const int e = estimate();
    m_heights.fill(e, n);
    m_measured.fill(0, n);
    m_measuredSum = 0;
    m_measuredCount = 0;
    m_placed.clear();
    m_hoverRow = -1;
    buildTree();
    updateGeometries();
    viewport()->update();
    m_settle.start();
}

void RecordListView::buildTree() {
    const int n = rowCount();
    m_tree.fill(0, n + 1);
    for (int i = 1; i <= n; ++i) {
        m_tree[i] += m_heights[i - 1];
        const int j = i + (i & -i);
        if (j <= n) m_tree[j] += m_tree[i];
    }
}

void RecordListView::doItemsLayout() {
    // Heights are measured as rows are shown; nothing to lay out ahead.
    updateGeometries();
    viewport()->update();
}

int RecordListView::estimate() const {
    return m_measuredCount > 0 ? int(m_measuredSum / m_measuredCount) : kDefaultEstimate;
}

int RecordListView::rowTop(int row) const {
    qint64 sum = 0;
    for (int i = std::min(row, rowCount()); i > 0; i -= i & -i) sum += m_tree[i];
    return int(std::min<qint64>(sum, INT_MAX / 2));
}

int RecordListView::totalHeight() const {
    return rowTop(rowCount());
}

int RecordListView::rowAtY(int y) const {
    const int n = rowCount();
    if (n == 0) return -1;
    int pos = 0;
    qint64 rest = y;
    int step = 1;
    while (step * 2 <= n) step *= 2;
    for (; step > 0; step /= 2) {
        if (pos + step <= n && m_tree[pos + step] <= rest) {
            pos += step;
            rest -= m_tree[pos];
        }
    }
    return std::clamp(pos, 0, n - 1);
}

void RecordListView::setHeight(int row, int height) {
    const int delta = height - m_heights[row];
    m_heights[row] = height;
    if (delta == 0) return;
    for (int i = row + 1; i <= rowCount(); i += i & -i) m_tree[i] += delta;
}

QStyleOptionViewItem RecordListView::optionFor(int row) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = rowRect(row);
    option.widget = this;
    if (hasFocus() && currentIndex().row() == row) option.state |= QStyle::State_HasFocus;
    if (row == m_hoverRow) option.state |= QStyle::State_MouseOver;
    return option;
}

QRect RecordListView::rowRect(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return QRect(0, rowTop(row) - verticalOffset(), viewport()->width(), m_heights[row]);
}

const RecordListView::Placed& RecordListView::placed(int row) {
    auto it = m_placed.find(row);
    if (it == m_placed.end()) {
        // Placed once at the top of the viewport's width; moved when used.
        Placed p;
        p.row = rows()->rowAt(row);
        p.at = ListRows::place(p.row, QRect(0, 0, viewport()->width(), 0), font());
        it = m_placed.insert(row, std::move(p));
    }
    return *it;
}

RowPlacement RecordListView::placedAt(int row) {
    RowPlacement out = placed(row).at;
    const int top = rowRect(row).top();
    out.card.translate(0, top);
    out.card.setHeight(m_heights[row]);
    for (PlacedPart& p : out.parts) p.rect.translate(0, top);
    return out;
}

void RecordListView::measure(int row) {
    const int h = std::max(1, placed(row).at.height);
    if (m_measured[row]) {
        m_measuredSum -= m_heights[row];
        --m_measuredCount;
    }
    m_measured[row] = 1;
    m_measuredSum += h;
    ++m_measuredCount;
    setHeight(row, h);
}

int RecordListView::measuredRows() const {
    return int(std::count(m_measured.begin(), m_measured.end(), char(1)));
}

void RecordListView::measureShown() {
    if (m_measuring) return;
    const int n = rowCount();
    if (n == 0 || !rows()) return;
    m_measuring = true;
    // Anchoring the first row may bring other unmeasured rows into view:
    // measured too, a few rounds at most.
    for (int round = 0; round < 4 && measureShownOnce(); ++round) {
    }
    m_measuring = false;
}

bool RecordListView::measureShownOnce() {
    const int n = rowCount();
    const int viewH = viewport()->height();
    const int offset = verticalOffset();
    const int first = rowAtY(offset);
    const int within = offset - rowTop(first);
    bool changed = false;
    int y = rowTop(first);
    for (int r = first; r < n && y < offset + viewH; ++r) {
        if (!m_measured[r]) {
            measure(r);
            changed = true;
        }
        y += m_heights[r];
    }
    // At the end of the list the rows above come into view too.
    for (int r = first - 1; r >= 0 && totalHeight() - rowTop(r + 1) < viewH; --r) {
        if (!m_measured[r]) {
            measure(r);
            changed = true;
        }
    }
    if (!changed) return false;
    updateGeometries();
    // The first row shown stays where it was.
    const int anchored = rowTop(first) + std::min(within, std::max(m_heights[first] - 1, 0));
    if (verticalScrollBar()->value() != anchored) verticalScrollBar()->setValue(anchored);
    return true;
}

void RecordListView::measureAhead() {
    const int n = rowCount();
    if (n == 0 || !rows() || m_measuring) return;
    // Rows below the view: measuring them moves nothing shown.
    const int viewH = viewport()->height();
    const int bottom = verticalOffset() + viewH;
    int r = rowAtY(std::max(bottom - 1, 0));
    bool changed = false;
    for (int y = rowTop(r); r < n && y < bottom + viewH; ++r) {
        if (!m_measured[r]) {
            measure(r);
            changed = true;
        }
        y += m_heights[r];
    }
    if (changed) updateGeometries();
}

int RecordListView::verticalOffset() const {
    return verticalScrollBar()->value();
}

void RecordListView::updateGeometries() {
    const int viewH = viewport()->height();
    verticalScrollBar()->setSingleStep(kScrollStep);
    verticalScrollBar()->setPageStep(viewH);
    verticalScrollBar()->setRange(0, std::max(0, totalHeight() - viewH));
    QAbstractItemView::updateGeometries();
}

void RecordListView::scrollContentsBy(int, int) {
    // The rows coming into view are measured now, in the scroll's own
    // event, so the paint that follows only paints (and paints once: the
    // place a measured row moves the view to is the one painted).
    measureShown();
    m_ahead.start();
    // The wheel moves the rows under a mouse that stays put.
    if (m_hoverRow >= 0) hoverAt(viewport()->mapFromGlobal(QCursor::pos()));
    viewport()->update();
}

void RecordListView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    if (viewport()->width() != m_width) {
        // Every height depends on the width: measured again when shown.
        m_width = viewport()->width();
        m_placed.clear();
        std::fill(m_measured.begin(), m_measured.end(), char(0));
        m_measuredSum = 0;
        m_measuredCount = 0;
    }
    updateGeometries();
    m_settle.start();
}

QRect RecordListView::visualRect(const QModelIndex& index) const {
    return index.isValid() ? rowRect(index.row()) : QRect();
}

QModelIndex RecordListView::indexAt(const QPoint& point) const {
    if (!model() || rowCount() == 0) return {};
    const int y = point.y() + verticalOffset();
    if (y < 0 || y >= totalHeight()) return {};
    return model()->index(rowAtY(y), 0);
}

void RecordListView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid() || index.row() >= rowCount()) return;
    const int row = index.row();
    if (!m_measured[row]) measure(row);
    updateGeometries();
    const int top = rowTop(row);
    const int h = m_heights[row];
    const int viewH = viewport()->height();
    const int offset = verticalOffset();
    int target = offset;
    switch (hint) {
        case PositionAtTop:
            target = top;
            break;
        case PositionAtBottom:
            target = top + h - viewH;
            break;
        case PositionAtCenter:
            target = top - (viewH - h) / 2;
            break;
        case EnsureVisible:
            if (top < offset || h > viewH)
                target = top;
            else if (top + h > offset + viewH)
                target = top + h - viewH;
            break;
    }
    verticalScrollBar()->setValue(target);
    viewport()->update();
}

QModelIndex RecordListView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    RecordListModel* m = rows();
    const int n = rowCount();
    if (!m || n == 0) return {};
    int row = currentIndex().isValid() ? currentIndex().row() : -1;
    const auto step = [&](int from, int dir) {
        for (int r = from; r >= 0 && r < n; r += dir)
            if (!m->isHeader(r)) return r;
        return -1;
    };
    int next = -1;
    switch (action) {
        case MoveUp:
        case MovePrevious:
            next = step(row - 1, -1);
            break;
        case MoveDown:
        case MoveNext:
            next = step(row + 1, 1);
            break;
        case MovePageUp:
            next = step(rowAtY(std::max(0, rowTop(std::max(row, 0)) - viewport()->height())), 1);
            break;
        case MovePageDown:
            next = step(rowAtY(rowTop(std::max(row, 0)) + viewport()->height()), 1);
            break;
        case MoveHome:
            next = step(0, 1);
            break;
        case MoveEnd:
            next = step(n - 1, -1);
            break;
        default:
            break;
    }
    if (next < 0) next = row >= 0 ? row : step(0, 1);
    return next >= 0 ? m->index(next, 0) : QModelIndex();
}

void RecordListView::setSelection(const QRect&, QItemSelectionModel::SelectionFlags) {}

QRegion RecordListView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QModelIndex& index : selection.indexes()) region += visualRect(index);
    return region;
}

void RecordListView::paintEvent(QPaintEvent*) {
    if (!rows()) return;
    measureShown();
    QPainter painter(viewport());
    const int n = rowCount();
    const int viewH = viewport()->height();
    const int spoke = int(m_spinClock.elapsed() / kSpinInterval) % 8;
    bool spinning = false;
    for (int r = std::max(rowAtY(verticalOffset()), 0); r < n; ++r) {
        const QRect rect = rowRect(r);
        if (rect.top() >= viewH) break;
        const QStyleOptionViewItem option = optionFor(r);
        const RowPlacement at = placedAt(r);
        m_delegate->paintRow(&painter, option, placed(r).row, at, spoke);
        for (const PlacedPart& pp : at.parts)
            spinning = spinning || pp.part.kind == ListPart::Kind::spinner;
    }
    // Only the rows near the view stay placed.
    if (m_placed.size() > 400) {
        const int first = rowAtY(verticalOffset());
        for (auto it = m_placed.begin(); it != m_placed.end();)
            it = std::abs(it.key() - first) > 100 ? m_placed.erase(it) : std::next(it);
    }
    if (spinning && !m_spin.isActive()) m_spin.start();
    if (!spinning) m_spin.stop();
}

RowPlacement RecordListView::placement(int row) {
    if (!rows() || row < 0 || row >= rowCount()) return {};
    if (!m_measured[row]) {
        measure(row);
        updateGeometries();
    }
    return placedAt(row);
}

QRect RecordListView::actionRect(int row, const QString& action) {
    if (!rows() || row < 0 || row >= rowCount()) return {};
    if (!m_measured[row]) measure(row);
    const RowPlacement at = placedAt(row);
    const PlacedPart* part = at.partFor(action);
    return part ? part->rect : QRect();
}

void RecordListView::trigger(int row, const QString& action) {
    if (row < 0 || row >= rowCount() || action.isEmpty()) return;
    emit triggered(row, action);
}

QStringList RecordListView::menuActions(int row) const {
    QStringList out;
    if (!rows() || row < 0 || row >= rowCount()) return out;
    const ListRow described = rows()->rowAt(row);
    for (const ListPart* p : described.actions())
        if (p->enabled) out << p->accessibleName;
    return out;
}

void RecordListView::showMenu(int row, const QPoint& globalPos) {
    if (!rows() || row < 0 || row >= rowCount()) return;
    const ListRow described = rows()->rowAt(row);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const ListPart* p : described.actions()) {
        if (!p->enabled) continue;
        const QString action = p->action;
        menu->addAction(p->accessibleName, this, [this, row, action] { trigger(row, action); });
    }
    if (menu->isEmpty()) {
        delete menu;
        return;
    }
    menu->popup(globalPos);
}

void RecordListView::mousePressEvent(QMouseEvent* event) {
    m_pressedRow = -1;
    m_pressedAction.clear();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QAbstractItemView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (!rows()->isHeader(index.row()))
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    const ListRow described = placed(index.row()).row;
    const RowPlacement at = placedAt(index.row());
    const PlacedPart* part = at.partAt(event->position().toPoint());
    m_pressedRow = index.row();
    if (part && !part->part.action.isEmpty())
        m_pressedAction = part->part.enabled ? part->part.action : QString();
    else
        m_pressedAction = described.clickAction;
    event->accept();
}

void RecordListView::mouseReleaseEvent(QMouseEvent* event) {
    const int row = m_pressedRow;
    const QString action = m_pressedAction;
    m_pressedRow = -1;
    m_pressedAction.clear();
    if (event->button() != Qt::LeftButton || row < 0 || action.isEmpty()) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || index.row() != row) return;
    const ListRow described = placed(row).row;
    const RowPlacement at = placedAt(row);
    const PlacedPart* part = at.partAt(event->position().toPoint());
    const QString hit =
        part && !part->part.action.isEmpty() ? part->part.action : described.clickAction;
    if (hit == action) trigger(row, action);
}

void RecordListView::setHoverRow(int row) {
    if (row == m_hoverRow) return;
    const int before = std::exchange(m_hoverRow, row);
    for (int r : {before, row})
        if (r >= 0 && r < rowCount()) viewport()->update(rowRect(r));
}

void RecordListView::hoverAt(const QPoint& point) {
    const QModelIndex index = indexAt(point);
    setHoverRow(index.isValid() && rows() && !rows()->isHeader(index.row()) ? index.row() : -1);
}

void RecordListView::mouseMoveEvent(QMouseEvent* event) {
    hoverAt(event->position().toPoint());
    const QModelIndex index = indexAt(event->position().toPoint());
    bool pointing = false;
    if (index.isValid() && rows()) {
        const ListRow described = placed(index.row()).row;
        const RowPlacement at = placedAt(index.row());
        const PlacedPart* part = at.partAt(event->position().toPoint());
        pointing = (part && !part->part.action.isEmpty() && part->part.enabled) ||
                   !described.clickAction.isEmpty();
    }
    viewport()->setCursor(pointing ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void RecordListView::keyPressEvent(QKeyEvent* event) {
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    if (row >= 0 && rows()) {
        const ListRow described = rows()->rowAt(row);
        const auto has = [&](const QString& action) {
            for (const ListPart* p : described.actions())
                if (p->action == action && p->enabled) return true;
            return false;
        };
        QString action;
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                action = described.clickAction;
                break;
            case Qt::Key_Delete:
                if (has(QStringLiteral("delete"))) action = QStringLiteral("delete");
                break;
            case Qt::Key_Menu:
                showMenu(row, viewport()->mapToGlobal(rowRect(row).center()));
                event->accept();
                return;
            case Qt::Key_F10:
                if (event->modifiers() & Qt::ShiftModifier) {
                    showMenu(row, viewport()->mapToGlobal(rowRect(row).center()));
                    event->accept();
                    return;
                }
                break;
            default:
                if (event->matches(QKeySequence::Copy) && has(QStringLiteral("copy")))
                    action = QStringLiteral("copy");
                break;
        }
        if (!action.isEmpty()) {
            trigger(row, action);
            event->accept();
            return;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void RecordListView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid()) return;
    showMenu(index.row(), event->globalPos());
}

bool RecordListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) setHoverRow(-1);
    if (event->type() == QEvent::ToolTip && rows()) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        QString tip;
        if (index.isValid()) {
            const RowPlacement at = placedAt(index.row());
            if (const PlacedPart* part = at.partAt(help->pos())) tip = part->part.toolTip;
        }
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport());
        return true;
    }
    return QAbstractItemView::viewportEvent(event);
}

void RecordListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles) {
    if (topLeft.isValid() && bottomRight.isValid()) {
        for (int r = std::max(topLeft.row(), 0); r <= bottomRight.row() && r < rowCount(); ++r) {
            m_placed.remove(r);
            if (!m_measured[r]) continue;
            m_measured[r] = 0;
            m_measuredSum -= m_heights[r];
            --m_measuredCount;
        }
    }
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
    viewport()->update();
    m_settle.start();
}

void RecordListView::rowsInserted(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsInserted(parent, start, end);
    // The rows before keep their measured heights and the view its place.
    const int count = end - start + 1;
    if (parent.isValid() || start < 0 || start > rowCount() || count <= 0) {
        rebuild();
        return;
    }
    const int value = verticalScrollBar()->value();
    m_placed.clear();
    m_heights.insert(start, count, estimate());
    m_measured.insert(start, count, char(0));
    if (m_hoverRow >= start) m_hoverRow += count;
    buildTree();
    updateGeometries();
    verticalScrollBar()->setValue(value);
    viewport()->update();
}

void RecordListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
    QAbstractItemView::rowsAboutToBeRemoved(parent, start, end);
}

// ------------------------------------------------------------- RecordList

RecordList::RecordList(const QString& emptySymbol, QWidget* parent) : QStackedWidget(parent) {
    m_view = new RecordListView(this);
    m_empty = new EmptyState(emptySymbol, {}, {}, this);
    addWidget(m_view);
    addWidget(m_empty);
}

void RecordList::setShowsEmpty(bool empty) {
    setCurrentWidget(empty ? static_cast<QWidget*>(m_empty) : m_view);
}

bool RecordList::showsEmpty() const {
    return currentWidget() == m_empty;
}
