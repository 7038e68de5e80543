#include "tools/StoreFolder.h"

#include "store/StoreLock.h"

#include <QDir>
#include <QFileInfo>

QString existingStoreIn(const QString& dir, QString& failure, bool readOnly) {
    const QString path =
        QDir(QFileInfo(dir).absoluteFilePath()).filePath(QStringLiteral("base.mdb"));
    const QFileInfo info(path);
    if (!info.exists()) {
        failure = QStringLiteral("В папке %1 нет базы base.mdb.").arg(info.absolutePath());
        return QString();
    }
    if (!info.isFile()) {
        failure = QStringLiteral("%1 — не файл базы.").arg(path);
        return QString();
    }
    // The window reads the catalogue and keeps a snapshot of the open project: a change made
    // under it would be shown stale or undone by its snapshot.
    if (!readOnly && StoreLock::isHeld(path)) {
        failure = QStringLiteral(
                      "База %1 открыта в окне программы Улмар: закройте программу и "
                      "повторите команду.")
                      .arg(path);
        return QString();
    }
    return path;
}
