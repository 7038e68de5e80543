#include "store/Database.h"

#include <sys/stat.h>
#include <QFile>

bool Database::isServerAddress(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://")) ||
           location.contains(QLatin1String("dbname="));
}

std::unique_ptr<Database> Database::openStore(const QString& location, PageCheck check) {
    return isServerAddress(location) ? connect(location) : open(location, check);
}

Database::Transaction::Transaction(Database& db) : m_db(db) {
    m_db.begin();
}

Database::Transaction::~Transaction() {
    if (!m_done)
        m_db.rollbackQuietly();
}

void Database::Transaction::commit() {
    m_db.commit();
    m_done = true;
}

bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isJetFile(const QString& path) {
    if (!isRegularFile(path))
        return false;  // reading a named pipe would wait for a writer that never comes
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(32);
    return head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB";
}

bool isSqliteFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool isSameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return !a.isEmpty() && !b.isEmpty() && ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
