#include "app/AppServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QProcess>
#include <stdexcept>
#include <thread>

#include "app/AppDelegate.h"
#include "app/AppWindows.h"
#include "app/RemovableMedia.h"
#include "app/UpdateService.h"
#include "core/AppState.h"
#include "core/L10n.h"
#include "core/OverlayControl.h"
#include "overlay/OverlayWindowController.h"
#include "pipeline/AudioDuckingService.h"
#include "pipeline/AudioRecorderService.h"
#include "pipeline/BuiltinTonePromptStore.h"
#include "pipeline/HotkeyService.h"
#include "pipeline/InputSourceService.h"
#include "pipeline/KeyboardSimulator.h"
#include "pipeline/SoundService.h"
#include "pipeline/TextExpansionEngine.h"
#include "pipeline/TextPostProcessor.h"
#include "platform/Clock.h"
#include "platform/DebugLog.h"
#include "platform/InputAccess.h"
#include "platform/MicrophoneAccess.h"
#include "platform/NotificationCenter.h"
#include "platform/FrontmostApp.h"
#include "platform/Notifier.h"
#include "platform/Pasteboard.h"
#include "platform/PrivateFiles.h"
#include "platform/SecretStore.h"
#include "platform/SessionBackends.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"
#include "platform/linux/DBusNotifier.h"
#include "platform/linux/DesktopPortal.h"
#include "platform/linux/GlobalShortcutsPortal.h"
#include "platform/linux/SingleInstance.h"
#include "platform/pulse/PulseAudioCapture.h"
#include "platform/wayland/DataControlPasteboard.h"
#include "platform/wayland/ForeignToplevelFrontmostApp.h"
#include "platform/wayland/KWinFrontmostApp.h"
#include "platform/wayland/PortalKeySynthesizer.h"
#include "platform/wayland/VirtualKeyboardSynthesizer.h"
#include "platform/wayland/WaylandClient.h"
#include "platform/x11/X11OverlayWindow.h"
#include "platform/x11/X11Pasteboard.h"
#include "records/ClipboardHistoryService.h"
#include "records/HistoryService.h"
#include "records/RetryQueueService.h"
#include "records/SyncService.h"
#include "records/TextExpansionService.h"
#include "records/TranscriptDelivery.h"
#include "service/AuthError.h"
#include "service/AuthService.h"
#include "service/CrashHandler.h"
#include "service/ErrorReportService.h"
#include "service/TranscriptionService.h"
#include "windows/OnboardingView.h"

