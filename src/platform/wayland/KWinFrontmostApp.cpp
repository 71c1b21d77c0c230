#include "platform/wayland/KWinFrontmostApp.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include "platform/DebugLog.h"
#include "platform/PrivateFiles.h"

namespace {

const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
const QString kInterface = QStringLiteral("org.ormil.FocusedWindow");

// A JavaScript string literal of the text.
QByteArray jsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// KWin names a window's desktop entry by its id, at times as a file name.
QString entryId(QString name) {
    name = name.section(QLatin1Char('/'), -1);
    if (name.endsWith(QLatin1String(".desktop"))) name.chop(8);
    return name;
}

QString errorOf(const QDBusMessage& reply) {
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

}  // namespace

QByteArray KWinFrontmostApp::script(const QString& service) {
    // KWin 5 hands some of a window's names over as byte arrays.
    return "(function () {\n"
           "    var service = " +
           jsString(service) + ", path = " + jsString(kObjectPath) +
           ", iface = " + jsString(kInterface) +
           ";\n"
           "    function text(value) {\n"
           "        if (value === undefined || value === null) return \"\";\n"
           "        if (value instanceof ArrayBuffer) {\n"
           "            var bytes = new Uint8Array(value), s = \"\";\n"
           "            for (var i = 0; i < bytes.length; ++i) s += "
           "String.fromCharCode(bytes[i]);\n"
           "            try { return decodeURIComponent(escape(s)); } catch (e) { return s; }\n"
           "        }\n"
           "        return String(value);\n"
           "    }\n"
           "    function report(w) {\n"
           "        callDBus(service, path, iface, \"Activated\",\n"
           "                 w ? text(w.resourceName) : \"\", w ? text(w.resourceClass) : \"\",\n"
           "                 w ? text(w.desktopFileName) : \"\", w ? String(w.pid || 0) : \"0\",\n"
           "                 w ? text(w.internalId) : \"\");\n"
           "    }\n"
           "    var activated = workspace.windowActivated || workspace.clientActivated;\n"
           "    activated.connect(report);\n"
           "    report(workspace.activeWindow !== undefined ? workspace.activeWindow\n"
           "                                               : workspace.activeClient);\n"
           "})();\n";
}

KWinFrontmostApp::KWinFrontmostApp(Options options, QObject* parent)
    : FocusedWindowSource(parent), m_options(std::move(options)) {
    m_loaded = load();
}

KWinFrontmostApp::~KWinFrontmostApp() {
    unload();
}

bool KWinFrontmostApp::load() {
    const auto fail = [](const QString& why) {
        debugLog(QStringLiteral("[FrontmostApp] KWin does not tell the focused window (") + why +
                 QStringLiteral("): per-app styles apply in X11 (XWayland) applications only"));
        return false;
    };
    QDBusConnection& bus = m_options.bus;
    if (!bus.isConnected()) return fail(QStringLiteral("no session bus"));
    const auto call = [&](const QString& method, const QVariantList& args) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(m_options.service, kScriptingPath, kScripting, method);
        m.setArguments(args);
        return bus.call(m, QDBus::Block, m_options.callTimeoutMs);
    };
    // A copy left by a run that did not end cleanly goes first; the answer
    // also tells whether KWin's scripting is there at all.
    const QDBusMessage stale = call(QStringLiteral("unloadScript"), {kPluginName});
    if (stale.type() == QDBusMessage::ErrorMessage)
        return fail(QStringLiteral("no scripting interface, ") + errorOf(stale));
    m_kwinOwner = bus.interface()->serviceOwner(m_options.service).value();
    if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportScriptableSlots))
        return fail(QStringLiteral("the path ") + kObjectPath + QStringLiteral(" is taken"));
    // One name for every run: a run that was killed leaves its file for the
    // next one to write over.
    m_scriptFile = PrivateFiles::temporaryDirectory() + QStringLiteral("/kwin-focused-window.js");
    if (!PrivateFiles::writeFile(m_scriptFile, script(bus.baseService()))) {
        bus.unregisterObject(kObjectPath);
        return fail(QStringLiteral("the script could not be written"));
    }
    const QDBusReply<int> id = call(QStringLiteral("loadScript"), {m_scriptFile, kPluginName});
    QString error;
    if (!id.isValid() || id.value() < 0 || !run(id.value(), &error)) {
        if (!id.isValid())
            error = id.error().name() + QStringLiteral(": ") + id.error().message();
        else if (id.value() < 0)
            error = QStringLiteral("loadScript answered %1").arg(id.value());
        else
            call(QStringLiteral("unloadScript"), {kPluginName});
        bus.unregisterObject(kObjectPath);
        QFile::remove(m_scriptFile);
        m_scriptFile.clear();
        return fail(error);
    }
    debugLog(QStringLiteral("[FrontmostApp] KWin tells the focused window (script ") + kPluginName +
             QStringLiteral(" loaded)"));
    return true;
}

bool KWinFrontmostApp::run(int id, QString* error) {
    // KWin 6 keeps scripts under /Scripting, KWin 5 at the root.
    for (const QString& path :
         {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)}) {
        const QDBusMessage reply =
            m_options.bus.call(QDBusMessage::createMethodCall(m_options.service, path,
                                                              QStringLiteral("org.kde.kwin.Script"),
                                                              QStringLiteral("run")),
                               QDBus::Block, m_options.callTimeoutMs);
        if (reply.type() != QDBusMessage::ErrorMessage) return true;
        *error = QStringLiteral("run: ") + errorOf(reply);
    }
    return false;
}

void KWinFrontmostApp::unload() {
    if (!m_loaded) return;
    m_loaded = false;
    QDBusMessage m = QDBusMessage::createMethodCall(m_options.service, kScriptingPath, kScripting,
                                                    QStringLiteral("unloadScript"));
    m << kPluginName;
    const QDBusMessage reply = m_options.bus.call(m, QDBus::Block, m_options.callTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        debugLog(QStringLiteral("[FrontmostApp] KWin's script was not unloaded: ") +
                 errorOf(reply));
    m_options.bus.unregisterObject(kObjectPath);
    QFile::remove(m_scriptFile);
    m_scriptFile.clear();
    std::lock_guard lock(m_mutex);
    m_active.reset();
    m_window.clear();
}

void KWinFrontmostApp::Activated(const QString& resourceName, const QString& resourceClass,
                                 const QString& desktopFileName, const QString& pid,
                                 const QString& window) {
    // Any client on the bus may call: only KWin is believed.
    if (calledFromDBus() && message().service() != m_kwinOwner) return;
    std::optional<Identity> active;
    // The class is what X11 names the window by (a Wayland window's app id),
    // so that an application keeps the id its rules were stored under; the
    // desktop entry KWin found stands in where there is none.
    const QString className = resourceClass.isEmpty() ? entryId(desktopFileName) : resourceClass;
    if (!className.isEmpty() || !resourceName.isEmpty())
        active = Identity{resourceName, className, pid.toLongLong()};
    {
        std::lock_guard lock(m_mutex);
        m_active = active;
    }
    if (window == m_window) return;
    m_window = window;
    emit focusedWindowChanged();
}

std::optional<FrontmostApp::Identity> KWinFrontmostApp::identity() const {
    std::lock_guard lock(m_mutex);
    return m_active;
}
