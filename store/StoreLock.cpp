#include "store/StoreLock.h"

#include "store/StoreError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QFileInfo>
#include <cerrno>

namespace {

// Without O_NONBLOCK a named pipe in the store's place would keep the open waiting forever.
int openForLock(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

StoreLock::StoreLock(const QString& path) : m_fd(openForLock(path)) {
    if (m_fd < 0)
        return;
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK)
        return;
    ::close(m_fd);
    m_fd = -1;
    throw StoreError(
        QStringLiteral("База данных %1 уже открыта в другом окне программы Улмар. Работайте в "
                       "том окне или закройте его: два окна на одной базе могут затереть "
                       "изменения друг друга.")
            .arg(QFileInfo(path).absoluteFilePath()));
}

StoreLock::~StoreLock() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool StoreLock::isHeld(const QString& path) {
    const int fd = openForLock(path);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}
