#include "export/ExportTarget.h"

#include "store/Database.h"

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>

namespace {

// True when path names, or leads to, one of the files the engine keeps beside the store while
// it writes it, whether that file is there now or not.
bool isStoreCompanion(const QString& path, const QString& store) {
    const QFileInfo target(path);
    const QFileInfo storeFile(store);
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString companion = storeFile.absoluteFilePath() + QLatin1String(suffix);
        if (isSameFile(path, companion))
            return true;
        if (target.fileName() == storeFile.fileName() + QLatin1String(suffix) &&
            isSameFile(target.absolutePath(), storeFile.absolutePath()))
            return true;
    }
    return false;
}

}  // namespace

QString databaseTargetRefusal(const QString& path, const QString& store) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString keep = QStringLiteral("Выберите другое имя файла; ничего не записано.");
    if (isSameFile(path, store))
        return QStringLiteral(
                   "Файл %1 — база программы со всеми проектами: документ не будет "
                   "записан поверх неё. ")
                   .arg(shown) +
               keep;
    // The journal a crash leaves beside the store is what makes the store whole again when it
    // is next opened; a document in its place, or under the name of the engine's other
    // companion files, would damage the store.
    if (!Database::isServerAddress(store) && isStoreCompanion(path, store))
        return QStringLiteral(
                   "Файл %1 — служебный файл базы программы: документ не будет записан под "
                   "этим именем. ")
                   .arg(shown) +
               keep;
    // Only a regular file is read: opening a FIFO to look at it would wait for a writer.
    struct stat st {};
    const bool regular =
        ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
    if (regular && (isSqliteFile(path) || isJetFile(path)))
        return QStringLiteral("Файл %1 — база данных: документ не будет записан поверх неё. ")
                   .arg(shown) +
               keep;
    return QString();
}
