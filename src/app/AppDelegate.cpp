#include "app/AppDelegate.h"

#include <QCursor>
#include <QLocale>
#include <QSystemTrayIcon>
#include <QUrl>

#include "app/MenuBarIcon.h"
#include "core/L10n.h"
#include "platform/DebugLog.h"
#include "platform/InputAccess.h"
#include "platform/MicrophoneAccess.h"
#include "platform/NotificationCenter.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "records/SavedPromptTab.h"
#include "platform/Required.h"

namespace {

AppDelegate* g_shared = nullptr;

QString k(const char* key) {
    return QString::fromLatin1(key);
}

bool oneOf(const QString& code, std::initializer_list<const char*> codes) {
    for (const char* c : codes) {
        if (code == QLatin1String(c)) return true;
    }
    return false;
}

}  // namespace

AppDelegate::AppDelegate(Collaborators collaborators, QObject* parent)
    : QObject(parent), m_c(std::move(collaborators)) {
    requireCollaborators("AppDelegate", "settings", m_c.settings, "notifier", m_c.notifier,
                         "notifications", m_c.notifications, "microphone", m_c.microphone,
                         "inputAccess", m_c.inputAccess);
    if (!m_c.preferredLanguages)
        m_c.preferredLanguages = [] { return QLocale::system().uiLanguages(); };
    if (!m_c.hasAccessToken) m_c.hasAccessToken = [] { return false; };
    if (!m_c.runInBackground)
        m_c.runInBackground = [](std::function<void()> job) { runAsync(std::move(job)); };
    if (!m_c.trayAvailable)
        m_c.trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    if (!m_c.menu.settings) m_c.menu.settings = m_c.settings;
    if (!m_c.menu.inputAccess) m_c.menu.inputAccess = m_c.inputAccess;
}

AppDelegate::~AppDelegate() {
    if (g_shared == this) g_shared = nullptr;
}

AppDelegate* AppDelegate::shared() {
    return g_shared;
}

void AppDelegate::applicationDidFinishLaunching() {
    ORMIL_ASSERT_MAIN_THREAD();
    // Only one copy runs by now: SingleInstance handed over or took over
    // before the application was set up.
    g_shared = this;
    migrateTone();
    DebugLog::truncate();
    debugLog(QStringLiteral("[App] Ormil launching..."));
    // Earlier editors kept the saved prompts as text, which the account's
    // settings synchronisation never read.
    SavedPrompts::convertStoredText(*m_c.settings);
    if (m_c.errorReportStart) m_c.errorReportStart();
    if (m_c.installCrashHook) m_c.installCrashHook();
    if (m_c.sessionSetup) m_c.sessionSetup();
    if (m_c.setupSync) m_c.setupSync();
    setupFirstLaunchDefaults();
    if (m_c.adoptLeftovers) m_c.adoptLeftovers();
    connect(m_c.notifications, &NotificationCenter::ormilSessionExpired, this,
            &AppDelegate::onSessionExpired);
    debugLog(QStringLiteral("[App] Activation policy set"));
    createStatusItem();
    debugLog(QStringLiteral("[App] Status item created"));
    rebuildMenu();
    debugLog(QStringLiteral("[App] Menu built"));
    if (m_c.overlaySetup) m_c.overlaySetup();
    debugLog(QStringLiteral("[App] Overlay initialized"));
    if (m_c.hotkeySetup) m_c.hotkeySetup();
    debugLog(QStringLiteral("[App] Hotkey service initialized"));
    requestPermissions();
    debugLog(QStringLiteral("[App] Permission requests sent"));
    if (m_c.hasAccessToken()) {
        if (m_c.pullAll) m_c.pullAll();
        if (m_c.warmUpTonePrompts) m_c.warmUpTonePrompts();
    }
    if (m_c.clipboardHistoryStart) m_c.clipboardHistoryStart();
    if (m_c.textExpansionStart) m_c.textExpansionStart();
    if (m_c.checkForUpdatesAfterDelay) m_c.checkForUpdatesAfterDelay(5);
    showStartupWindowIfNeeded();
}

void AppDelegate::migrateTone() {
    SettingsStore& s = *m_c.settings;
    if (s.isString(k("toneStyle")) &&
        oneOf(*s.string(k("toneStyle")), {"cultured", "casual", "grammar"})) {
        s.set(k("toneStyle"), QStringLiteral("neutral"));
    }
}

void AppDelegate::setupFirstLaunchDefaults() {
    ORMIL_ASSERT_MAIN_THREAD();
    SettingsStore& s = *m_c.settings;
    if (s.boolean(k("firstLaunchDefaultsSet"))) {
        debugLog(QStringLiteral("[App] First launch defaults already set"));
        return;
    }
    debugLog(QStringLiteral("[App] First launch — setting smart defaults based on system locale"));
    const QStringList languages = m_c.preferredLanguages();
    const QString primary = languages.isEmpty() ? QStringLiteral("en") : languages.first();
    debugLog(QStringLiteral("[App] System languages: [") +
             (languages.isEmpty()
                  ? QString()
                  : QStringLiteral("\"") + languages.join(QStringLiteral("\", \"")) +
                        QStringLiteral("\"")) +
             QStringLiteral("], primary: ") + primary);
    // Region and script do not matter ("de-AT" is German).
    const QString code = primary.left(2).toLower();
    const QString interface = oneOf(code, {"en", "ru", "es", "fr", "de", "tr", "it", "pt", "pl",
                                           "uk", "ja", "ko", "zh", "hi", "ar"})
                                  ? code
                                  : QStringLiteral("en");
    const QString recognition =
        oneOf(code, {"ru", "en", "de", "fr", "es", "it", "pt", "zh", "ja", "ko"})
            ? code
            : QStringLiteral("en");
    const QString target =
        code == QLatin1String("en") ? QStringLiteral("ru") : QStringLiteral("en");
    s.setMany({{k("interfaceLanguage"), interface},
               {k("recognitionLanguage"), recognition},
               {k("translateTargetLanguage"), target},
               {k("translateKeyCode"), 54},
               {k("translateIsModifier"), true},
               {k("autoSwitchLayout"), true},
               {k("audioNormalization"), true},
               {k("firstLaunchDefaultsSet"), true}});
    debugLog(QStringLiteral("[App] Defaults set: interface=") + interface +
             QStringLiteral(" recognition=") + recognition + QStringLiteral(" translate=") +
             target + QStringLiteral(" autoSwitch=true translateHotkey=RightCommand"));
}

