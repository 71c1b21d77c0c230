#include "mainwindow/MainWindowView.h"

#include <QApplication>
#include <QEvent>
#include <QShowEvent>
#include <QHideEvent>
#include <QListWidget>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/SectionPages.h"
#include "core/AppState.h"
#include "platform/NotificationCenter.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "ui/Colors.h"
#include "ui/Icons.h"
#include "ui/Page.h"
#include "ui/Typography.h"

namespace {
constexpr int kSectionRole = Qt::UserRole + 1;
}

MainWindowView::MainWindowView(MainWindowContext context, QWidget* parent)
    : QWidget(parent), m_context(std::move(context)) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    split->setHandleWidth(1);
    outer->addWidget(split);

    m_sidebar = new QListWidget(split);
    m_sidebar->setObjectName(QStringLiteral("sidebar"));
    m_sidebar->setMinimumWidth(180);
    m_sidebar->setFrameShape(QFrame::NoFrame);
    m_sidebar->setIconSize(QSize(18, 18));
    m_sidebar->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_sidebar->setSpacing(1);
    const QPalette pal = palette();
    m_sidebar->setStyleSheet(
        QStringLiteral("QListWidget#sidebar { background: %1; padding: 8px 6px; outline: 0; }"
                       "QListWidget#sidebar::item { padding: 5px 6px; border-radius: 6px; }"
                       "QListWidget#sidebar::item:selected { background: %2; color: %3; }")
            .arg(Colors::windowBackground(pal).darker(104).name(),
                 Colors::withOpacity(Colors::accent(pal), 0.18).name(QColor::HexArgb),
                 pal.color(QPalette::WindowText).name()));
    // The selection, not the current item: focus alone moves the current
    // item to the first row without selecting it.
    connect(m_sidebar, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = m_sidebar->selectedItems();
        if (selected.isEmpty()) return;
        const QVariant v = selected.first()->data(kSectionRole);
        if (v.isValid()) setSelectedSection(SidebarSection(v.toInt()));
    });

    m_detail = new QWidget(split);
    m_detail->setObjectName(QStringLiteral("detail"));
    m_detailLayout = new QVBoxLayout(m_detail);
    m_detailLayout->setContentsMargins(0, 0, 0, 0);
    split->addWidget(m_sidebar);
    split->addWidget(m_detail);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({200, 800});

    rebuildSidebar();
    installPage();

    if (m_context.notifications) {
        connect(m_context.notifications, &NotificationCenter::ormilDataChanged, this,
                &MainWindowView::renewDetail);
        connect(m_context.notifications, &NotificationCenter::ormilNavigateToSection, this,
                &MainWindowView::onNavigate);
    }
    if (m_context.settings) {
        connect(m_context.settings, &SettingsStore::changed, this, [this](const QString& key) {
            if (key == QLatin1String("interfaceLanguage")) rebuildSidebar();
        });
    }
    if (m_context.appState) {
        connect(m_context.appState, &AppState::filesFeatureEnabledChanged, this,
                &MainWindowView::rebuildSidebar);
    }
}

MainWindowView::~MainWindowView() {
    if (m_page) m_page->notifyDisappeared();
}

QList<SidebarSection> MainWindowView::mainSections() const {
    QList<SidebarSection> list{SidebarSection::home, SidebarSection::history,
                               SidebarSection::clipboard};
    if (m_context.appState && m_context.appState->filesFeatureEnabled())
        list << SidebarSection::files;
    list << SidebarSection::dictionary << SidebarSection::snippets << SidebarSection::products;
    return list;
}

QList<std::optional<SidebarSection>> MainWindowView::sidebarRows() const {
    QList<std::optional<SidebarSection>> rows;
    for (int i = 0; i < m_sidebar->count(); ++i) {
        const QVariant v = m_sidebar->item(i)->data(kSectionRole);
        rows << (v.isValid() ? std::optional(SidebarSection(v.toInt())) : std::nullopt);
    }
    return rows;
}

