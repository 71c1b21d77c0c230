#include "platform/linux/GlobalShortcutsPortal.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QTimer>

#include "platform/DebugLog.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
// A request the desktop answers without asking the user; binding may wait on
// the user's dialog and has no such limit.
constexpr int kAnswerTimeoutMs = 30000;

// One shortcut on the wire: (s a{sv}).
struct WireShortcut {
    QString id;
    QVariantMap properties;
};
using WireShortcuts = QList<WireShortcut>;

QDBusArgument& operator<<(QDBusArgument& a, const WireShortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, WireShortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

}  // namespace

Q_DECLARE_METATYPE(WireShortcut)
Q_DECLARE_METATYPE(WireShortcuts)

namespace {

void registerTypes() {
    static const bool done = [] {
        qDBusRegisterMetaType<WireShortcut>();
        qDBusRegisterMetaType<WireShortcuts>();
        return true;
    }();
    Q_UNUSED(done);
}

QVariantMap mapOf(const QVariant& v) {
    if (v.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
    return v.toMap();
}

QString pathOf(const QVariant& v) {
    if (v.canConvert<QDBusObjectPath>()) return v.value<QDBusObjectPath>().path();
    return v.toString();
}

GlobalShortcutsPortal* g_current = nullptr;

}  // namespace

GlobalShortcutsPortal* GlobalShortcutsPortal::current() {
    return g_current;
}

void GlobalShortcutsPortal::setCurrent(GlobalShortcutsPortal* portal) {
    g_current = portal;
}

GlobalShortcutsPortal::GlobalShortcutsPortal(QDBusConnection bus,
                                             std::function<QList<Shortcut>()> shortcuts,
                                             QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_shortcutsSource(std::move(shortcuts)) {
    registerTypes();
}

GlobalShortcutsPortal::~GlobalShortcutsPortal() {
    if (g_current == this) g_current = nullptr;
}

bool GlobalShortcutsPortal::start(Callback callback) {
    m_callback = std::move(callback);
    m_running = true;
    const QList<Shortcut> wanted = m_shortcutsSource ? m_shortcutsSource() : QList<Shortcut>{};
    if (m_state == State::idle || (m_state == State::bound && wanted != m_shortcuts)) {
        m_shortcuts = wanted;
        bind();
    }
    return true;
}

void GlobalShortcutsPortal::stop() {
    m_running = false;
    m_active.clear();
}

void GlobalShortcutsPortal::bind() {
    m_state = State::binding;
    m_active.clear();
    if (!m_session.isEmpty()) {
        // New shortcuts: a new session under the same token replaces the
        // desktop's binding of the old one.
        m_bus.asyncCall(QDBusMessage::createMethodCall(
            kService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
            QStringLiteral("Close")));
        m_session.clear();
        createSession();
        return;
    }
    for (const char* signal : {"Activated", "Deactivated", "ShortcutsChanged"}) {
        const QString name = QLatin1String(signal);
        const char* slot = name == u"Activated"     ? SLOT(onActivated(QDBusMessage))
                           : name == u"Deactivated" ? SLOT(onDeactivated(QDBusMessage))
                                                    : SLOT(onShortcutsChanged(QDBusMessage));
        m_bus.connect(kService, kPath, kInterface, name, this, slot);
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    auto* versionCall = new QDBusPendingCallWatcher(m_bus.asyncCall(get, kAnswerTimeoutMs), this);
    connect(
        versionCall, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            QDBusPendingReply<QDBusVariant> reply = *w;
            if (reply.isError()) {
                fail(QStringLiteral("no GlobalShortcuts portal (%1)").arg(reply.error().name()));
                return;
            }
            m_version = reply.value().variant().toUInt();
            createSession();
        });
}

QVariant GlobalShortcutsPortal::shortcutList() const {
    WireShortcuts list;
    for (const Shortcut& s : m_shortcuts) {
        QVariantMap properties{{QStringLiteral("description"), s.description}};
        const QString trigger = KeyCodes::triggerText(s.keyCode, s.modifiers);
        if (!trigger.isEmpty()) properties.insert(QStringLiteral("preferred_trigger"), trigger);
        list.append({s.id, properties});
    }
    return QVariant::fromValue(list);
}

void GlobalShortcutsPortal::createSession() {
    QStringList offered;
    for (const Shortcut& s : m_shortcuts)
        offered << s.id + "=" + KeyCodes::triggerText(s.keyCode, s.modifiers);
    debugLog(QStringLiteral("[Hotkey] GlobalShortcuts portal v%1: binding %2")
                 .arg(m_version)
                 .arg(offered.join(QStringLiteral(", "))));
    // Some desktops bind only the shortcuts a session is created with; the
    // option is ignored by the others.
    request(QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), QLatin1String(sessionToken)},
             {QStringLiteral("shortcuts"), shortcutList()}},
            [this](uint code, const QVariantMap& results) {
                m_session = pathOf(results.value(QStringLiteral("session_handle")));
                if (code != 0 || m_session.isEmpty()) {
                    fail(QStringLiteral("CreateSession answered %1").arg(code));
                    return;
                }
                bindShortcuts();
            });
}

void GlobalShortcutsPortal::bindShortcuts() {
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), shortcutList(), QString()}, {},
            [this](uint code, const QVariantMap& results) {
                if (code != 0) {
                    // The user turned the desktop's dialog down.
                    fail(QStringLiteral("BindShortcuts answered %1").arg(code), true);
                    return;
                }
                m_state = State::bound;
                readShortcuts(results.value(QStringLiteral("shortcuts")));
                // Some desktops answer the binding without its result.
                request(QStringLiteral("ListShortcuts"),
                        {QVariant::fromValue(QDBusObjectPath(m_session))}, {},
                        [this](uint listCode, const QVariantMap& listed) {
                            if (listCode == 0)
                                readShortcuts(listed.value(QStringLiteral("shortcuts")));
                        });
            });
}

