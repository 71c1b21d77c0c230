#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QString>
#include <mutex>

#include "platform/FocusedWindowSource.h"
#include "platform/FrontmostApp.h"

// The application of the window KWin has activated, for a Wayland session on
// KDE, where no client is told which window has the focus. A small script
// loaded into KWin's scripting (org.kde.kwin.Scripting) follows the
// activation and calls back into this object on the session bus with the
// window's resource name and class, its desktop entry, its process and
// KWin's id of it; only calls from KWin's own connection are taken. The
// script is unloaded again by unload() (at quit) or the destructor. Main
// thread, except identity(), which may be called from any.
class KWinFrontmostApp : public FocusedWindowSource, public FrontmostApp, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.ormil.FocusedWindow")
public:
    struct Options {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QString service = QStringLiteral("org.kde.KWin");
        // Each call to KWin; start-up waits for them.
        int callTimeoutMs = 2000;
    };
    // Loads and runs the script; isAvailable() tells whether that worked,
    // and a log line says why it did not.
    explicit KWinFrontmostApp(Options options, QObject* parent = nullptr);
    ~KWinFrontmostApp() override;

    bool isAvailable() const { return m_loaded; }
    std::optional<Identity> identity() const override;
    // KWin's id of the activated window.
    QString focusedWindowKey() const override { return m_window; }
    // Takes the script out of KWin (once; later calls do nothing).
    void unload();

    static inline const QString kPluginName = QStringLiteral("ormil-focused-window");
    static inline const QString kObjectPath = QStringLiteral("/org/ormil/FocusedWindow");

    // The script, calling back to `service` (this connection's unique name).
    // Written for both KWin 5 (clientActivated, activeClient) and KWin 6
    // (windowActivated, activeWindow).
    static QByteArray script(const QString& service);

public Q_SLOTS:
    // What the script reports of the activated window; all empty (pid "0")
    // when none is.
    Q_SCRIPTABLE void Activated(const QString& resourceName, const QString& resourceClass,
                                const QString& desktopFileName, const QString& pid,
                                const QString& window);

private:
    bool load();
    // The script object's "run": its path differs between KWin 5 and 6.
    bool run(int id, QString* error);

    Options m_options;
    bool m_loaded = false;
    QString m_kwinOwner;  // KWin's unique name on the bus
    QString m_scriptFile;
    mutable std::mutex m_mutex;
    std::optional<Identity> m_active;  // guarded by m_mutex
    QString m_window;
};
