#include "export/ExportTarget.h"

#include "store/Database.h"

#include <sys/stat.h>
#include <QDir>
#include <QFileInfo>

QString databaseTargetRefusal(const QString& path, const QString& store) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString keep = QStringLiteral("Выберите другое имя файла; ничего не записано.");
    if (isSameFile(path, store))
        return QStringLiteral(
                   "Файл %1 — база программы со всеми проектами: документ не будет "
                   "записан поверх неё. ")
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
