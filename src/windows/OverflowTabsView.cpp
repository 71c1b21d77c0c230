#include "windows/OverflowTabsView.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QToolButton>

#include "ui/Graphemes.h"
#include "ui/Icons.h"

namespace {

constexpr int kChevronSize = 9;
constexpr int kChevronGap = 2;

QSize countWithChevronSize(const QString& count, const QFont& font) {
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(count) + kChevronGap + kChevronSize,
            std::max(metrics.height(), kChevronSize)};
}

QIcon countWithChevron(const QString& count, const QFont& font, const QColor& color, qreal dpr) {
    const QSize size = countWithChevronSize(count, font);
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(font);
    painter.setPen(color);
    const int textWidth = size.width() - kChevronGap - kChevronSize;
    painter.drawText(QRect(0, 0, textWidth, size.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     count);
    painter.drawPixmap(QPoint(textWidth + kChevronGap, (size.height() - kChevronSize) / 2),
                       Icons::pixmap("chevron.down", kChevronSize, color, dpr));
    return QIcon(pixmap);
}

}  // namespace

OverflowTabsView::OverflowTabsView(TabButtonBuilder tabButton, QWidget* parent)
    : QWidget(parent), m_tabButton(std::move(tabButton)) {
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(int(spacing));
    setFixedHeight(28);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumWidth(0);
}

double OverflowTabsView::estimatedWidth(const QString& title) {
    return Graphemes::count(title) * 7.5 + 26;
}

OverflowTabsView::Split OverflowTabsView::computeSplitInner(const QList<EditorTab>& tabs,
                                                            const std::optional<QString>& activeKey,
                                                            double available, double spacing,
                                                            double overflowWidth) {
    Split split;
    if (tabs.isEmpty()) return split;
    split.visible << tabs[0];
    double used = estimatedWidth(tabs[0].title);
    const qsizetype n = tabs.size();
    for (qsizetype i = 1; i < n; ++i) {
        used += estimatedWidth(tabs[i].title) + spacing;
        const double reserve = i < n - 1 ? overflowWidth + spacing : 0;
        if (used + reserve <= available) {
            split.visible << tabs[i];
            continue;
        }
        // A later, shorter tab is never pulled forward.
        split.hidden = tabs.mid(i);
        break;
    }
    if (activeKey) {
        for (qsizetype h = 0; h < split.hidden.size(); ++h) {
            if (split.hidden[h].key != *activeKey) continue;
            std::swap(split.hidden[h], split.visible.last());
            break;
        }
    }
    return split;
}

OverflowTabsView::Split OverflowTabsView::currentSplit() const {
    const double reserve = m_trailing ? trailingWidth + spacing : 0;
    return computeSplitInner(m_tabs, m_activeKey, width() - reserve, spacing, overflowWidth);
}

void OverflowTabsView::setState(const QList<EditorTab>& tabs,
                                const std::optional<QString>& activeKey, bool busy) {
    m_tabs = tabs;
    m_activeKey = activeKey;
    m_busy = busy;
    relayout();
}

void OverflowTabsView::setTrailing(QWidget* trailing) {
    m_trailing = trailing;
    if (trailing) trailing->setParent(this);
    relayout();
}

void OverflowTabsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->oldSize().width() == event->size().width() || m_relayoutPending) return;
    // Not inside the parent's layout pass that resized us: after it.
    m_relayoutPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_relayoutPending = false;
            relayout();
        },
        Qt::QueuedConnection);
}

void OverflowTabsView::relayout() {
    while (m_row->count() > 0) delete m_row->takeAt(0);
    // Later: a button may be inside its own click handler right now.
    for (QWidget* item : std::as_const(m_items)) {
        item->hide();
        item->deleteLater();
    }
    m_items.clear();
    m_overflow = nullptr;
    m_row->setSpacing(int(spacing));

    const Split split = currentSplit();
    for (const EditorTab& tab : split.visible) {
        QWidget* button = m_tabButton(tab, this);
        m_items << button;
        m_row->addWidget(button, 0, Qt::AlignVCenter);
        button->show();  // at once, not queued: a grab may follow this layout
    }
    if (!split.hidden.isEmpty()) {
        m_overflow = new QToolButton(this);
        m_overflow->setObjectName("overflowButton");
        m_overflow->setText(QStringLiteral("+%1").arg(split.hidden.size()));
        QFont font = m_overflow->font();
        font.setPixelSize(12);
        font.setWeight(QFont::Medium);
        m_overflow->setFont(font);
        // The count and the chevron 2 points after it, drawn as one label:
        // the style's own icon and text leave a wide gap between them.
        m_overflow->setIcon(countWithChevron(
            m_overflow->text(), font, palette().color(QPalette::ButtonText), devicePixelRatioF()));
        m_overflow->setIconSize(countWithChevronSize(m_overflow->text(), font));
        m_overflow->setToolButtonStyle(Qt::ToolButtonIconOnly);
        m_overflow->setAutoRaise(true);
        m_overflow->setPopupMode(QToolButton::InstantPopup);
        m_overflow->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0; }");
        m_overflow->setFixedWidth(int(overflowWidth));
        auto* menu = new QMenu(m_overflow);
        for (const EditorTab& tab : split.hidden) {
            QAction* action = menu->addAction(QString(tab.title).replace('&', "&&"));
            const QString key = tab.key;
            connect(action, &QAction::triggered, this, [this, key] {
                if (!m_busy && onActivate) onActivate(key);
            });
        }
        m_overflow->setMenu(menu);
        m_items << m_overflow;
        m_row->addWidget(m_overflow, 0, Qt::AlignVCenter);
        m_overflow->show();
    }
    if (m_trailing) {
        m_row->addWidget(m_trailing, 0, Qt::AlignVCenter);
        m_trailing->show();
    }
    m_row->addStretch(1);
    m_row->activate();
}
