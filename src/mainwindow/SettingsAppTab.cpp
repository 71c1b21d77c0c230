#include "mainwindow/SettingsAppTab.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QUrl>
#include <QVBoxLayout>

#include "core/L10n.h"
#include "mainwindow/SettingsBinding.h"
#include "mainwindow/SettingsLayout.h"
#include "platform/DebugLog.h"
#include "platform/SettingsStore.h"
#include "platform/linux/Autostart.h"
#include "service/HttpServiceConfig.h"
#include "ui/Labels.h"
#include "ui/Metrics.h"
#include "ui/Switch.h"
#include "ui/Texts.h"

QString SettingsAppTab::versionText() {
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral("?") : v;
}

QString SettingsAppTab::backendHost() {
    return QUrl(ServiceConfig::apiBase()).host();
}

SettingsAppTab::SettingsAppTab(const MainWindowContext& context, QWidget* parent)
    : QWidget(parent), m_context(context) {
    auto* layout = SettingsLayout::tabStack(this);

    m_app = new QGroupBox(this);
    auto* app = SettingsLayout::groupStack(m_app, 8);
    m_launchAtLogin = new Switch(m_app);
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLogin"));
    app->addWidget(m_launchAtLogin);
    auto* reports = new QVBoxLayout;
    reports->setSpacing(Metrics::lineGap);
    m_errorReports = new Switch(m_app);
    m_errorReports->setObjectName(QStringLiteral("sendErrorReports"));
    reports->addWidget(m_errorReports);
    auto* noteRow = new QHBoxLayout;
    noteRow->addSpacing(Metrics::pageMargin);
    m_errorReportsNote = SettingsLayout::caption(m_app);
    noteRow->addWidget(m_errorReportsNote);
    reports->addLayout(noteRow);
    app->addLayout(reports);
    layout->addWidget(m_app);

    m_about = new QGroupBox(this);
    auto* about = SettingsLayout::groupStack(m_about, 8);
    auto* versionRow = new QHBoxLayout;
    m_versionLabel = Labels::create({}, TextStyle::Body, m_about, true);
    m_version = Labels::create({}, TextStyle::Body, m_about);
    m_version->setObjectName(QStringLiteral("version"));
    m_version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    versionRow->addWidget(m_versionLabel);
    versionRow->addWidget(m_version);
    versionRow->addStretch();
    about->addLayout(versionRow);
    auto* backendRow = new QHBoxLayout;
    m_backendLabel = Labels::create({}, TextStyle::Body, m_about, true);
    m_backend = Labels::create({}, TextStyle::Caption, m_about);
    m_backend->setObjectName(QStringLiteral("backend"));
    backendRow->addWidget(m_backendLabel);
    backendRow->addWidget(m_backend);
    backendRow->addStretch();
    about->addLayout(backendRow);
    layout->addWidget(m_about);
    layout->addStretch();

    connect(m_launchAtLogin, &Switch::toggled, this, &SettingsAppTab::launchAtLoginChanged);
    SettingsBinding::writeOnToggle(m_errorReports, *m_context.settings,
                                   QStringLiteral("sendErrorReports"));
}

void SettingsAppTab::launchAtLoginChanged(bool on) {
    QString error;
    const bool done = on ? Autostart::enable(QCoreApplication::applicationFilePath(), &error)
                         : Autostart::disable(&error);
    if (done) {
        m_context.settings->set(QStringLiteral("launchAtLogin"), on);
        return;
    }
    debugLog(QStringLiteral("[Settings] SMAppService error: ") + error);
    // The system did not change: neither does the switch nor the key.
    const QSignalBlocker blocker(m_launchAtLogin);
    m_launchAtLogin->setChecked(!on);
}

void SettingsAppTab::refresh() {
    const SettingsStore& store = *m_context.settings;
    if (m_app->title() != L10n::settingsTabApp()) m_app->setTitle(L10n::settingsTabApp());
    {
        const QSignalBlocker blocker(m_launchAtLogin);
        m_launchAtLogin->setChecked(
            SettingsBinding::boolean(store, QStringLiteral("launchAtLogin")));
    }
    Texts::set(m_launchAtLogin, L10n::launchAtLogin());
    {
        const QSignalBlocker blocker(m_errorReports);
        m_errorReports->setChecked(
            SettingsBinding::boolean(store, QStringLiteral("sendErrorReports")));
    }
    Texts::set(m_errorReports, L10n::sendErrorReports());
    Texts::set(m_errorReportsNote, L10n::sendErrorReportsDesc());

    if (m_about->title() != L10n::about()) m_about->setTitle(L10n::about());
    Texts::set(m_versionLabel, L10n::version());
    Texts::set(m_version, versionText());
    Texts::set(m_backendLabel, L10n::backend());
    Texts::set(m_backend, backendHost());
}
