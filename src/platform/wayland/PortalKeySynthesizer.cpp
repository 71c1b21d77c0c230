#include "platform/wayland/PortalKeySynthesizer.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include "platform/DebugLog.h"
#include "platform/FocusedWindowSource.h"
#include "platform/Notifier.h"
#include "platform/SettingsStore.h"
#include "platform/Threading.h"

namespace {
const QString kDesktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
// The portal makes a session's and a request's object path from the caller's
// bus name and the token: the global shortcuts, on the same connection, have
// tokens of their own, and a session of the same path cannot be made twice.
const QString kToken = QStringLiteral("ormil_keys");

// The portal's answers: 0 granted, 1 the user said no, 2 anything else; ours
// for a request that got no answer in time or could not be made.
constexpr uint kGranted = 0;
constexpr uint kCancelledByUser = 1;
constexpr uint kNoAnswer = 100;
constexpr uint kCallFailed = 101;

constexpr uint kKeyboard = 1;             // device type
constexpr uint kPersistUntilRevoked = 2;  // persist_mode

// Linux input key codes: the chords use the keys' positions, as a keyboard
// sends them.
constexpr int kLeftCtrl = 29;
constexpr int kLeftShift = 42;
constexpr int kV = 47;
constexpr int kInsert = 110;
constexpr int kBackspace = 14;

QList<QPair<int, bool>> chordKeys(KeySynthesizer::PasteChord chord) {
    using Chord = KeySynthesizer::PasteChord;
    switch (chord) {
        case Chord::ShiftInsert:
            return {{kLeftShift, true}, {kInsert, true}, {kInsert, false}, {kLeftShift, false}};
        case Chord::ControlShiftV:
            return {{kLeftCtrl, true}, {kLeftShift, true},  {kV, true},
                    {kV, false},       {kLeftShift, false}, {kLeftCtrl, false}};
        case Chord::ControlV:
            break;
    }
    return {{kLeftCtrl, true}, {kV, true}, {kV, false}, {kLeftCtrl, false}};
}

QString pathText(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    return value.toString();
}
}  // namespace

// One portal request: its Response signal, or our deadline, whichever comes
// first, answers it once.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::function<void(uint, const QVariantMap&)> reply;
    ClockTimerPtr deadline;
    QDBusConnection bus{QString()};
    QString service;
    QString path;
    bool answered = false;

    void answer(uint code, const QVariantMap& results) {
        if (answered) return;
        answered = true;
        if (deadline) deadline->cancel();
        bus.disconnect(service, path, kRequest, QStringLiteral("Response"), this,
                       SLOT(response(uint, QVariantMap)));
        deleteLater();
        reply(code, results);
    }

public slots:
    void response(uint code, const QVariantMap& results) { answer(code, results); }
};

// The Closed signal of our session.
class PortalSessionWatch : public QObject {
    Q_OBJECT
public:
    std::function<void()> onClosed;
public slots:
    void closed(const QVariantMap&) {
        if (onClosed) onClosed();
    }
};

PortalKeySynthesizer::PortalKeySynthesizer(SettingsStore& settings, Notifier& notifier,
                                           Clock& clock, Options options, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_notifier(notifier),
      m_clock(clock),
      m_options(std::move(options)) {}

PortalKeySynthesizer::~PortalKeySynthesizer() {
    if (!m_session.isEmpty())
        m_options.bus.asyncCall(QDBusMessage::createMethodCall(m_options.service, m_session,
                                                               kSession, QStringLiteral("Close")));
}

void PortalKeySynthesizer::postPasteWhenAllowed(PasteChord chord,
                                                std::function<void(PasteOutcome)> done) {
    ORMIL_ASSERT_MAIN_THREAD();
    switch (m_state) {
        case State::started:
            sendKeys(chordKeys(chord));
            done(PasteOutcome::posted);
            return;
        case State::refused:
            debugLog(QStringLiteral("[Paste] keys not allowed: the text stays on the clipboard"));
            done(PasteOutcome::leftOnClipboard);
            return;
        case State::idle:
        case State::starting:
            break;
    }
    m_queue.emplace_back(chord, std::move(done));
    // A paste that came while we waited for the focus to come back keeps its
    // place behind the ones before it.
    if (m_state == State::idle) startSession();
}

bool PortalKeySynthesizer::postPaste(PasteChord chord) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_state == State::started && m_queue.empty()) {
        sendKeys(chordKeys(chord));
        return true;
    }
    if (m_state == State::idle) startSession();
    return false;
}

bool PortalKeySynthesizer::postBackspaces(int count) {
    ORMIL_ASSERT_MAIN_THREAD();
    if (m_state != State::started || !m_queue.empty()) {
        if (m_state == State::idle) startSession();
        return false;
    }
    QList<QPair<int, bool>> keys;
    for (int i = 0; i < count; ++i)
        keys << qMakePair(kBackspace, true) << qMakePair(kBackspace, false);
    sendKeys(keys);
    return true;
}

