// ulmar-tool export and pdf: one project written as a spreadsheet or as a printed PDF, without
// the window. Both take FILE [--project KEY] and write the file in one step, so a failed write
// keeps an existing file.
#include "export/PrintContent.h"
#include "export/Spreadsheet.h"
#include "export/gui/PrintLayout.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"
#include "tools/Commands.h"
#include "tools/ProjectArguments.h"

#include <functional>
#include <optional>

namespace {

// Reads FILE [--project KEY] (the working specification, key 0, by default) and writes what
// content() makes of the project; content() returns an empty file for a project without lines.
int writeProjectFile(const QStringList& args, const QString& command, const QString& fileKind,
                     const std::function<QByteArray(Database&, int)>& content) {
    const QString usage = QStringLiteral("ulmar-tool %1 FILE [--project KEY]").arg(command);
    int status = 0;
    const auto read = readProjectArguments(args, usage, status);
    if (!read)
        return status;
    const QString path = read->other;
    const int project = read->project;
    if (path.isEmpty())
        return fail(QStringLiteral("Не указан файл %1.\nИспользование: ").arg(fileKind) + usage, 2);

    try {
        auto db = Database::open(QStringLiteral("base.mdb"));
        requireProgramTables(*db, QStringLiteral("base.mdb"));
        const QByteArray bytes = content(*db, project);
        if (bytes.isEmpty())
            return fail(QStringLiteral("В проекте с ключом %1 нет строк: файл %2 не записан.")
                            .arg(project)
                            .arg(fileKind));
        const QString failure = saveSpreadsheet(path, bytes);
        if (!failure.isEmpty())
            return fail(failure);
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    return 0;
}

}  // namespace

int exportCommand(const QStringList& args) {
    return writeProjectFile(
        args, QStringLiteral("export"), QStringLiteral("экспорта"), [](Database& db, int project) {
            Query rows(db, QStringLiteral("Q_all"));
            openExportRows(rows, project);
            return rows.recordCount() == 0 ? QByteArray() : buildSpreadsheet(rows);
        });
}

int pdfCommand(const QStringList& args) {
    return writeProjectFile(
        args, QStringLiteral("pdf"), QStringLiteral("PDF"), [](Database& db, int project) {
            Query scratch(db, QStringLiteral("Q_all"));
            const PrintDocument doc = loadPrintDocument(scratch, project, QDate::currentDate());
            return doc.lineCount == 0 ? QByteArray() : specificationPdf(doc);
        });
}