void GlobalShortcutsPortal::configureShortcuts() {
    if (m_session.isEmpty()) {
        debugLog(
            QStringLiteral("[Hotkey] No portal session: the desktop's shortcut settings "
                           "cannot be opened from here"));
        return;
    }
    if (m_version >= 2) {
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                           QStringLiteral("ConfigureShortcuts"));
        call << QVariant::fromValue(QDBusObjectPath(m_session)) << QString() << QVariantMap{};
        m_bus.asyncCall(call);
        return;
    }
    // Before ConfigureShortcuts, binding again is what brings up the
    // desktop's dialog or shortcut settings.
    bindShortcuts();
}

void GlobalShortcutsPortal::request(const QString& method, QList<QVariant> arguments,
                                    QVariantMap options, Handler handler) {
    const QString token = QStringLiteral("ormil%1").arg(++m_requestCount);
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString path = kPath + QStringLiteral("/request/") + sender + "/" + token;
    options.insert(QStringLiteral("handle_token"), token);
    // Subscribed before the call: the answer may come before the reply.
    m_bus.connect(kService, path, kRequest, QStringLiteral("Response"), this,
                  SLOT(onResponse(QDBusMessage)));
    m_pending.insert(path, std::move(handler));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    arguments << options;
    call.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path, method](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (reply.isError()) {
                    m_pending.remove(path);
                    fail(method + ": " + reply.error().message());
                    return;
                }
                const QString handle = reply.value().path();
                if (handle != path && m_pending.contains(path)) {
                    // An older portal names the request itself.
                    m_bus.connect(kService, handle, kRequest, QStringLiteral("Response"), this,
                                  SLOT(onResponse(QDBusMessage)));
                    m_pending.insert(handle, m_pending.take(path));
                }
            });
    if (method != u"BindShortcuts")
        QTimer::singleShot(kAnswerTimeoutMs, this, [this, path, method] {
            if (m_pending.remove(path)) fail(method + QStringLiteral(": no answer"));
        });
}

void GlobalShortcutsPortal::onResponse(const QDBusMessage& message) {
    m_bus.disconnect(kService, message.path(), kRequest, QStringLiteral("Response"), this,
                     SLOT(onResponse(QDBusMessage)));
    const Handler handler = m_pending.take(message.path());
    const QList<QVariant> args = message.arguments();
    if (!handler || args.size() < 2) return;
    handler(args[0].toUInt(), mapOf(args[1]));
}

void GlobalShortcutsPortal::readShortcuts(const QVariant& value) {
    if (!value.canConvert<QDBusArgument>()) return;
    const auto list = qdbus_cast<WireShortcuts>(value.value<QDBusArgument>());
    QMap<QString, QString> triggers;
    for (const WireShortcut& s : list) {
        const QString trigger =
            s.properties.value(QStringLiteral("trigger_description")).toString();
        if (!trigger.isEmpty()) triggers.insert(s.id, trigger);
    }
    if ((list.isEmpty() && !m_triggers.isEmpty()) || triggers == m_triggers) return;
    QStringList bound;
    for (auto it = triggers.cbegin(); it != triggers.cend(); ++it)
        bound << it.key() + "=" + it.value();
    debugLog(QStringLiteral("[Hotkey] Desktop bound: ") +
             (bound.isEmpty() ? QStringLiteral("nothing yet") : bound.join(QStringLiteral(", "))));
    m_triggers = triggers;
    emit boundChanged();
}

void GlobalShortcutsPortal::onActivated(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || pathOf(args[0]) != m_session) return;
    deliver(args[1].toString(), true);
}

void GlobalShortcutsPortal::onDeactivated(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || pathOf(args[0]) != m_session) return;
    deliver(args[1].toString(), false);
}

void GlobalShortcutsPortal::onShortcutsChanged(const QDBusMessage& message) {
    const QList<QVariant> args = message.arguments();
    if (args.size() < 2 || pathOf(args[0]) != m_session) return;
    readShortcuts(args[1]);
}

void GlobalShortcutsPortal::deliver(const QString& id, bool down) {
    // A held key repeats its activation; only the first is the press.
    if (down == m_active.contains(id)) return;
    if (down)
        m_active.insert(id);
    else
        m_active.remove(id);
    if (!m_running || !m_callback) return;
    for (const Shortcut& s : m_shortcuts) {
        if (s.id != id) continue;
        KeyEvent e;
        e.keyCode = s.keyCode;
        e.keyIsDown = down;
        if (s.modifierOnly && s.modifiers == 0) {
            e.type = KeyEventType::flagsChanged;
            e.flags = down ? KeyCodes::modifierFlag(s.keyCode) : 0;
        } else {
            e.type = down ? KeyEventType::keyDown : KeyEventType::keyUp;
            e.flags = s.modifiers;
        }
        m_callback(e);
        return;
    }
}

void GlobalShortcutsPortal::fail(const QString& reason, bool refused) {
    if (m_state == State::failed || m_state == State::refused) return;
    m_state = refused ? State::refused : State::failed;
    debugLog(QStringLiteral("[Hotkey] GlobalShortcuts portal unavailable: ") + reason +
             QStringLiteral(" — hotkeys work only through commands bound by the desktop "
                            "(ormil --toggle-dictation)"));
    emit failed(reason, refused);
}
