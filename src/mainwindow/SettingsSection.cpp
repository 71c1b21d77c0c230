#include "mainwindow/SettingsSection.h"

#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/SettingsAppTab.h"
#include "mainwindow/SettingsKeysTab.h"
#include "mainwindow/SettingsSoundTab.h"
#include "mainwindow/SettingsTextTab.h"
#include "platform/SettingsStore.h"
#include "ui/Metrics.h"
#include "platform/Required.h"

namespace {
QScrollArea* scrolling(QWidget* content, QWidget* parent) {
    auto* area = new QScrollArea(parent);
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return area;
}
}  // namespace

SettingsSection::SettingsSection(const MainWindowContext& context, QWidget* parent)
    : Page(parent), m_context(context) {
    requireCollaborator(m_context.settings, "SettingsSection", "settings");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Metrics::around(Metrics::groupGap));
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("settingsTabs"));
    m_keys = new SettingsKeysTab(m_context);
    m_text = new SettingsTextTab(m_context);
    m_sound = new SettingsSoundTab(m_context);
    m_app = new SettingsAppTab(m_context);
    for (QWidget* tab : {static_cast<QWidget*>(m_keys), static_cast<QWidget*>(m_text),
                         static_cast<QWidget*>(m_sound), static_cast<QWidget*>(m_app)})
        m_tabs->addTab(scrolling(tab, m_tabs), {});
    layout->addWidget(m_tabs);

    // Every key change redraws the page: a control's own write, a language
    // change (relabels everything), or a writer elsewhere.
    connect(m_context.settings, &SettingsStore::changed, this, [this] { refresh(); });
    refresh();
}

void SettingsSection::appeared() {
    m_sound->loadMicrophones();
    refresh();
}

void SettingsSection::disappeared() {
    // The controls have stored every change already; the account gets the
    // synchronised settings once, whether or not anything changed.
    if (m_context.pushSettings) m_context.pushSettings();
}

void SettingsSection::refresh() {
    const QString titles[] = {L10n::settingsTabKeys(), L10n::settingsTabText(),
                              L10n::settingsTabAudio(), L10n::settingsTabApp()};
    for (int i = 0; i < 4; ++i) {
        // A tab title's "&" marks a shortcut letter; "Sound & view" means it.
        QString title = titles[i];
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        if (m_tabs->tabText(i) != title) m_tabs->setTabText(i, title);
    }
    m_keys->refresh();
    m_text->refresh();
    m_sound->refresh();
    m_app->refresh();
}
