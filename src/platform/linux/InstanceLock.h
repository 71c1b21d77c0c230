#pragma once

#include <QString>

// A lock file that every running copy of the application holds shared for
// its whole life. Whoever can take it exclusively knows that no other copy
// runs, so what earlier copies left behind (a recording cut off by a kill)
// belongs to nobody. The lock dies with its process, however it ends.
class InstanceLock {
public:
    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock exclusively without waiting; false while another copy
    // (or another InstanceLock of this process) holds it in any way.
    bool tryExclusive();
    // Holds the lock shared (turning an exclusive hold into a shared one);
    // false when the lock file cannot be opened.
    bool share();
    void release();

    const QString& path() const { return m_path; }

private:
    bool openFile();
    QString m_path;
    int m_fd = -1;
};