void MainWindowView::rebuildSidebar() {
    const QSignalBlocker block(m_sidebar);
    m_sidebar->clear();
    const QPalette pal = palette();
    auto addHeader = [&](const QString& title) {
        auto* item = new QListWidgetItem(title, m_sidebar);
        item->setFlags(Qt::NoItemFlags);
        item->setFont(Typography::font(TextStyle::Caption, QFont::DemiBold));
        item->setForeground(Colors::secondary(pal));
    };
    auto addRow = [&](SidebarSection s) {
        auto* item = new QListWidgetItem(Icons::icon(sidebarIcon(s), Colors::accent(pal)),
                                         sidebarTitle(s), m_sidebar);
        item->setData(kSectionRole, int(s));
    };
    addHeader(L10n::sidebarMain());
    for (SidebarSection s : mainSections()) addRow(s);
    addHeader(L10n::sidebarSettings());
    addRow(SidebarSection::settings);
    addRow(SidebarSection::account);
    syncSidebarSelection();
}

void MainWindowView::syncSidebarSelection() {
    const QSignalBlocker block(m_sidebar);
    for (int i = 0; i < m_sidebar->count(); ++i) {
        QListWidgetItem* item = m_sidebar->item(i);
        const QVariant v = item->data(kSectionRole);
        if (v.isValid() && SidebarSection(v.toInt()) == m_selected) {
            m_sidebar->setCurrentItem(item);
            return;
        }
    }
    // The shown section has no row (Files while the feature is off).
    m_sidebar->setCurrentItem(nullptr);
    m_sidebar->clearSelection();
}

void MainWindowView::setSelectedSection(SidebarSection section) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (section == m_selected) return;
    m_selected = section;
    syncSidebarSelection();
    renewDetail();
}

void MainWindowView::onNavigate(const QString& raw) {
    if (const auto section = sidebarSectionFromRawValue(raw)) setSelectedSection(*section);
}

void MainWindowView::renewDetail() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        m_rebuildPending = true;
        waitForModalToClose(modal);
        return;
    }
    rebuildDetail();
}

void MainWindowView::waitForModalToClose(QWidget* modal) {
    if (m_watchedModal == modal) return;
    if (m_watchedModal) m_watchedModal->removeEventFilter(this);
    m_watchedModal = modal;
    modal->installEventFilter(this);
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watchedModal &&
        (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        m_watchedModal->removeEventFilter(this);
        m_watchedModal = nullptr;
        // After the dialog's own code has returned from its loop.
        runOnMain(this, [this] {
            if (m_rebuildPending) renewDetail();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindowView::rebuildDetail() {
    m_rebuildPending = false;
    m_refreshID = QUuid::createUuid();
    if (!isVisible()) {
        // Built when the window shows again, with what is stored then.
        m_stale = true;
        return;
    }
    installPage();
}

void MainWindowView::installPage() {
    m_stale = false;
    if (Page* old = m_page) {
        old->notifyDisappeared();
        old->hide();
        m_detailLayout->removeWidget(old);
        old->deleteLater();
    }
    m_page = createSectionPage(m_selected, m_context, m_detail);
    m_page->setObjectName(QStringLiteral("page-") + rawValue(m_selected));
    m_detailLayout->addWidget(m_page);
    if (isVisible()) {
        m_page->show();
        m_page->notifyAppeared();
    }
}

void MainWindowView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) {
        installPage();
    } else if (m_page && !m_page->isAppeared()) {
        m_page->notifyAppeared();
    }
    if (!event->spontaneous()) runStartTask();
}

void MainWindowView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_page && !event->spontaneous()) m_page->notifyDisappeared();
}

void MainWindowView::runStartTask() {
    AppState* state = m_context.appState;
    if (!state || !state->isAuthenticated() || !m_context.fetchFileLimits) return;
    // The limits belong to the application state, not to this view: they
    // are applied even when the window has gone meanwhile.
    runAsync(state, m_context.fetchFileLimits, [state](const std::optional<FileLimits>& limits) {
        if (limits) state->applyFileLimits(*limits);
    });
}