void AppDelegate::createStatusItem() {
    m_menu = std::make_unique<StatusMenu>(m_c.menu);
    if (!m_c.createTrayIcon) return;
    if (!m_c.trayAvailable()) {
        debugLog(QStringLiteral(
            "[App] No system tray found — running without a tray icon until one appears"));
    }
    m_statusItem = std::make_unique<QSystemTrayIcon>(MenuBarIcon::make());
    m_statusItem->setToolTip(QStringLiteral("Ormil"));
    m_statusItem->setContextMenu(m_menu->menu());
    // A left click opens the menu too, as the status item does.
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && m_menu && m_menu->menu())
                    m_menu->menu()->popup(QCursor::pos());
            });
    m_statusItem->show();
}

void AppDelegate::rebuildMenu() {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_menu) m_menu->rebuildMenu();
}

void AppDelegate::requestPermissions() {
    ORMIL_ASSERT_MAIN_THREAD();
    // The answer comes from the audio server and only gets logged: the
    // launch does not wait for it.
    m_c.runInBackground([microphone = m_c.microphone] {
        microphone->requestAccess([](bool granted) {
            debugLog(QStringLiteral("[App] Microphone access: ") +
                     (granted ? QStringLiteral("granted") : QStringLiteral("DENIED")));
        });
    });
    // Nothing to prompt for here: posting keys needs only XTest.
    debugLog(QStringLiteral("[App] Accessibility: ") + (m_c.inputAccess->isTrusted()
                                                            ? QStringLiteral("granted")
                                                            : QStringLiteral("NOT GRANTED")));
}

void AppDelegate::showStartupWindowIfNeeded() {
    ORMIL_ASSERT_MAIN_THREAD();
    SettingsStore& s = *m_c.settings;
    const bool hasSeenStartupWindow = s.boolean(k("hasSeenStartupWindow"));
    if (!m_c.hasAccessToken()) {
        debugLog(QStringLiteral("[App] Не авторизован — показываем окно входа"));
        if (m_c.showLoginWindow) m_c.showLoginWindow();
        s.set(k("hasSeenStartupWindow"), true);
        return;
    }
    if (!s.contains(k("openWindowOnLaunch"))) s.set(k("openWindowOnLaunch"), true);
    if (!s.boolean(k("hasSeenOnboarding"))) {
        debugLog(QStringLiteral("[App] Первый запуск — показываем онбординг"));
        if (m_c.showOnboardingWindow) m_c.showOnboardingWindow();
    } else if (!s.boolean(k("openWindowOnLaunch")) && hasSeenStartupWindow) {
        return;
    } else {
        debugLog(QStringLiteral("[App] Открываем главное окно при запуске"));
        if (m_c.openMainWindow) m_c.openMainWindow();
    }
    s.set(k("hasSeenStartupWindow"), true);
}

bool AppDelegate::applicationShouldHandleReopen() {
    ORMIL_ASSERT_MAIN_THREAD();
    debugLog(QStringLiteral("[App] Повторный запуск/клик по иконке — открываем окно"));
    if (m_c.hasAccessToken()) {
        if (m_c.openMainWindow) m_c.openMainWindow();
    } else if (m_c.showLoginWindow) {
        m_c.showLoginWindow();
    }
    return true;
}

bool AppDelegate::handleURLArguments(const QStringList& arguments) {
    ORMIL_ASSERT_MAIN_THREAD();
    bool sawLink = false;
    for (const QString& argument : arguments) {
        const QUrl url(argument);
        if (url.scheme().compare(QLatin1String("ormil"), Qt::CaseInsensitive) != 0) continue;
        sawLink = true;
        // The link carries a one-time sign-in token: log the link's kind only.
        debugLog(QStringLiteral("[App] Received URL: ormil://") + url.host());
        if (m_c.handleURL)
            m_c.handleURL(argument);
        else
            debugLog(QStringLiteral("[App] No handler for ormil links in this build"));
    }
    return sawLink;
}

void AppDelegate::handleHandOver(const QStringList& arguments) {
    ORMIL_ASSERT_MAIN_THREAD();
    const bool sawCommand = handleCommandArguments(arguments);
    const bool sawLink = handleURLArguments(arguments);
    if (!sawCommand && !sawLink) applicationShouldHandleReopen();
}

bool AppDelegate::handleCommandArguments(const QStringList& arguments) {
    ORMIL_ASSERT_MAIN_THREAD();
    const auto command = DictationCommand::fromArguments(arguments);
    if (!command) return false;
    if (m_c.runDictationCommand)
        m_c.runDictationCommand(*command);
    else
        debugLog(QStringLiteral("[App] No handler for dictation commands in this build"));
    return true;
}

void AppDelegate::onSessionExpired() {
    m_c.notifier->notify(L10n::sessionExpiredTitle(), L10n::sessionExpiredText());
    if (m_c.showLoginWindow) m_c.showLoginWindow();
}