namespace {

// The user's dictionary and voice snippets, as the history store keeps them.
class HistoryReplacements : public TextReplacements {
public:
    QString applyDictionary(const QString& text) const override {
        return HistoryService::shared().applyDictionary(text);
    }
    QString applySnippets(const QString& text) const override {
        return HistoryService::shared().applySnippets(text);
    }
};

// The platform implementations live as long as the process: services made
// on first use hold references to them.
struct Platform {
    DBusNotifier notifier;
    X11Pasteboard pasteboard;
    X11Pasteboard primary{nullptr, nullptr, QClipboard::Selection};
    HistoryReplacements replacements;
    // The hotkeys of a Wayland session with the global shortcuts portal.
    std::unique_ptr<GlobalShortcutsPortal> desktopShortcuts;
    // The paste of a Wayland session: the clipboard through data-control
    // (KDE, wlroots) and the chord through the remote desktop portal.
    std::unique_ptr<DataControlPasteboard> dataControl;
    std::unique_ptr<PortalKeySynthesizer> portalKeys;
    // A connection of our own to the Wayland compositor, and the back ends
    // of a wlroots one on it.
    std::unique_ptr<WaylandClient> wayland;
    std::unique_ptr<VirtualKeyboardSynthesizer> virtualKeyboard;
    std::unique_ptr<ForeignToplevelFrontmostApp> toplevels;
    std::unique_ptr<DataControlPasteboard> wlrootsClipboard;
    // The focused application on KDE, told by a script of ours in KWin.
    std::unique_ptr<KWinFrontmostApp> kwinFrontmost;
    // The start-up translation of the tone prompts; asked to stop at quit
    // and never joined, so quitting does not wait for the network.
    std::jthread warmUp;
};

// The shipped desktop entry's id (ormil.desktop): the application's id for
// the portals.
const QString kDesktopEntryId = QStringLiteral("ormil");
// How the portals' host registry answered (for the log, once it is fresh).
QString g_hostRegistration;

// The session and the portals on its bus; the portals are asked only on a
// Wayland session, each answer bounded.
SessionEnvironment probeSession(Platform& platform) {
    SessionEnvironment session = SessionEnvironment::fromProcess();
    if (!session.isWayland()) return session;
    platform.wayland = std::make_unique<WaylandClient>();
    session.waylandGlobals = platform.wayland->globals();
    const QDBusConnection bus = QDBusConnection::sessionBus();
    constexpr int kPortalTimeoutMs = 3000;
    // The application's id first: the portals tie it to this connection at
    // its first call, and some refuse shortcuts to a program without one.
    QString error;
    if (DesktopPortal::registerHostApplication(bus, kDesktopEntryId, kPortalTimeoutMs, &error))
        g_hostRegistration = QStringLiteral("registered as ") + kDesktopEntryId;
    else
        g_hostRegistration = QStringLiteral("not used (%1)").arg(error);
    session.globalShortcutsVersion = DesktopPortal::interfaceVersion(
        bus, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), kPortalTimeoutMs);
    session.remoteDesktopVersion = DesktopPortal::interfaceVersion(
        bus, QStringLiteral("org.freedesktop.portal.RemoteDesktop"), kPortalTimeoutMs);
    return session;
}

void notifyHotkeysNeedTheDesktop() {
    Notifier::shared().notify(L10n::desktopHotkeysMissingTitle(),
                              L10n::desktopHotkeysMissingText());
}

// The hotkeys' key source for the session: X11 keys, or the desktop's
// global shortcuts portal offering the three shortcuts.
void installKeySource(const SessionBackends& backends, Platform& platform) {
    if (backends.hotkeys != SessionBackends::Hotkeys::globalShortcutsPortal) return;
    const auto shortcuts = [] {
        HotkeyService& h = HotkeyService::shared();
        QList<GlobalShortcutsPortal::Shortcut> list;
        list.append({QStringLiteral("dictation"), QStringLiteral("Hold to dictate"),
                     h.currentKeyCode(), h.currentModifiers(), h.currentIsModifierOnly()});
        if (h.translateKeyCode() >= 0)
            list.append({QStringLiteral("translation"),
                         QStringLiteral("Hold to dictate and translate"), h.translateKeyCode(),
                         h.translateModifiers(), h.translateIsModifierOnly()});
        if (h.pasteLastKeyCode() >= 0)
            list.append({QStringLiteral("paste-last"),
                         QStringLiteral("Paste the last transcription"), h.pasteLastKeyCode(),
                         h.pasteLastModifiers(), h.pasteLastIsModifierOnly()});
        return list;
    };
    platform.desktopShortcuts =
        std::make_unique<GlobalShortcutsPortal>(QDBusConnection::sessionBus(), shortcuts);
    QObject::connect(platform.desktopShortcuts.get(), &GlobalShortcutsPortal::failed,
                     [](const QString&, bool refused) {
                         if (refused)
                             Notifier::shared().notify(L10n::desktopHotkeysRefusedTitle(),
                                                       L10n::desktopHotkeysRefusedText());
                         else
                             notifyHotkeysNeedTheDesktop();
                     });
    KeyEventSource::setShared(platform.desktopShortcuts.get());
    GlobalShortcutsPortal::setCurrent(platform.desktopShortcuts.get());
}