void PortalKeySynthesizer::request(const QString& method, QList<QVariant> args, QVariantMap options,
                                   double timeout, Reply reply) {
    const QString token = QStringLiteral("%1%2").arg(kToken).arg(++m_tokens);
    QString sender = m_options.bus.baseService().mid(1);
    sender.replace('.', '_');
    auto* r = new PortalRequest(this);
    r->reply = std::move(reply);
    r->bus = m_options.bus;
    r->service = m_options.service;
    r->path = kDesktopPath + QStringLiteral("/request/") + sender + '/' + token;
    // Listening before asking: the answer may come before the call returns.
    m_options.bus.connect(r->service, r->path, kRequest, QStringLiteral("Response"), r,
                          SLOT(response(uint, QVariantMap)));
    r->deadline = m_clock.schedule(timeout, r, [r] { r->answer(kNoAnswer, {}); });
    options.insert(QStringLiteral("handle_token"), token);
    args << options;
    QDBusMessage call =
        QDBusMessage::createMethodCall(m_options.service, kDesktopPath, kRemoteDesktop, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(
        m_options.bus.asyncCall(call, static_cast<int>(timeout * 1000)), r);
    connect(watcher, &QDBusPendingCallWatcher::finished, r, [r](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError())
            r->answer(kCallFailed,
                      {{QStringLiteral("error"),
                        w->error().name() + QStringLiteral(": ") + w->error().message()}});
    });
}

void PortalKeySynthesizer::startSession() {
    m_state = State::starting;
    m_target = m_focus ? m_focus->focusedWindowKey() : QString();
    // The interface's version tells whether a grant can persist; asking for
    // it also finds out, without a dialog, whether the portal is there.
    QDBusMessage get = QDBusMessage::createMethodCall(
        m_options.service, kDesktopPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({kRemoteDesktop, QStringLiteral("version")});
    auto* watcher = new QDBusPendingCallWatcher(
        m_options.bus.asyncCall(get, static_cast<int>(m_options.callTimeout * 1000)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (w->isError() || reply.arguments().isEmpty()) {
            fail(QStringLiteral("no remote-desktop portal (") + w->error().name() + ')', true);
            return;
        }
        const uint version = reply.arguments().first().value<QDBusVariant>().variant().toUInt();
        request(
            QStringLiteral("CreateSession"), {}, {{QStringLiteral("session_handle_token"), kToken}},
            m_options.callTimeout, [this, version](uint code, const QVariantMap& results) {
                if (!granted("CreateSession", code, results)) return;
                m_session = pathText(results.value(QStringLiteral("session_handle")));
                auto* watch = new PortalSessionWatch;
                watch->setParent(this);
                watch->onClosed = [this, watch] {
                    m_options.bus.disconnect(m_options.service, m_session, kSession,
                                             QStringLiteral("Closed"), watch,
                                             SLOT(closed(QVariantMap)));
                    watch->deleteLater();
                    sessionClosed();
                };
                m_options.bus.connect(m_options.service, m_session, kSession,
                                      QStringLiteral("Closed"), watch, SLOT(closed(QVariantMap)));
                selectDevices(version);
            });
    });
}

void PortalKeySynthesizer::selectDevices(uint version) {
    QVariantMap options{{QStringLiteral("types"), kKeyboard}};
    // Persistent grants came with the interface's second version.
    if (version >= 2) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        if (const auto token = m_settings.string(kRestoreTokenKey); token && !token->isEmpty())
            options.insert(QStringLiteral("restore_token"), *token);
    }
    request(QStringLiteral("SelectDevices"), {QVariant::fromValue(QDBusObjectPath(m_session))},
            options, m_options.callTimeout, [this](uint code, const QVariantMap& results) {
                if (!granted("SelectDevices", code, results)) return;
                debugLog(
                    QStringLiteral("[Paste] asking the desktop to let Ormil press the paste keys"));
                m_startAskedAt = m_clock.now();
                request(QStringLiteral("Start"),
                        {QVariant::fromValue(QDBusObjectPath(m_session)), QString()}, {},
                        m_options.answerTimeout, [this](uint code, const QVariantMap& results) {
                            if (granted("Start", code, results)) started(results);
                        });
            });
}

bool PortalKeySynthesizer::granted(const char* step, uint code, const QVariantMap& results) {
    if (code == kGranted) return true;
    const bool userSaidNo = code == kCancelledByUser;
    fail(userSaidNo ? QStringLiteral("the user did not allow it")
                    : QStringLiteral("%1 answered %2 %3")
                          .arg(QLatin1String(step))
                          .arg(code)
                          .arg(results.value(QStringLiteral("error")).toString()),
         userSaidNo);
    return false;
}

