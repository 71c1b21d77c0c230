#include "mainwindow/ClipboardSection.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/RecordList.h"
#include "ui/Card.h"
#include "ui/EmptyState.h"
#include "ui/Labels.h"
#include "ui/Texts.h"

using ClipboardItem = ClipboardHistoryService::ClipboardItem;

namespace {
bool sameItems(const QList<ClipboardItem>& a, const QList<ClipboardItem>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].timestamp != b[i].timestamp ||
            a[i].isTranscription != b[i].isTranscription)
            return false;
    return true;
}
}  // namespace

// ------------------------------------------------------------ ClipboardRow

ClipboardRow::ClipboardRow(const ClipboardItem& item, bool isExpanded,
                           std::function<void()> onToggle, std::function<void()> onCopy,
                           QWidget* parent)
    : QWidget(parent), m_expanded(isExpanded), m_onToggle(std::move(onToggle)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 4 + 4, 12, 4 + 4);
    column->setSpacing(6);
    auto* top = new QHBoxLayout;
    m_date = Labels::create(ClipboardSection::formatDate(item.timestamp), TextStyle::Caption, this,
                            true);
    m_copy = new QPushButton(L10n::filesCopy(), this);
    m_copy->setAutoDefault(false);
    top->addWidget(m_date);
    top->addStretch(1);
    top->addWidget(m_copy);
    column->addLayout(top);

    m_text = Labels::create(item.text, TextStyle::Body, this);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A short text sits at the top of the lines it is given, under its date.
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->installEventFilter(this);
    if (!isExpanded)
        m_text->setMaximumHeight(QFontMetrics(m_text->font()).lineSpacing() * 2);
    column->addWidget(m_text);

    connect(m_copy, &QPushButton::clicked, this, [onCopy = std::move(onCopy)] {
        if (onCopy) onCopy();
    });
}

void ClipboardRow::click() {
    if (m_onToggle) m_onToggle();
}

void ClipboardRow::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) click();
}

bool ClipboardRow::eventFilter(QObject* watched, QEvent* event) {
    // The selectable text takes the mouse itself: a click on it that
    // selected nothing is a click on the row.
    if (watched == m_text && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !m_text->hasSelectedText() &&
            m_text->rect().contains(mouse->position().toPoint()))
            click();
    }
    return QWidget::eventFilter(watched, event);
}

// -------------------------------------------------------- ClipboardSection

ClipboardSection::ClipboardSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_c(context) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(0);

    auto* header = new QVBoxLayout;
    header->setContentsMargins(16, 16, 16, 16);
    header->setSpacing(4);
    m_title = Labels::create({}, TextStyle::Title2, QFont::Bold, this);
    m_subtitle = Labels::create({}, TextStyle::Caption, this, true);
    m_subtitle->setWordWrap(true);
    header->addWidget(m_title);
    header->addWidget(m_subtitle);
    page->addLayout(header);
    page->addWidget(Labels::divider(this));

    m_list = new RecordList(QStringLiteral("doc.on.clipboard"), this);
    page->addWidget(m_list, 1);
    refresh();
    rebuildList();
}

ClipboardSection::~ClipboardSection() {
    if (m_timer) m_timer->cancel();
}

void ClipboardSection::appeared() {
    refresh();
    reload();
    if (m_timer) m_timer->cancel();
    if (m_c.clock) m_timer = m_c.clock->repeat(refreshInterval, this, [this] { reload(); });
}

void ClipboardSection::disappeared() {
    if (m_timer) m_timer->cancel();
    m_timer.reset();
}

void ClipboardSection::refresh() {
    Texts::set(m_title, L10n::clipboardSection());
    Texts::set(m_subtitle, L10n::clipboardSubtitle());
    m_list->emptyState()->setTitle(L10n::clipboardEmpty());
}

QList<ClipboardItem> ClipboardSection::userCopies(const QList<ClipboardItem>& history) {
    QList<ClipboardItem> out;
    for (const ClipboardItem& item : history)
        if (!item.isTranscription) out.append(item);
    return out;
}

QString ClipboardSection::formatDate(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
}

void ClipboardSection::reload() {
    QList<ClipboardItem> items =
        m_c.clipboardHistory ? userCopies(m_c.clipboardHistory->history()) : QList<ClipboardItem>{};
    // Unchanged: the rows stay, with any selection the user is making.
    if (sameItems(items, m_items) && !m_list->isEmptyColumn()) return;
    m_items = std::move(items);
    rebuildList();
}

void ClipboardSection::toggle(int index) {
    m_expanded = m_expanded == index ? std::nullopt : std::optional<int>(index);
    rebuildList();
}

void ClipboardSection::copy(int index) {
    if (index < 0 || index >= m_items.size() || !m_c.clipboardHistory) return;
    // Put back without being recorded as a new copy.
    m_c.clipboardHistory->copyToClipboard(m_items.at(index).text);
}

void ClipboardSection::rebuildList() {
    m_list->clear();
    m_list->setShowsEmpty(m_items.isEmpty());
    if (m_items.isEmpty()) return;
    Card* card = m_list->appendCard();
    for (int i = 0; i < m_items.size(); ++i)
        RecordList::addRow(card, new ClipboardRow(
                                     m_items.at(i), m_expanded == i, [this, i] { toggle(i); },
                                     [this, i] { copy(i); }, card));
}

QList<ClipboardRow*> ClipboardSection::rows() const {
    return m_list->content()->findChildren<ClipboardRow*>();
}

bool ClipboardSection::showsEmptyState() const { return m_list->showsEmpty(); }