// Where the paste and clipboard back ends of the session are chosen
// (backends.paste, backends.clipboard); an X11 session keeps XTest and the
// X11 clipboard.
void installPasteBackends(const SessionBackends& backends, Platform& platform) {
    Pasteboard* clipboard = &platform.pasteboard;
    if (backends.clipboard == SessionBackends::Clipboard::dataControl) {
        platform.dataControl = DataControlPasteboard::create();
        if (platform.dataControl)
            clipboard = platform.dataControl.get();
        else
            debugLog(QStringLiteral(
                "[Paste] no data-control on this desktop: the clipboard is X11's under XWayland, "
                "which Wayland windows see only while an X11 window has the focus"));
    }
    Pasteboard::setShared(clipboard);
    Pasteboard::setSharedPrimary(&platform.primary);
    // Without the portal at start-up it is asked again at the first paste,
    // which then says once that the keys cannot be pressed and leaves the
    // text on the clipboard (XTest would reach X11 windows alone).
    if (backends.paste == SessionBackends::Paste::remoteDesktopPortal ||
        (backends.wayland && backends.paste == SessionBackends::Paste::none)) {
        PortalKeySynthesizer::Options options;
        options.noticeTitle = L10n::remotePasteTitle();
        options.noticeBody = L10n::keysNotAllowedHint();
        platform.portalKeys = std::make_unique<PortalKeySynthesizer>(
            SettingsStore::shared(), platform.notifier, Clock::system(), options);
        KeySynthesizer::setShared(platform.portalKeys.get());
    }
}

// The desktop's back end for the focused application did not start: the
// Settings page says that per-app styles keep to X11 applications.
void focusedAppUntold() {
    SessionBackends backends = SessionBackends::current();
    backends.frontmost = SessionBackends::Frontmost::none;
    SessionBackends::setCurrent(backends);
}

// On a wlroots compositor: the paste chord through its virtual keyboard, the
// frontmost application from its list of toplevels, and the pill as an
// override-redirect window of XWayland (a managed one would be tiled and
// focused). Made after the launch emptied the log, which keeps their lines.
void installWlrootsBackends(const SessionBackends& backends, Platform& platform) {
    if (backends.paste != SessionBackends::Paste::virtualKeyboard || !platform.wayland) {
        // Only a wlroots compositor's back ends use the connection.
        platform.wayland.reset();
        return;
    }
    // The clipboard through data-control, set and read back without the
    // focus (unless the paste back ends already put it there).
    if (!dynamic_cast<DataControlPasteboard*>(&Pasteboard::shared())) {
        platform.wlrootsClipboard = DataControlPasteboard::create();
        if (platform.wlrootsClipboard) Pasteboard::setShared(platform.wlrootsClipboard.get());
    }
    platform.virtualKeyboard = std::make_unique<VirtualKeyboardSynthesizer>(*platform.wayland);
    if (platform.virtualKeyboard->isAvailable())
        KeySynthesizer::setShared(platform.virtualKeyboard.get());
    platform.toplevels = std::make_unique<ForeignToplevelFrontmostApp>(*platform.wayland);
    if (platform.toplevels->isAvailable()) {
        FrontmostApp::setShared(platform.toplevels.get());
    } else {
        focusedAppUntold();
    }
    OverlayWindowSystem::setBypassWindowManager(true);
    debugLog(QStringLiteral("[Session] wlroots compositor: the focused application from its list "
                            "of toplevels, the pill an override-redirect XWayland window"));
}

// On KDE: the focused application (and window) from KWin, through a script
// loaded into it for this run and taken out again at quit. Where KWin does
// not take it, per-app styles keep to X11 applications (said once, by the
// back end).
void installKWinFrontmost(Platform& platform) {
    if (SessionBackends::current().frontmost != SessionBackends::Frontmost::kwinScript) return;
    platform.kwinFrontmost = std::make_unique<KWinFrontmostApp>(KWinFrontmostApp::Options{});
    if (!platform.kwinFrontmost->isAvailable()) {
        platform.kwinFrontmost.reset();
        focusedAppUntold();
        return;
    }
    FrontmostApp::setShared(platform.kwinFrontmost.get());
    // After the remote-desktop dialog the paste waits for KWin to give the
    // focus back to the window it was asked in.
    if (platform.portalKeys) platform.portalKeys->setFocusSource(platform.kwinFrontmost.get());
    QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                     [&platform] { platform.kwinFrontmost->unload(); });
}

