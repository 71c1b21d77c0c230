#include "mainwindow/PerAppStylesGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/SettingsBinding.h"
#include "mainwindow/SettingsLayout.h"
#include "platform/AppIdentity.h"
#include "platform/RunningApps.h"
#include "platform/SettingsStore.h"
#include "platform/WindowWatcher.h"
#include "ui/Metrics.h"
#include "ui/Texts.h"

using namespace PerAppStyles;

namespace {
const QString kEnabledKey = QStringLiteral("perAppStylesEnabled");
constexpr int kNameWidth = 170;
constexpr int kMenuMaxWidth = 260;

const QList<SettingsBinding::Choice>& toneChoices() {
    static const QList<SettingsBinding::Choice> list = [] {
        QList<SettingsBinding::Choice> out;
        for (const ToneOption& o : toneOptions())
            out.append({[title = o.title] { return title; }, o.tag});
        return out;
    }();
    return list;
}

// Names are shown as they are: an "&" is no shortcut mark.
QString literal(QString text) {
    return text.replace(u'&', QStringLiteral("&&"));
}
}  // namespace

PerAppStylesGroup::PerAppStylesGroup(const MainWindowContext& context, QWidget* parent)
    : PerAppStylesGroup(*context.settings, RunningApps::shared(), WindowWatcher::shared(), parent) {
    setFocusedAppUnknown(context.focusedAppUnknown);
}

void PerAppStylesGroup::setFocusedAppUnknown(bool unknown) {
    m_focusedAppUnknown = unknown;
    refresh();
}

PerAppStylesGroup::PerAppStylesGroup(SettingsStore& store, RunningApps& running,
                                     WindowWatcher& watcher, QWidget* parent)
    : QGroupBox(parent), m_store(store), m_running(running) {
    setObjectName(QStringLiteral("perAppStylesGroup"));
    auto* layout = SettingsLayout::groupStack(this);

    m_enabled = new QCheckBox(this);
    m_enabled->setObjectName(kEnabledKey);
    layout->addWidget(m_enabled);
    m_caption = SettingsLayout::caption(this);
    m_caption->setObjectName(QStringLiteral("perAppStylesCaption"));
    layout->addWidget(m_caption);

    m_rows = new QWidget(this);
    m_rowsLayout = new QVBoxLayout(m_rows);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(Metrics::groupGap);
    layout->addWidget(m_rows);

    // A push button with a menu keeps room for its arrow beside the text.
    m_add = new QPushButton(this);
    m_add->setObjectName(QStringLiteral("perAppAddRunning"));
    m_add->setMaximumWidth(kMenuMaxWidth);
    m_menu = new QMenu(m_add);
    m_add->setMenu(m_menu);
    layout->addWidget(m_add, 0, Qt::AlignLeft);

    SettingsBinding::writeOnToggle(m_enabled, m_store, kEnabledKey);
    connect(m_enabled, &QCheckBox::toggled, this, [this](bool on) {
        // The menu appears: it reads the running applications.
        if (on) refreshRunningApps();
    });
    connect(&m_store, &SettingsStore::changed, this, [this](const QString& key) {
        if (key == kEnabledKey || key == u"perAppStyles" || key == u"interfaceLanguage") refresh();
    });
    // Applications that start, stop or get the focus; read only while the
    // group is seen (it reads them again when it appears).
    auto onChange = [this] {
        if (isVisible()) refreshRunningApps();
    };
    connect(&watcher, &WindowWatcher::clientListChanged, this, onChange);
    connect(&watcher, &WindowWatcher::activeWindowChanged, this, onChange);
    watcher.start();
    refresh();
}

QString PerAppStylesGroup::language() const {
    return L10n::currentLanguage();
}

void PerAppStylesGroup::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    refreshRunningApps();
}

