#include "platform/linux/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "platform/PrivateFiles.h"

InstanceLock::InstanceLock(QString path) : m_path(std::move(path)) {}

InstanceLock::~InstanceLock() {
    release();
}

bool InstanceLock::openFile() {
    if (m_fd >= 0) return true;
    PrivateFiles::ensureDir(QFileInfo(m_path).absolutePath());
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
    return m_fd >= 0;
}

bool InstanceLock::tryExclusive() {
    if (!openFile()) return false;
    return ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

bool InstanceLock::share() {
    if (!openFile()) return false;
    int rc;
    do {
        rc = ::flock(m_fd, LOCK_SH);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void InstanceLock::release() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
}