bool hasAccessToken() {
    return AuthService::shared().readToken(QStringLiteral("access_token")).token.has_value();
}

// The transcription client signs its requests with the account's token and
// shares the account's single refresh.
void wireTranscriptionClient() {
    TranscriptionService::Collaborators c;
    c.clock = &Clock::system();
    c.overlay = &OverlayControl::forwarding();
    c.appState = &AppState::shared();
    c.auth.accessToken = []() -> std::optional<QString> {
        return AuthService::shared().readToken(QStringLiteral("access_token")).token;
    };
    c.auth.refresh = []() -> std::optional<TranscriptionService::Auth::Failure> {
        try {
            AuthService::shared().refreshAccessToken();
            return std::nullopt;
        } catch (const AuthError& e) {
            const bool rejected = e.kind() == AuthError::Kind::noRefreshToken ||
                                  e.kind() == AuthError::Kind::sessionRejected;
            return TranscriptionService::Auth::Failure{rejected, e.errorDescription()};
        } catch (const std::exception& e) {
            return TranscriptionService::Auth::Failure{false, QString::fromUtf8(e.what())};
        }
    };
    c.toneOverride = [](const QString& tone) { return BuiltinTonePromptStore::override(tone); };
    TranscriptionService::setSharedCollaborators(std::move(c));
}

// The account synchronisation signs its requests with the account's token
// and shares the account's single refresh.
void wireSync() {
    SyncService::Collaborators c;
    c.baseURL = AuthService::shared().baseURL();
    c.send = [](const HttpRequest& request) { return HttpClient::shared().send(request); };
    c.account.accessToken = []() -> std::optional<QString> {
        return AuthService::shared().readToken(QStringLiteral("access_token")).token;
    };
    c.account.refreshAccessToken = [] { AuthService::shared().refreshAccessToken(); };
    c.account.loadUserInfo = [] { AuthService::shared().loadUserInfo(); };
    c.account.loadUsageStats = [] { AuthService::shared().loadUsageStats(); };
    c.rebuildMenu = [] {
        if (AppDelegate* delegate = AppDelegate::shared()) delegate->rebuildMenu();
    };
    // The local collections live on the main thread: made here, not by the
    // first exchange on a worker.
    c.settings = &SettingsStore::shared();
    c.history = &HistoryService::shared();
    c.textExpansions = &TextExpansionService::shared();
    SyncService::setSharedCollaborators(std::move(c));
    SyncService::shared();
}

void pushSettings() {
    SyncService::shared().pushSettings();
}

// The one way a transcript reaches the user, for a dictation and for a
// retry of a failed one.
TranscriptDelivery& transcriptDelivery() {
    static TranscriptDelivery* delivery = [] {
        TranscriptDelivery::Collaborators c;
        c.appState = &AppState::shared();
        c.overlay = &OverlayControl::forwarding();
        c.postProcess = [](const QString& text) {
            return TextPostProcessor::shared().process(text);
        };
        c.isProcessTrusted = [] { return InputAccess::shared().isTrusted(); };
        c.insertTextViaPasteboard = [](const QString& text) {
            KeyboardSimulator::shared().insertTextViaPasteboard(text);
        };
        c.copyToClipboard = [](const QString& text) { Pasteboard::shared().setString(text); };
        c.switchToMatchingLayout = [](const QString& text) {
            InputSourceService::shared().switchToMatchingLayout(text);
        };
        c.saveTranscription = [](const QString& text, const QString& language, double duration) {
            HistoryService::shared().saveTranscription(text, language, duration);
        };
        c.addClipboardTranscription = [](const QString& text) {
            ClipboardHistoryService::shared().addTranscription(text);
        };
        c.playSuccessSound = [] { SoundService::shared().playSuccessSound(); };
        c.playErrorSound = [] { SoundService::shared().playErrorSound(); };
        return new TranscriptDelivery(std::move(c));
    }();
    return *delivery;
}