void PerAppStylesGroup::refresh() {
    if (title() != L10n::perAppStyles()) setTitle(L10n::perAppStyles());
    Texts::set(m_enabled, L10n::perAppStyles());
    Texts::set(m_caption, m_focusedAppUnknown ? L10n::perAppStylesHint() + QLatin1Char('\n') +
                                                    L10n::perAppStylesWaylandNote()
                                              : L10n::perAppStylesHint());
    // Within the menu's width, with room for its arrow: a longer title is
    // cut (the whole of it in the tooltip and for screen readers).
    const QString add = L10n::perAppAddRunning();
    QStyleOptionButton option;
    option.initFrom(m_add);
    option.features = QStyleOptionButton::HasMenu;
    const QSize frame =
        style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), m_add);
    const int indicator = style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, m_add);
    Texts::set(m_add, m_add->fontMetrics().elidedText(
                          add, Qt::ElideRight, kMenuMaxWidth - frame.width() - indicator - 8));
    Texts::setToolTip(m_add, add);
    m_add->setAccessibleName(add);
    const bool enabled = SettingsBinding::boolean(m_store, kEnabledKey);
    {
        const QSignalBlocker blocker(m_enabled);
        m_enabled->setChecked(enabled);
    }
    m_rules = load(m_store);
    const QStringList ids = ruledBundleIds(m_rules, m_apps, language());
    rebuildRows(ids);
    for (const Row& row : m_rowWidgets) {
        const QStringList rowIds{row.id};
        const bool ruled = hasRule(m_rules, rowIds);
        const QSignalBlocker blocker(row.check);
        row.check->setChecked(ruled);
        row.tone->setEnabled(ruled);
        SettingsBinding::showChoices(row.tone, toneChoices(),
                                     m_rules.value(row.id, QStringLiteral("neutral")));
    }
    m_rows->setVisible(enabled && !m_rowWidgets.isEmpty());
    m_add->setVisible(enabled);
}

void PerAppStylesGroup::rebuildRows(const QStringList& ids) {
    QStringList key;
    for (const QString& id : ids) key << id << appDisplayName(id, m_apps, language());
    if (key == m_rowKey) return;
    m_rowKey = key;
    // A row may be the sender of the change that got here: it goes later.
    for (const Row& row : m_rowWidgets) {
        row.check->parentWidget()->hide();
        row.check->parentWidget()->deleteLater();
    }
    m_rowWidgets.clear();

    for (qsizetype i = 0; i < ids.size(); ++i) {
        const QString& id = ids[i];
        const QString name = key[2 * i + 1];
        // Every row stands for one ruled identifier; a row that is turned
        // on again takes the tone it had.
        const QString rowTone = m_rules.value(id, QStringLiteral("neutral"));
        auto* line = new QWidget(m_rows);
        auto* row = new QHBoxLayout(line);
        row->setContentsMargins(0, 0, 0, 0);
        auto* check = new QCheckBox(line);
        check->setObjectName(QStringLiteral("perAppRule:") + id);
        check->setFixedWidth(kNameWidth);
        const QIcon icon = appIcon(id);
        if (!icon.isNull()) check->setIcon(icon);
        const QStyle* s = check->style();
        const int room = kNameWidth - s->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, check) -
                         s->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, check) -
                         (icon.isNull() ? 0 : check->iconSize().width() + 4);
        const QString shown = check->fontMetrics().elidedText(name, Qt::ElideRight, room);
        check->setText(literal(shown));
        if (shown != name) check->setToolTip(name);
        row->addWidget(check, 0, Qt::AlignVCenter);
        auto* tone = new QComboBox(line);
        tone->setObjectName(QStringLiteral("perAppTone:") + id);
        tone->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        row->addWidget(tone, 0, Qt::AlignVCenter);
        row->addStretch();
        m_rowsLayout->addWidget(line);
        line->show();  // now, not when the layout gets to it

        connect(check, &QCheckBox::toggled, this,
                [this, id, rowTone](bool on) { setRuled(id, {id}, rowTone, on); });
        connect(tone, &QComboBox::activated, this,
                [this, id, tone](int index) { pick(id, tone->itemData(index).toString()); });
        m_rowWidgets.append({id, check, tone});
    }
}

void PerAppStylesGroup::refreshRunningApps() {
    m_apps = m_running.applications();
    m_offers = runningExtraApps(m_apps, AppIdentity::ownIdentifier(), load(m_store), language());
    rebuildMenu();
}

void PerAppStylesGroup::rebuildMenu() {
    // The action that was chosen may be the one running this: old ones go
    // later.
    for (QAction* old : m_menu->actions()) {
        m_menu->removeAction(old);
        old->deleteLater();
    }
    for (const Offer& offer : m_offers) {
        QAction* action = m_menu->addAction(appIcon(offer.id), literal(offer.name));
        action->setData(offer.id);
        connect(action, &QAction::triggered, this, [this, id = offer.id] { add(id); });
    }
}

void PerAppStylesGroup::add(const QString& id) {
    Rules rules = load(m_store);
    rules.insert(id, defaultTone(id));
    save(m_store, rules);
    refreshRunningApps();
}

void PerAppStylesGroup::setRuled(const QString& id, const QStringList& ids, const QString& tone,
                                 bool on) {
    Rules rules = load(m_store);
    if (on) {
        rules.insert(id, tone);
    } else {
        for (const QString& each : ids) rules.remove(each);
    }
    save(m_store, rules);
}

void PerAppStylesGroup::pick(const QString& id, const QString& tone) {
    Rules rules = load(m_store);
    rules.insert(id, tone);
    save(m_store, rules);
}
