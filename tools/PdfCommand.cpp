// ulmar-tool pdf: the printed specification of one project as a PDF, written without the window.
#include "export/PrintContent.h"
#include "export/PrintLayout.h"
#include "export/Spreadsheet.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tools/Commands.h"

int pdfCommand(const QStringList& args) {
    const QString usage = QStringLiteral("Использование: ulmar-tool pdf FILE [--project KEY]");
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
        return fail(QStringLiteral("Не указан файл PDF.\n") + usage, 2);

    try {
        auto db = Database::open(QStringLiteral("base.mdb"));
        Query scratch(*db, QStringLiteral("Q_all"));
        const PrintDocument doc = loadPrintDocument(scratch, project, QDate::currentDate());
        if (doc.lineCount == 0)
            return fail(QStringLiteral("В проекте с ключом %1 нет строк: файл PDF не записан.")
                            .arg(project));
        // The same one-step write as the spreadsheet's: a failed write keeps an existing file.
        const QString failure = saveSpreadsheet(path, specificationPdf(doc));
        if (!failure.isEmpty())
            return fail(failure);
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    return 0;
}