// The failed dictations, made at the launch's first look at them (which
// comes after the launch emptied the log, keeping its lines).
RetryQueueService& retryQueue() {
    static RetryQueueService* queue = [] {
        auto* q = new RetryQueueService(
            RetryQueueService::defaultStorageDir(),
            RetryQueueService::Dependencies{
                [](const QByteArray& audio, const QString& language, const QString& provider,
                   const QString& toneStyle, const QString& format) {
                    // TranscriptionError's what() is its user-facing description.
                    return TranscriptionService::shared().transcribe(
                        audio, language, provider, toneStyle, format, std::nullopt);
                },
                [] { SoundService::shared().playErrorSound(); }, AppState::shared(),
                OverlayControl::forwarding(), Clock::system()});
        QObject::connect(q, &RetryQueueService::transcribed, &transcriptDelivery(),
                         &TranscriptDelivery::deliverRetry, Qt::DirectConnection);
        RetryQueueService::setShared(q);
        return q;
    }();
    return *queue;
}

// The recorder and everything its dispatch uses.
AudioRecorderService& wiredRecorder() {
    static AudioRecorderService* service = [] {
        AudioRecorderService::Collaborators c;
        c.clock = &Clock::system();
        c.appState = &AppState::shared();
        c.overlay = &OverlayControl::forwarding();
        c.sounds = &SoundService::shared();
        c.notifier = &Notifier::shared();
        c.makeRecorder = PulseAudioCapture::factory();
        c.microphoneStatus = [] { return int(MicrophoneAccess::shared().authorizationStatus()); };
        c.settings = &SettingsStore::shared();
        c.warmUpConnection = [] {
            TranscriptionService::shared().warmUpConnection();
            InputSourceService::shared().prepareForDictation();
        };
        c.beginStreaming = [] { TranscriptionService::shared().beginStreaming(); };
        c.streamWindow = [](const QByteArray& wav, int index, const QString& language,
                            const QString& provider, const std::optional<QString>& translateTo) {
            TranscriptionService::shared().streamWindow(wav, index, language, provider,
                                                        translateTo);
        };
        c.finishStreaming = [](const QString& toneStyle, const QString& language) {
            return TranscriptionService::shared().finishStreaming(toneStyle, language);
        };
        c.transcribe = [](const QByteArray& audioData, const QString& language,
                          const QString& provider, const QString& toneStyle, const QString& format,
                          const std::optional<QString>& translateTo) {
            return TranscriptionService::shared().transcribe(audioData, language, provider,
                                                             toneStyle, format, translateTo);
        };
        c.saveFailedTranscription = [](const QByteArray& audio, const QString& format,
                                       const QString& language, const QString& provider,
                                       const QString& tone, double duration, const QString& error) {
            return retryQueue().save(audio, format, language, provider, tone, duration, error);
        };
        c.reportError = [](const QString& category, const QString& code, const QString& message,
                           const QJsonObject& context) {
            ErrorReportService::shared().report(category, code, message, context);
        };
        auto* made = new AudioRecorderService(std::move(c));
        QObject::connect(made, &AudioRecorderService::transcribed, &transcriptDelivery(),
                         &TranscriptDelivery::deliverDictation, Qt::DirectConnection);
        return made;
    }();
    return *service;
}

