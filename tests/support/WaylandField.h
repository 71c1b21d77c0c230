#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QUrl>

#include "support/TestSupport.h"

// The text field peer (tests/peers) as a Wayland client whose app id is
// `appId`: whether it has the keyboard focus, and its text. The including
// test folder names the peer's executable as ORMIL_TEXTFIELD_PEER.
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
    bool waitText(const QString& text, int timeoutMs = 20000) {
        return testsupport::waitUntil([&] { return m_text == text; }, timeoutMs);
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
