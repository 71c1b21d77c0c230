#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <functional>

namespace testsupport {

// This test's private folder; HOME, the XDG folders, TMPDIR, the debug log
// and the settings file all live under it (a fresh one for every test, in a
// whole-program run as in CTest's one test per process).
QString root();

// Runs `reset` before every test, once its fresh folders are in place: for
// process-wide state of a library that the test support does not link.
void atEveryTestStart(std::function<void()> reset);

// Processes events until pred() holds or the deadline passes (generous by
// default: a condition that never comes fails the test, it never hangs it).
bool waitUntil(const std::function<bool()>& pred, int timeoutMs = 20000);

// Spins the event loop for roughly ms (for letting queued calls run).
void processEvents(int ms = 0);

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);

// Runs a program to its end and returns its standard output.
QByteArray runProgram(const QString& program, const QStringList& args, int* exitCode = nullptr,
                      const QByteArray& input = {});

// The debug log of this test process.
QString debugLogText();

// True when the test environment of scripts/with-test-env is present.
bool hasDisplay();
bool hasPulse();

}  // namespace testsupport
