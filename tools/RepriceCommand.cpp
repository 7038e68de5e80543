// ulmar-tool reprice [--project KEY] [DIR]: a project's lines take the catalogue's prices.
#include "projects/ProjectHold.h"
#include "projects/ProjectProperties.h"
#include "projects/ProjectRequote.h"
#include "projects/ProjectSql.h"
#include "projects/WorkingSpecification.h"
#include "specification/Reprice.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreChoice.h"
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
    // A store named by --store, ULMAR_STORE or ulmar.store, unless a folder is given.
    const QString target =
        dir.isEmpty() && storeNamed()
            ? chosenStore()
            : existingStoreIn(dir.isEmpty() ? QStringLiteral(".") : dir, failure);
    if (target.isEmpty())
        return fail(failure);

    try {
        auto db = Database::openStore(target);
        bringPropertiesForward(*db);
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
        const int stored = storedProjectKey(*db, project);
        Database::Transaction transaction(*db);
        // A project another designer has open is that window's to change; the lock taken here
        // keeps it from being opened until the prices are in.
        if (const auto held = projectHold::refusal(*db, project))
            return fail(QStringLiteral("Цены не обновлены: %1.").arg(*held));
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
        const std::vector<RepriceLine> lines = readRepriceLines(q, stored);
        // The report first: a sum it can not reckon refuses the command before any change.
        const RepriceTotals totals = repriceTotals(lines);
        const QString report = repriceReport(repriceTitle(project, name), lines);
        for (const QString& sql : repriceSql(lines))
            db->execute(sql);
        if (project != 0)
            recordPriceOrigin(*db, q, project);
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
