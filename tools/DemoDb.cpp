// ulmar-tool demo-db DIR [--replace]: writes a demo catalogue as DIR/base.mdb.
#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreReplacement.h"
#include "tools/Commands.h"
#include "tools/DemoCatalogue.h"
#include "tools/Usage.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

int usageError(const QString& text) {
    return fail(text + QLatin1Char('\n') + usageLine(QStringLiteral("demo-db")), 2);
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

    const QString dirPath = QDir(dirArg).absolutePath();
    if (!QDir().mkpath(dirPath))
        return fail(
            QStringLiteral("Не удалось создать папку %1.").arg(QDir::toNativeSeparators(dirPath)));
    const QString target = QDir(dirPath).filePath(QStringLiteral("base.mdb"));
    const QString shown = QDir::toNativeSeparators(target);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        if (!replace)
            return fail(QStringLiteral("Файл %1 уже существует и оставлен без изменений. Чтобы "
                                       "заменить его демонстрационным каталогом, добавьте ключ "
                                       "--replace.")
                            .arg(shown));
        if (targetInfo.isDir())
            return fail(
                QStringLiteral("%1 — папка, а не файл базы данных; она оставлена без изменений.")
                    .arg(shown));
    }

    DemoSummary summary;
    try {
        StoreReplacement store(target, QStringLiteral("demo"));
        {
            auto db = Database::open(store.path());
            summary = buildDemoStore(*db, DemoOptions());
        }
        store.putInPlace();
    } catch (const StoreError& e) {
        return fail(
            QStringLiteral("Не удалось записать демонстрационный каталог: %1").arg(e.message()));
    }

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
