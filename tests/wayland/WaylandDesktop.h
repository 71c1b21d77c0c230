#pragma once

// The headless desktop of scripts/with-wayland-env as a test sees it: a
// Wayland-native text field of another process, and the user's keyboard.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "support/TestSupport.h"

namespace wltest {

inline QString desktop() {
    return qEnvironmentVariable("ORMIL_WAYLAND_DESKTOP");
}

// Keys as the user presses them (Linux key codes; see the drivers).
inline bool pressKeys(const QStringList& specs) {
    int rc = -1;
    if (desktop() == "kde")
        testsupport::runProgram(ORMIL_KWIN_FAKE_KEYS, specs, &rc);
    else
        testsupport::runProgram(ORMIL_MUTTER_KEYS, specs, &rc);
    return rc == 0;
}

// The text field peer as a Wayland client whose app id is `appId`.
class WaylandField {
public:
    explicit WaylandField(const QString& appId = QStringLiteral("org.ormil.field")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "wayland");
        env.insert("ORMIL_PEER_APP_ID", appId);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                if (line == "focused") {
                    m_focused = true;
                    ++m_focusIns;
                }
                if (line == "unfocused") m_focused = false;
                if (line.startsWith("text")) m_text = QUrl::fromPercentEncoding(line.mid(5));
            }
        });
        m_process.start(ORMIL_TEXTFIELD_PEER, {});
    }
    ~WaylandField() {
        m_process.kill();
        m_process.waitForFinished();
    }
    bool waitFocused() {
        return testsupport::waitUntil([&] { return m_focused; });
    }
    bool waitUnfocused() {
        return testsupport::waitUntil([&] { return !m_focused; });
    }
    bool waitText(const QString& text) {
        return testsupport::waitUntil([&] { return m_text == text; });
    }
    bool focused() const { return m_focused; }
    qint64 pid() const { return m_process.processId(); }
    int focusIns() const { return m_focusIns; }
    const QString& text() const { return m_text; }

private:
    QProcess m_process;
    bool m_focused = false;
    int m_focusIns = 0;
    QString m_text;
};

}  // namespace wltest
