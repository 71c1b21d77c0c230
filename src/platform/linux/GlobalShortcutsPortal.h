#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantMap>
#include <functional>

#include "platform/KeyEventSource.h"

class QDBusMessage;
class QDBusPendingCall;

// The hotkeys of a Wayland session, through the desktop's global shortcuts
// portal: each of the application's shortcuts is offered to the desktop
// (its stored combination as the preferred trigger), the desktop asks the
// user to confirm it, and its activation and deactivation come back as the
// press and release of the stored key, so the hotkey service handles them
// exactly as X11 key events.
//
// Every D-Bus call is asynchronous; a missing portal or a refusal ends in
// one log line and failed(), never in a wait.
class GlobalShortcutsPortal : public QObject, public KeyEventSource {
    Q_OBJECT
public:
    struct Shortcut {
        QString id;  // "dictation", "translation", "paste-last"
        QString description;
        qint64 keyCode = -1;
        quint64 modifiers = 0;
        bool modifierOnly = false;
        bool operator==(const Shortcut&) const = default;
    };
    // refused: the user turned the desktop's confirmation down (Change asks
    // again); failed: no portal, or it did not work.
    enum class State { idle, binding, bound, refused, failed };

    // The session token the portal keys the binding by: the same on every
    // run, so the desktop keeps one set of shortcuts for the application.
    static constexpr const char* sessionToken = "ormil";

    // shortcuts: the current shortcuts, read at every start(). Start-up has
    // told the portals the application's id before this is made.
    GlobalShortcutsPortal(QDBusConnection bus, std::function<QList<Shortcut>()> shortcuts,
                          QObject* parent = nullptr);
    ~GlobalShortcutsPortal() override;

    // Binds the shortcuts (once, and again when they changed) and delivers
    // their presses. True at once: the binding goes on in the background.
    bool start(Callback callback) override;
    void stop() override;
    bool isRunning() const override { return m_running; }

    State state() const { return m_state; }
    // The portal interface's version (0 before it is known).
    uint version() const { return m_version; }
    // What the desktop bound, by shortcut id ("Ctrl+Alt+D"); a shortcut the
    // desktop has not bound is absent.
    QMap<QString, QString> boundTriggers() const { return m_triggers; }
    // Opens the desktop's own settings of the application's shortcuts.
    void configureShortcuts();

    // The process's portal source on a Wayland session that has the portal;
    // null elsewhere.
    static GlobalShortcutsPortal* current();
    static void setCurrent(GlobalShortcutsPortal* portal);

signals:
    void boundChanged();
    // The portal is missing or failed (refused: the user turned the
    // desktop's confirmation down): hotkeys are not available this way.
    void failed(const QString& reason, bool refused);

private slots:
    void onResponse(const QDBusMessage& message);
    void onActivated(const QDBusMessage& message);
    void onDeactivated(const QDBusMessage& message);
    void onShortcutsChanged(const QDBusMessage& message);

private:
    using Handler = std::function<void(uint code, const QVariantMap& results)>;
    void bind();
    void createSession();
    void bindShortcuts();
    // Calls a portal method that answers through a Request object.
    void request(const QString& method, QList<QVariant> arguments, QVariantMap options,
                 Handler handler);
    void fail(const QString& reason, bool refused = false);
    void readShortcuts(const QVariant& value);
    void deliver(const QString& id, bool down);
    QVariant shortcutList() const;

    QDBusConnection m_bus;
    std::function<QList<Shortcut>()> m_shortcutsSource;
    QList<Shortcut> m_shortcuts;  // as offered to the desktop
    Callback m_callback;
    bool m_running = false;
    State m_state = State::idle;
    uint m_version = 0;
    QString m_session;
    int m_requestCount = 0;
    QHash<QString, Handler> m_pending;  // request path -> its answer's handler
    QMap<QString, QString> m_triggers;
    QSet<QString> m_active;
};
