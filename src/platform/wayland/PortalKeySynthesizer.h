#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>
#include <deque>
#include <functional>

#include "platform/Clock.h"
#include "platform/KeySynthesizer.h"

class FocusedWindowSource;
class Notifier;
class SettingsStore;

// Keys pressed through the desktop's remote-desktop portal, for Wayland
// sessions where no client may press keys into another one. Keyboard only:
// each paste is one chord of key codes, never typed text. The portal session
// is made on the first paste and kept; the desktop may ask the user once (a
// persistent grant is asked for and its restore token kept in the settings
// under "remoteDesktopRestoreToken", so that later runs are not asked again).
// While the desktop waits for the user's answer, pastes queue; when the
// portal is missing or the user says no, one log line and one notice say so,
// and every paste of this run answers `leftOnClipboard`. Every D-Bus call is
// asynchronous and bounded. Main thread only.
class PortalKeySynthesizer : public QObject, public KeySynthesizer {
    Q_OBJECT
public:
    struct Options {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QString service = QStringLiteral("org.freedesktop.portal.Desktop");
        // The notice shown when the desktop does not let us press keys.
        QString noticeTitle;
        QString noticeBody;
        // How long the user may take over the desktop's dialog, and any
        // other call.
        double answerTimeout = 180;
        double callTimeout = 15;
    };
    PortalKeySynthesizer(SettingsStore& settings, Notifier& notifier, Clock& clock, Options options,
                         QObject* parent = nullptr);
    ~PortalKeySynthesizer() override;

    // Whether a paste may be tried: the desktop answers each one.
    bool isAvailable() const override { return true; }
    // A Wayland desktop does not tell a client which keys are held.
    bool modifiersHeld() const override { return false; }
    // Presses at once within a started session; false otherwise (and the
    // session is asked for, for the next one).
    bool postPaste(PasteChord chord) override;
    bool postBackspaces(int count) override;
    void postPasteWhenAllowed(PasteChord chord, std::function<void(PasteOutcome)> done) override;
    // Where the desktop tells which window has the focus: after its dialog
    // the keys wait until the window the first paste was asked in has the
    // focus again (at most kFocusReturnLimit), not a fixed pause.
    void setFocusSource(FocusedWindowSource* focus) { m_focus = focus; }

    static inline const QString kRestoreTokenKey = QStringLiteral("remoteDesktopRestoreToken");
    // A Start answered later than this showed a dialog; the keyboard focus
    // then needs a moment to return to the window the text is for (most
    // desktops tell no client where it went).
    static constexpr double kDialogShownAfter = 0.25;
    static constexpr double kFocusReturnDelay = 0.5;
    // Where the desktop tells, how long the keys wait for the focus to come
    // back before they go all the same.
    static constexpr double kFocusReturnLimit = 3;

    enum class State { idle, starting, started, refused };
    State state() const { return m_state; }

private:
    using Reply = std::function<void(uint code, const QVariantMap& results)>;
    void startSession();
    void request(const QString& method, QList<QVariant> args, QVariantMap options, double timeout,
                 Reply reply);
    void selectDevices(uint version);
    // True for a granted request; otherwise fails with what the step answered.
    bool granted(const char* step, uint code, const QVariantMap& results);
    void started(const QVariantMap& results);
    // `forThisRun`: no further pastes are tried until the next start (the
    // portal is missing or the user said no).
    void fail(const QString& why, bool forThisRun);
    void sessionClosed();
    void sendKeys(const QList<QPair<int, bool>>& keys);
    void sendNextKey();
    void dropUnsentKeys();
    void flushQueue();
    // After the dialog: the keys go once the focus is back where the paste
    // was asked.
    void waitForFocusBack();

    SettingsStore& m_settings;
    Notifier& m_notifier;
    Clock& m_clock;
    Options m_options;
    State m_state = State::idle;
    QString m_session;
    double m_startAskedAt = 0;
    bool m_noticeShown = false;
    int m_tokens = 0;
    ClockTimerPtr m_focusWait;
    FocusedWindowSource* m_focus = nullptr;
    QString m_target;  // the focused window when the session was asked for
    QMetaObject::Connection m_focusBack;
    // Keys not yet answered by the portal, the first one in flight.
    std::deque<QPair<int, bool>> m_keys;
    std::deque<std::pair<PasteChord, std::function<void(PasteOutcome)>>> m_queue;
};
