// ulmar-tool export: the spreadsheet of one project, written without the window.
#include "export/Spreadsheet.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"
#include "tools/Commands.h"

#include <QTextStream>

namespace {

int fail(const QString& message, int status = 1) {
    QTextStream(stderr) << message << '\n';
    return status;
}

}  // namespace

int exportCommand(const QStringList& args) {
    const QString usage = QStringLiteral("Использование: ulmar-tool export FILE [--project KEY]");
    QString path;
    int project = 0;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--project")) {
            if (++i >= args.size())
                return fail(QStringLiteral("После --project нужен ключ проекта.\n") + usage, 2);
            bool ok = false;
            project = args.at(i).toInt(&ok);
            if (!ok)
                return fail(
                    QStringLiteral("Ключ проекта должен быть целым числом: %1").arg(args.at(i)), 2);
        } else if (arg.startsWith(QLatin1String("--")) || !path.isEmpty()) {
            return fail(QStringLiteral("Лишний аргумент: %1\n").arg(arg) + usage, 2);
        } else {
            path = arg;
        }
    }
    if (path.isEmpty())
        return fail(QStringLiteral("Не указан файл экспорта.\n") + usage, 2);

    try {
        auto db = Database::open(QStringLiteral("base.mdb"));
        requireProgramTables(*db, QStringLiteral("base.mdb"));
        Query rows(*db, QStringLiteral("Q_all"));
        openExportRows(rows, project);
        if (rows.recordCount() == 0)
            return fail(QStringLiteral("В проекте с ключом %1 нет строк: файл экспорта не записан.")
                            .arg(project));
        const QString failure = saveSpreadsheet(path, buildSpreadsheet(rows));
        if (!failure.isEmpty())
            return fail(failure);
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    return 0;
}
