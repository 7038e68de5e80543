// ulmar-tool demo-db DIR [--replace]: writes a demo catalogue as DIR/base.mdb.
#include "store/Database.h"
#include "store/StoreError.h"
#include "tools/Commands.h"
#include "tools/DemoCatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <filesystem>
#include <system_error>

namespace {

int usageError(const QString& text) {
    QTextStream(stderr) << text << "\nИспользование: ulmar-tool demo-db DIR [--replace]\n";
    return 2;
}

}  // namespace

int demoDbCommand(const QStringList& args) {
    QString dirArg;
    bool replace = false;
    for (const QString& a : args) {
        if (a == QLatin1String("--replace"))
            replace = true;
        else if (a.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("Неизвестный ключ %1.").arg(a));
        else if (dirArg.isEmpty())
            dirArg = a;
        else
            return usageError(QStringLiteral("Лишний аргумент %1.").arg(a));
    }
    if (dirArg.isEmpty())
        return usageError(QStringLiteral("Не указана папка для базы данных."));

    QTextStream err(stderr);
    const QString dirPath = QDir(dirArg).absolutePath();
    if (!QDir().mkpath(dirPath)) {
        err << QStringLiteral("Не удалось создать папку %1.\n")
                   .arg(QDir::toNativeSeparators(dirPath));
        return 1;
    }
    const QString target = QDir(dirPath).filePath(QStringLiteral("base.mdb"));
    const QString shown = QDir::toNativeSeparators(target);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        if (!replace) {
            err << QStringLiteral(
                       "Файл %1 уже существует и оставлен без изменений. Чтобы заменить его "
                       "демонстрационным каталогом, добавьте ключ --replace.\n")
                       .arg(shown);
            return 1;
        }
        if (targetInfo.isDir()) {
            err << QStringLiteral(
                       "%1 — папка, а не файл базы данных; она оставлена без изменений.\n")
                       .arg(shown);
            return 1;
        }
    }

    // The catalogue is written under a temporary name beside the target and renamed into place
    // only when it is complete, so an interrupted run never leaves a half-made base.mdb.
    QTemporaryFile temp(QDir(dirPath).filePath(QStringLiteral(".base.mdb.XXXXXX")));
    if (!temp.open()) {
        err << QStringLiteral("Не удалось создать временный файл в папке %1: %2\n")
                   .arg(QDir::toNativeSeparators(dirPath), temp.errorString());
        return 1;
    }
    // A temporary file is private to its owner; the catalogue is meant to be shared.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                        QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    temp.close();
    const QString tempPath = temp.fileName();

    DemoSummary summary;
    try {
        auto db = Database::open(tempPath);
        summary = buildDemoStore(*db, DemoOptions());
    } catch (const StoreError& e) {
        err << QStringLiteral("Не удалось записать демонстрационный каталог: %1\n")
                   .arg(e.message());
        return 1;
    }

    // A journal left by an earlier crash would be played back into the new file on its first
    // opening and damage it.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) {
        const QString companion = target + QLatin1String(suffix);
        if (QFileInfo::exists(companion) && !QFile::remove(companion)) {
            err << QStringLiteral(
                       "Не удалось удалить устаревший файл %1; база данных не заменена.\n")
                       .arg(QDir::toNativeSeparators(companion));
            return 1;
        }
    }
    // rename() replaces an existing target in one step.
    std::error_code ec;
    std::filesystem::rename(QFile::encodeName(tempPath).toStdString(),
                            QFile::encodeName(target).toStdString(), ec);
    if (ec) {
        err << QStringLiteral("Не удалось записать %1: %2\n")
                   .arg(shown, QString::fromLocal8Bit(ec.message().c_str()));
        return 1;
    }
    temp.setAutoRemove(false);

    QTextStream(stdout) << QStringLiteral(
                               "Демонстрационный каталог записан в %1 (видов товара: %2, подвидов: "
                               "%3, товаров: %4, фотографий: %5).\n")
                               .arg(shown)
                               .arg(summary.types)
                               .arg(summary.subtypes)
                               .arg(summary.products)
                               .arg(summary.photos);
    return 0;
}