void wireHotkeys(HotkeyService& hotkeys) {
    AudioRecorderService& recorder = wiredRecorder();
    QObject::connect(&hotkeys, &HotkeyService::recordingStartRequested, &recorder,
                     &AudioRecorderService::startRecording);
    QObject::connect(&hotkeys, &HotkeyService::recordingStopRequested, &recorder,
                     &AudioRecorderService::stopRecording);
    QObject::connect(&hotkeys, &HotkeyService::recordingCancelRequested, &recorder,
                     &AudioRecorderService::cancelRecording);
    // A new user's launch makes no history store, yet the dictionary is
    // applied to the text between key-up and paste: the store is opened
    // while the recording runs (after its start), not after the key is let go.
    QObject::connect(
        &hotkeys, &HotkeyService::recordingStartRequested, &recorder,
        [] { HistoryService::shared().isStoreLoaded(); }, Qt::QueuedConnection);
    HotkeyService::Collaborators c;
    c.duck = [] { AudioDuckingService::shared().duck(); };
    c.unduck = [] { AudioDuckingService::shared().unduck(); };
    c.soundEnabled = [] { return SoundService::shared().isEnabled(); };
    c.playSequence = [](const std::vector<HotkeyService::Tone>& tones) {
        SoundService::ToneSequence sequence;
        for (const auto& tone : tones) sequence.emplace_back(tone.frequency, tone.duration);
        SoundService::shared().playSequence(sequence);
    };
    c.insertTextViaPasteboard = [](const QString& text) {
        KeyboardSimulator::shared().insertTextViaPasteboard(text);
    };
    c.rebuildMenu = [] {
        if (AppDelegate* delegate = AppDelegate::shared()) delegate->rebuildMenu();
    };
    c.openEditorWindow = [] {
        if (WindowOpener* windows = WindowOpener::shared()) windows->openEditorWindow();
    };
    hotkeys.setCollaborators(std::move(c));
    // At the cap the recorder ends the recording alone; the hotkeys must give
    // the volume back and let the next press start a new one.
    QObject::connect(&recorder, &AudioRecorderService::recordingEndedAtCap, &hotkeys,
                     &HotkeyService::recordingEndedByRecorder);
}

StatusMenu::Hotkeys currentHotkeys() {
    HotkeyService& h = HotkeyService::shared();
    return {{h.currentKeyCode(), h.currentModifiers(), h.currentIsModifierOnly()},
            {h.translateKeyCode(), h.translateModifiers(), h.translateIsModifierOnly()},
            {h.pasteLastKeyCode(), h.pasteLastModifiers(), h.pasteLastIsModifierOnly()}};
}

// The five windows and the sign-in through a link, on the process-wide
// services.
AppWindows::Collaborators windowCollaborators() {
    AppWindows::Collaborators c;
    c.settings = &SettingsStore::shared();
    c.appState = &AppState::shared();
    c.clock = &Clock::system();
    c.pasteboard = &Pasteboard::shared();
    c.inputAccess = &InputAccess::shared();
    c.notifications = &NotificationCenter::shared();
    c.overlay = &OverlayControl::forwarding();
    c.frontmost = &FrontmostApp::shared();
    c.newestClipboardEntryIsDictation = []() -> std::optional<bool> {
        const auto& history = ClipboardHistoryService::shared().history();
        if (history.isEmpty()) return std::nullopt;
        return history.first().isTranscription;
    };
    c.insertTextViaPasteboard = [](const QString& text) {
        KeyboardSimulator::shared().insertTextViaPasteboard(text);
    };
    c.makeOnboardingWindow = [](std::function<void()> onFinish) {
        OnboardingView::Collaborators view;
        view.model = AppWindows::onboardingModel();
        view.hotkeyName = [] {
            HotkeyService& h = HotkeyService::shared();
            return HotkeyService::displayName(h.currentKeyCode(), h.currentModifiers(),
                                              h.currentIsModifierOnly());
        };
        return new OnboardingView(std::move(onFinish), std::move(view));
    };
    c.loginWithTelegramToken = [](const QString& token) {
        AuthService::shared().loginWithTelegramToken(token);
    };
    c.loadUsageStats = [] { AuthService::shared().loadUsageStats(); };
    // Called on a worker: waiting here never holds up the main thread.
    c.pullAll = [] { SyncService::shared().pullAll().wait(); };
    return c;
}

}  // namespace

const char* AppServices::version() {
    return ORMIL_VERSION;
}

