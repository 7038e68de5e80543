#include "projects/ProjectRequote.h"

#include "projects/ProjectHold.h"
#include "projects/ProjectSql.h"
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/SqlLiteral.h"

std::map<int, PriceDrift> priceDrift(Query& q) {
    std::vector<int> keys = {0};
    q.open(QStringLiteral("select Ключ from project order by Ключ"));
    for (int row = 0; row < q.recordCount(); ++row)
        keys.push_back(int(q.value(row, 0).toInt()));
    q.close();
    std::map<int, PriceDrift> drift;
    for (int key : keys) {
        const RepriceTotals totals =
            repriceTotals(readRepriceLines(q, storedProjectKey(q.database(), key)));
        if (totals.changed > 0)
            drift[key] = {totals.changed, totals.before, totals.after};
    }
    return drift;
}

RequoteOutcome requoteProject(Database& db, Query& q, int project, const QString& name) {
    RequoteOutcome outcome;
    outcome.project = project;
    outcome.title = repriceTitle(project, name);
    const int stored = storedProjectKey(db, project);
    Database::Transaction transaction(db);
    // A project another designer has open keeps its snapshot for that window's question.
    const std::optional<QString> held = projectHold::refusal(db, project);
    q.open(leftSnapshotSql(project));
    const bool leftByCrash = q.recordCount() > 0 && q.value(0, 0).toInt() > 0;
    q.close();
    const std::vector<RepriceLine> lines = readRepriceLines(q, stored);
    outcome.totals = repriceTotals(lines);
    if (held || leftByCrash) {
        outcome.refusal = held ? *held
                               : QStringLiteral(
                                     "хранит изменения, оставшиеся после аварийного завершения "
                                     "программы: откройте его и ответьте на вопрос программы, "
                                     "затем обновите цены");
        outcome.totals.after = outcome.totals.before;
        return outcome;
    }
    for (const QString& sql : repriceSql(lines))
        db.execute(sql);
    if (project != 0)
        recordPriceOrigin(db, q, project);
    transaction.commit();
    return outcome;
}

catalogueArchive::Origin projectPriceOrigin(Query& q, int project) {
    if (!catalogueArchive::hasTable(q, QStringLiteral("project_prices")))
        return {};
    q.open(QStringLiteral("select source, taken from project_prices where project = %1")
               .arg(sqlInt(project)));
    catalogueArchive::Origin origin;
    if (q.recordCount() > 0)
        origin = {q.value(0, 0).toText(), q.value(0, 1).toText()};
    q.close();
    return origin;
}

void recordPriceOrigin(Database& db, Query& q, int project) {
    const catalogueArchive::Origin origin = catalogueArchive::currentOrigin(q);
    db.execute(
        QStringLiteral("create table if not exists project_prices (project integer "
                       "primary key, source text not null, taken text not null)"));
    // A deleted project's record goes with it, so a later project under the same key does not
    // inherit it.
    db.execute(
        QStringLiteral("create trigger if not exists project_prices_gone after delete on "
                       "project begin delete from project_prices where project = "
                       "old.Ключ; end"));
    db.execute(QStringLiteral("insert or replace into project_prices values (%1, %2, %3)")
                   .arg(sqlInt(project), sqlText(origin.source), sqlText(origin.taken)));
}
