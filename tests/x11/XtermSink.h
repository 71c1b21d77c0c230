#pragma once

// A real xterm whose shell writes every byte it receives to a file: what a
// paste into it delivered. xterm binds no key to the clipboard; it pastes
// the PRIMARY selection with Shift+Insert.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "support/TestSupport.h"

class XtermSink {
public:
    // `stty` sets the terminal up first: "raw -echo" passes every byte on at
    // once; "-echo lnext undef" passes whole lines after the line editing
    // (BackSpace erases), with Control-V an ordinary character.
    explicit XtermSink(const QString& stty) : m_file(m_dir.filePath("received")) {
        const QString xterm = QStandardPaths::findExecutable("xterm");
        if (xterm.isEmpty()) return;
        m_process.start(xterm, {"-u8", "-geometry", "60x5+0+0", "-e", "sh", "-c",
                                "stty " + stty + "; exec cat > \"$0\"", m_file});
    }
    ~XtermSink() {
        m_process.kill();
        m_process.waitForFinished();
    }
    // Waits for the window and the shell, then gives the window the focus.
    bool focus() {
        if (!m_process.waitForStarted()) return false;
        QByteArray window;
        const bool ready = testsupport::waitUntil([&] {
            window = testsupport::runProgram("xdotool", {"search", "--class", "XTerm"})
                         .split('\n')
                         .value(0)
                         .trimmed();
            return !window.isEmpty() && QFile::exists(m_file);
        });
        if (!ready) return false;
        int rc = -1;
        testsupport::runProgram("xdotool", {"windowfocus", "--sync", QString::fromLatin1(window)},
                                &rc);
        return rc == 0;
    }
    QByteArray received() const { return testsupport::readFile(m_file); }

private:
    QTemporaryDir m_dir;
    QString m_file;
    QProcess m_process;
};
