#include "projects/WorkingSpecification.h"

#include "store/Database.h"
#include "store/Query.h"

namespace {

int workingKey(Database& db) {
    Query q(db, QStringLiteral("working"));
    const QString read = QStringLiteral(
        "select -Ключ as project from working_specification where login = session_user");
    q.open(read);
    if (q.recordCount() == 0) {
        // Two windows of one login starting at once make one working specification.
        q.execute(
            QStringLiteral("insert into working_specification (login) values (session_user) "
                           "on conflict (login) do nothing"));
        q.open(read);
    }
    return int(q.field(u"project").toInt());
}

}  // namespace

int storedProjectKey(Database& db, int project) {
    if (project != 0 || db.engine() != Database::Engine::Postgres)
        return project;
    return workingKey(db);
}
