#include "tools/StoreFolder.h"

#include <QDir>
#include <QFileInfo>

QString existingStoreIn(const QString& dir, QString& failure) {
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
    return path;
}
