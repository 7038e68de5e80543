// ulmar-tool export and pdf: one project written as a spreadsheet or as a printed PDF, without
// the window. Both take FILE [--project KEY] and write the file in one step, so a failed write
// keeps an existing file.
#include "export/ExportTarget.h"
#include "export/GostForm.h"
#include "export/GostSheet.h"
#include "export/PrintContent.h"
#include "export/Spreadsheet.h"
#include "export/gui/PrintLayout.h"
#include "projects/WorkingSpecification.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreChoice.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"
#include "tools/Commands.h"
#include "tools/FormArguments.h"
#include "tools/ProjectArguments.h"
#include "tools/Usage.h"

#include <functional>
#include <optional>

namespace {

// The working specification always exists; lines filed under a key with no project row are
// still written, as they always were.
bool projectExists(Database& db, int project) {
    if (project == 0)
        return true;
    Query q(db, QStringLiteral("Q_all"));
    q.open(specCaptionSql(project));
    return q.recordCount() > 0;
}

// Reads FILE [--project KEY] (the working specification, key 0, by default) and writes what
// content() makes of the project; content() returns an empty file for a project without lines.
int writeProjectFile(const QStringList& args, const QString& command, const QString& fileKind,
                     const std::function<QByteArray(Database&, int)>& content) {
    int status = 0;
    const auto read = readProjectArguments(args, commandSynopsis(command), status);
    if (!read)
        return status;
    const QString path = read->other;
    const int project = read->project;
    if (path.isEmpty())
        return fail(QStringLiteral("Не указан файл %1.\n").arg(fileKind) + usageLine(command), 2);

    try {
        auto db = Database::openStore(chosenStore());
        requireProgramTables(*db, chosenStore());
        const QString refusal = databaseTargetRefusal(path, db->path());
        if (!refusal.isEmpty())
            return fail(refusal);
        const QByteArray bytes = content(*db, storedProjectKey(*db, project));
        if (bytes.isEmpty() && !projectExists(*db, project))
            return fail(QStringLiteral("В базе нет проекта с ключом %1: файл %2 не записан.")
                            .arg(project)
                            .arg(fileKind));
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

int exportCommand(const QStringList& given) {
    QStringList args = given;
    int status = 0;
    const auto form = takeFormArguments(args, false, QStringLiteral("export"), status);
    if (!form)
        return status;
    return writeProjectFile(args, QStringLiteral("export"), QStringLiteral("экспорта"),
                            [gost = form->gost](Database& db, int project) {
                                Query rows(db, QStringLiteral("Q_all"));
                                if (gost) {
                                    const GostDocument doc = loadGostDocument(rows, project);
                                    return doc.lineCount == 0 ? QByteArray() : buildGostSheet(doc);
                                }
                                openExportRows(rows, project);
                                return rows.recordCount() == 0 ? QByteArray()
                                                               : buildSpreadsheet(rows);
                            });
}

int pdfCommand(const QStringList& given) {
    QStringList args = given;
    int status = 0;
    const auto form = takeFormArguments(args, true, QStringLiteral("pdf"), status);
    if (!form)
        return status;
    return writeProjectFile(
        args, QStringLiteral("pdf"), QStringLiteral("PDF"), [form](Database& db, int project) {
            Query scratch(db, QStringLiteral("Q_all"));
            if (form->gost) {
                const GostDocument doc = loadGostDocument(scratch, project);
                return doc.lineCount == 0 ? QByteArray() : gostFormPdf(doc, form->paper);
            }
            const PrintDocument doc = loadPrintDocument(scratch, project, QDate::currentDate());
            return doc.lineCount == 0 ? QByteArray() : specificationPdf(doc);
        });
}
