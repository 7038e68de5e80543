#include "store/StoreReplacement.h"

#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreLock.h"
#include "store/SystemText.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// The files the engine keeps beside a store while it writes it.
const char* const companionSuffixes[] = {"-journal", "-wal", "-shm"};

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// 0, or the error that kept an existing file from being removed.
int removeFile(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0 || errno == ENOENT ? 0 : errno;
}

void syncDirectory(const QString& dir) {
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A window of the program would go on writing into the old file, out of everybody's sight.
void refuseWhileInAWindow(const QString& target) {
    if (StoreLock::isHeld(target))
        throw StoreError(QStringLiteral("База данных %1 открыта в окне программы; закройте его и "
                                        "повторите команду. База данных не заменена.")
                             .arg(shown(target)));
}

// A connection to the old store that holds it while it is replaced: opening it rolls back a
// journal that a killed writer left (so the old store is whole again, should the replacement
// fail), and its exclusive lock keeps other programs from starting a write in the meantime.
class OldStoreHold {
public:
    explicit OldStoreHold(const QString& target) {
        // Only a store of the engine: played back into any other file, a journal would damage it.
        if (!isSqliteFile(target))
            return;
        if (sqlite3_open_v2(QFile::encodeName(target).constData(), &m_db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK) {
            close();
            return;
        }
        sqlite3_busy_timeout(m_db, 5000);
        sqlite3_extended_result_codes(m_db, 1);
        if (sqlite3_exec(m_db, "begin exclusive", nullptr, nullptr, nullptr) == SQLITE_OK)
            return;
        const int code = sqlite3_errcode(m_db) & 0xFF;
        if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
            // Another program is writing it: its journal is alive, not left behind.
            const QString text = engineText(m_db);
            close();
            throw StoreError(QStringLiteral("%1: %2").arg(shown(target), text));
        }
        // A damaged or read-only old store can not be made whole; it is replaced all the same.
        close();
    }
    ~OldStoreHold() { close(); }
    OldStoreHold(const OldStoreHold&) = delete;
    OldStoreHold& operator=(const OldStoreHold&) = delete;

private:
    void close() {
        if (!m_db)
            return;
        sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    sqlite3* m_db = nullptr;
};

}  // namespace

void removeAbandonedStores(const QString& target) {
    const QFileInfo info(target);
    const QDir dir = info.absoluteDir();
    static const QRegularExpression ours(QStringLiteral("^[a-z]+-[A-Za-z0-9]{6}$"));
    const QString prefix = QLatin1Char('.') + info.fileName() + QLatin1Char('.');
    const QStringList names =
        dir.entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        QString rest = name.mid(prefix.size());
        const bool journal = rest.endsWith(QLatin1String("-journal"));
        if (journal)
            rest.chop(int(std::strlen("-journal")));
        if (!ours.match(rest).hasMatch())
            continue;
        const QString store = dir.filePath(prefix + rest);
        if (journal) {
            // Its store gone, a journal belongs to nothing.
            if (!QFileInfo::exists(store))
                removeFile(dir.filePath(name));
            continue;
        }
        const int fd = ::open(QFile::encodeName(store).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A run still writing it holds the lock; the lock of a dead one is gone with it.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            removeFile(store + QLatin1String("-journal"));
            removeFile(store);
        }
        ::close(fd);
    }
}

StoreReplacement::StoreReplacement(const QString& target, const QString& kind)
    : m_target(QFileInfo(target).absoluteFilePath()) {
    refuseWhileInAWindow(m_target);
    removeAbandonedStores(m_target);
    const QFileInfo info(m_target);
    QByteArray name = QFile::encodeName(
        info.absoluteDir().filePath(QStringLiteral(".%1.%2-XXXXXX").arg(info.fileName(), kind)));
    m_fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (m_fd < 0) {
        const int error = errno;
        throw StoreError(QStringLiteral("Не удалось создать файл в папке %1: %2.")
                             .arg(shown(info.absolutePath()), systemErrorText(error)));
    }
    m_path = QFile::decodeName(name);
    // The lock tells other runs' cleaning that the file is in use. Where the file system has no
    // such locks, their cleaning can not take one either and leaves the file alone.
    (void)::flock(m_fd, LOCK_EX | LOCK_NB);
}

StoreReplacement::~StoreReplacement() {
    if (!m_placed) {
        removeFile(m_path + QLatin1String("-journal"));
        removeFile(m_path);
    }
    if (m_fd >= 0)
        ::close(m_fd);
}

void StoreReplacement::putInPlace() {
    // The new file gets the permissions of the one it replaces, or the usual ones.
    const QByteArray target = QFile::encodeName(m_target);
    struct stat old {};
    mode_t mode;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0 || ::fsync(m_fd) != 0) {
        const int error = errno;
        throw StoreError(QStringLiteral("Не удалось записать %1: %2.")
                             .arg(shown(m_path), systemErrorText(error)));
    }

    refuseWhileInAWindow(m_target);
    const OldStoreHold hold(m_target);
    for (const char* suffix : companionSuffixes) {
        const QString companion = m_target + QLatin1String(suffix);
        if (const int error = removeFile(companion))
            throw StoreError(
                QStringLiteral("Не удалось удалить устаревший файл %1 (%2); база данных не "
                               "заменена.")
                    .arg(shown(companion), systemErrorText(error)));
    }
    // rename() replaces the old store in one step.
    if (::rename(QFile::encodeName(m_path).constData(), target.constData()) != 0) {
        const int error = errno;
        throw StoreError(QStringLiteral("Не удалось поставить базу данных на место %1: %2.")
                             .arg(shown(m_target), systemErrorText(error)));
    }
    m_placed = true;
    ::close(m_fd);
    m_fd = -1;
    syncDirectory(QFileInfo(m_target).absolutePath());
}
