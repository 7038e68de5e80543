// ulmar-tool reprice [--project KEY] [DIR]: a project's lines take the catalogue's prices.
#include "projects/ProjectSql.h"
#include "specification/Reprice.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tools/Commands.h"
#include "tools/ProjectArguments.h"
#include "tools/StoreFolder.h"
#include "tools/Usage.h"

#include <QTextStream>

int repriceCommand(const QStringList& args) {
    int status = 0;
    const auto read =
        readProjectArguments(args, commandSynopsis(QStringLiteral("reprice")), status);
    if (!read)
        return status;
    const QString dir = read->other;
    const int project = read->project;
    QString failure;
    const QString target = existingStoreIn(dir.isEmpty() ? QStringLiteral(".") : dir, failure);
    if (target.isEmpty())
        return fail(failure);

    try {
        auto db = Database::open(target);
        Query q(*db, QStringLiteral("reprice"));
        QString name;
        if (project != 0) {
            q.open(specCaptionSql(project));
            if (q.recordCount() == 0)
                return fail(
                    QStringLiteral("В базе %1 нет проекта с ключом %2.").arg(target).arg(project));
            name = q.value(0, 0).toText();
            q.close();
        }
        Database::Transaction transaction(*db);
        // A snapshot of a project no window holds was left by a crash: opening the project
        // asks whether to keep its lines, and «Нет» would put the old prices back.
        if (project != 0) {
            q.open(leftSnapshotSql(project));
            const bool leftByCrash = q.recordCount() > 0 && q.value(0, 0).toInt() > 0;
            q.close();
            if (leftByCrash)
                return fail(QStringLiteral("Проект «%1» (ключ %2) хранит изменения, оставшиеся "
                                           "после аварийного завершения программы: сначала "
                                           "откройте его в программе Улмар и ответьте на её "
                                           "вопрос, затем повторите команду. Цены не обновлены.")
                                .arg(name)
                                .arg(project));
        }
        const std::vector<RepriceLine> lines = readRepriceLines(q, project);
        // The report first: a sum it can not reckon refuses the command before any change.
        const RepriceTotals totals = repriceTotals(lines);
        const QString report = repriceReport(repriceTitle(project, name), lines);
        for (const QString& sql : repriceSql(lines))
            db->execute(sql);
        transaction.commit();
        QTextStream(stdout)
            << report
            << (totals.changed > 0
                    ? QStringLiteral("Цены обновлены в строках: %1.\n").arg(totals.changed)
                    : QStringLiteral("Цены не изменились.\n"));
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Цены не обновлены: %1").arg(e.message()));
    }
}