int AppServices::run(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Ormil"));
    QApplication::setApplicationVersion(QString::fromLatin1(version()));
    QApplication::setQuitOnLastWindowClosed(false);

    const QStringList arguments = app.arguments().mid(1);
    SingleInstance instance(SingleInstance::defaultSocketPath(),
                            SingleInstance::currentIdentity(QString::fromLatin1(version())),
                            ProcessControl::system(), Clock::system());
    switch (instance.start(arguments)) {
        case SingleInstance::Outcome::handedOver:
            return 0;
        // The running copy stays; what this launch asked for was not done.
        case SingleInstance::Outcome::refused:
            return 1;
        case SingleInstance::Outcome::primary:
            break;
    }
    // Started from a medium: install, start the installed copy and leave.
    const QString bundle = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..");
    if (RemovableMedia::installIfLaunchedFromMedia(
            bundle, UpdateService::installedBundlePath(), RemovableMedia::defaultRoots(),
            [](const QString& program) { return QProcess::startDetached(program, {}); }))
        return 0;

    auto* platform = new Platform;
    Notifier::setShared(&platform->notifier);
    TextPostProcessor::setSharedReplacements(&platform->replacements);
    const SessionEnvironment session = probeSession(*platform);
    const SessionBackends backends = SessionBackends::choose(session);
    SessionBackends::setCurrent(backends);
    installKeySource(backends, *platform);
    installPasteBackends(backends, *platform);
    AuthService::installAsTokenReader();
    AppState::shared().loadAuthState();

    AppDelegate::Collaborators c;
    c.settings = &SettingsStore::shared();
    c.notifier = &Notifier::shared();
    c.notifications = &NotificationCenter::shared();
    c.microphone = &MicrophoneAccess::shared();
    c.inputAccess = &InputAccess::shared();
    c.menu.appState = &AppState::shared();
    c.menu.clock = &Clock::system();
    // The session's clipboard may be chosen later in the launch (wlroots).
    c.menu.pasteboard = &Pasteboard::forwarding();
    c.hasAccessToken = hasAccessToken;
    c.adoptLeftovers = [] {
        const SettingsStore& s = SettingsStore::shared();
        // Recordings are made in the private temporary folder; earlier
        // versions left theirs in the system's.
        const QString temp = PrivateFiles::temporaryDirectory();
        retryQueue().adoptLeftovers(
            {temp, QDir::tempPath()},
            s.string(QStringLiteral("recognitionLanguage")).value_or("ru"),
            s.string(QStringLiteral("provider")).value_or("openai"),
            s.string(QStringLiteral("toneStyle")).value_or("none"), temp);
    };
    c.errorReportStart = [] { ErrorReportService::shared().start(); };
    c.installCrashHook = [] { CrashHandler::install(ErrorReportService::shared()); };
    c.sessionSetup = [backends, platform] {
        installWlrootsBackends(backends, *platform);
        installKWinFrontmost(*platform);
    };
    // Made before the services that read WindowOpener::shared().
    AppWindows windows(windowCollaborators());
    WindowOpener::setShared(&windows);
    c.handleURL = [&windows](const QString& link) { windows.handleGetURLEvent(link); };
    c.showLoginWindow = [&windows] { windows.showLoginWindow(); };
    c.showOnboardingWindow = [&windows] { windows.showOnboardingWindow(); };
    c.openMainWindow = [&windows] { windows.openMainWindow(); };
    c.menu.openMainWindow = c.openMainWindow;
    c.menu.openSettings = [&windows] { windows.openSettings(); };
    wireTranscriptionClient();
    c.setupSync = wireSync;
    c.pullAll = [] { SyncService::shared().pullAll(); };
    c.menu.pushSettings = pushSettings;
    BuiltinTonePromptStore::Collaborators tones;
    tones.pushSettings = pushSettings;
    tones.hasAccessToken = hasAccessToken;
    tones.translateArbitraryText = [](const QString& text, const QString& target, bool literal,
                                      bool isRetry) {
        return TranscriptionService::shared().translateArbitraryText(text, target, literal,
                                                                     isRetry);
    };
    BuiltinTonePromptStore::setCollaborators(std::move(tones));
    c.warmUpTonePrompts = [platform] {
        platform->warmUp =
            std::jthread([](std::stop_token stop) { BuiltinTonePromptStore::warmUp(stop); });
        QObject::connect(qApp, &QCoreApplication::aboutToQuit,
                         [platform] { platform->warmUp.request_stop(); });
    };
    c.overlaySetup = [] { OverlayWindowController::shared().setup(); };
    // Made here, after the first-launch defaults: it reads its shortcuts
    // from the settings when it is created.
    c.hotkeySetup = [session, backends, platform] {
        debugLog(backends.describe(session));
        if (!g_hostRegistration.isEmpty())
            debugLog(QStringLiteral("[Session] Portal host registry: ") + g_hostRegistration);
        // (wlroots compositors list their windows, KWin tells a script of
        // ours; the others do not tell, and KWin's back end said why not.)
        const bool knowsFrontmost =
            (platform->toplevels && platform->toplevels->isAvailable()) || platform->kwinFrontmost;
        if (backends.wayland && !knowsFrontmost &&
            backends.frontmost != SessionBackends::Frontmost::kwinScript)
            debugLog(QStringLiteral(
                "[Styles] Wayland session: the desktop does not tell which application has the "
                "focus; per-app styles apply in X11 (XWayland) applications only"));
        if (backends.hotkeys == SessionBackends::Hotkeys::commandsOnly)
            notifyHotkeysNeedTheDesktop();
        wireHotkeys(HotkeyService::shared());
        HotkeyService::shared().setup();
    };
    c.runDictationCommand = [](const DictationCommand& command) {
        HotkeyService::shared().runCommand(command);
    };
    c.clipboardHistoryStart = [] { ClipboardHistoryService::shared().start(); };
    c.checkForUpdatesAfterDelay = [](double seconds) {
        UpdateService::shared().checkAfterDelay(seconds);
    };
    c.menu.checkForUpdates = [] {
        UpdateService::shared().setHasChecked(false);
        UpdateService::shared().checkForUpdates(true);
    };
    c.textExpansionStart = [wayland = backends.wayland] {
        // Under XWayland the keys of Wayland windows never reach an X11
        // client: expansion keeps working in X11 applications only.
        if (wayland)
            debugLog(QStringLiteral(
                "[TextExpansion] Wayland session: the desktop gives no application the keys "
                "typed in other windows; triggers expand in X11 (XWayland) applications only"));
        TextExpansionEngine::shared().start();
    };
    c.menu.hotkeys = currentHotkeys;
    c.menu.fetchTranscriptions = [](int limit, int offset) {
        return HistoryService::shared().fetchTranscriptions(limit, offset);
    };
    c.menu.clipboardHistory = [] {
        std::vector<StatusMenu::ClipboardEntry> entries;
        for (const auto& item : ClipboardHistoryService::shared().history())
            entries.push_back({item.text, item.timestamp, item.isTranscription});
        return entries;
    };
    c.menu.copyClipboardEntry = [](const QString& text) {
        ClipboardHistoryService::shared().copyToClipboard(text);
    };
    c.menu.insertTextViaPasteboard = [](const QString& text) {
        KeyboardSimulator::shared().insertTextViaPasteboard(text);
    };
    c.menu.quit = [] {
        // An X11 clipboard dies with its owner: put back what a paste
        // borrowed before leaving.
        KeyboardSimulator::shared().finishPendingRestore();
        QCoreApplication::quit();
    };

    AppDelegate delegate(std::move(c));
    MountWatcher mounts;
    QObject::connect(&mounts, &MountWatcher::mounted, [bundle](const QString& point) {
        if (!RemovableMedia::shouldQuitForMount(point, bundle)) return;
        debugLog(QStringLiteral("[App] Mounted ") + point +
                 QStringLiteral(" — quitting running instance to allow a clean install"));
        QCoreApplication::quit();
    });
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &delegate,
                     &AppDelegate::handleHandOver);
    delegate.applicationDidFinishLaunching();
    delegate.handleURLArguments(arguments);
    delegate.handleCommandArguments(arguments);
    const int code = app.exec();
    // Requests still running on the worker pool use process-wide services;
    // let them end before those are destroyed.
    waitForAsyncWork(3000);
    // Settings changed up to the end (by the quit itself too) reach the file.
    SettingsStore::shared().flush();
    return code;
}