void PortalKeySynthesizer::started(const QVariantMap& results) {
    if (!(results.value(QStringLiteral("devices")).toUInt() & kKeyboard)) {
        fail(QStringLiteral("the desktop granted no keyboard"), true);
        return;
    }
    const QString token = results.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty()) m_settings.set(kRestoreTokenKey, token);
    m_state = State::started;
    const bool dialogShown = m_clock.now() - m_startAskedAt >= kDialogShownAfter;
    debugLog(QStringLiteral("[Paste] remote-desktop portal session started%1")
                 .arg(dialogShown ? QStringLiteral(" after the user's answer") : QString()));
    if (dialogShown)
        waitForFocusBack();
    else
        flushQueue();
}

void PortalKeySynthesizer::waitForFocusBack() {
    if (!m_focus || m_target.isEmpty()) {
        m_focusWait = m_clock.schedule(kFocusReturnDelay, this, [this] { flushQueue(); });
        return;
    }
    if (m_focus->focusedWindowKey() == m_target) {
        flushQueue();
        return;
    }
    m_focusBack = connect(m_focus, &FocusedWindowSource::focusedWindowChanged, this, [this] {
        if (m_focus->focusedWindowKey() == m_target) flushQueue();
    });
    m_focusWait = m_clock.schedule(kFocusReturnLimit, this, [this] {
        debugLog(QStringLiteral(
            "[Paste] the focus did not come back to the window of the paste: the keys go now"));
        flushQueue();
    });
}

void PortalKeySynthesizer::flushQueue() {
    disconnect(m_focusBack);
    if (m_focusWait) m_focusWait->cancel();
    m_focusWait.reset();
    while (!m_queue.empty() && m_state == State::started) {
        auto [chord, done] = std::move(m_queue.front());
        m_queue.pop_front();
        sendKeys(chordKeys(chord));
        done(PasteOutcome::posted);
    }
}

void PortalKeySynthesizer::fail(const QString& why, bool forThisRun) {
    if (!m_session.isEmpty())
        m_options.bus.asyncCall(QDBusMessage::createMethodCall(m_options.service, m_session,
                                                               kSession, QStringLiteral("Close")));
    m_session.clear();
    dropUnsentKeys();
    m_state = forThisRun ? State::refused : State::idle;
    debugLog(QStringLiteral("[Paste] the desktop does not let Ormil press keys (") + why +
             QStringLiteral("): dictated text stays on the clipboard"));
    if (!m_noticeShown && !m_options.noticeTitle.isEmpty()) {
        m_noticeShown = true;
        m_notifier.notify(m_options.noticeTitle, m_options.noticeBody);
    }
    auto queue = std::move(m_queue);
    m_queue.clear();
    for (auto& [chord, done] : queue) done(PasteOutcome::leftOnClipboard);
}

void PortalKeySynthesizer::sessionClosed() {
    debugLog(QStringLiteral("[Paste] the desktop ended the remote-desktop portal session"));
    m_session.clear();
    dropUnsentKeys();
    disconnect(m_focusBack);
    if (m_focusWait) m_focusWait->cancel();
    m_focusWait.reset();
    if (m_state == State::refused) return;
    m_state = State::idle;
    // Pastes that waited for it ask for a new one.
    if (!m_queue.empty()) startSession();
}

void PortalKeySynthesizer::dropUnsentKeys() {
    // The rest of a chord whose session ended is not sent into the next
    // session: a V without its Control would type a letter there. The key
    // in flight keeps its place until its answer comes.
    if (m_keys.size() > 1) m_keys.erase(m_keys.begin() + 1, m_keys.end());
}

void PortalKeySynthesizer::sendKeys(const QList<QPair<int, bool>>& keys) {
    const bool idle = m_keys.empty();
    for (const auto& key : keys) m_keys.push_back(key);
    if (idle) sendNextKey();
}

void PortalKeySynthesizer::sendNextKey() {
    // One key after the other's answer: the portal may handle calls that
    // are in flight together in any order, and a release overtaking its
    // press leaves a key held.
    if (m_keys.empty()) return;
    const auto [code, press] = m_keys.front();
    QDBusMessage call = QDBusMessage::createMethodCall(
        m_options.service, kDesktopPath, kRemoteDesktop, QStringLiteral("NotifyKeyboardKeycode"));
    call.setArguments({QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap(), code,
                       uint(press ? 1 : 0)});
    auto* watcher = new QDBusPendingCallWatcher(
        m_options.bus.asyncCall(call, static_cast<int>(m_options.callTimeout * 1000)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (w->isError())
            debugLog(QStringLiteral("[Paste] a key through the portal failed: ") +
                     w->error().message());
        if (!m_keys.empty()) m_keys.pop_front();
        sendNextKey();
    });
}

#include "PortalKeySynthesizer.moc"
