#include "projects/ProjectHold.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/SqlLiteral.h"

namespace {

// The first half of every hold's lock key ("ulmr"); the second is the project's key.
const QString lockSpace = QStringLiteral("1970105714");

bool onServer(Database& db, int project) {
    // Working specifications are private to a login and never held.
    return db.engine() == Database::Engine::Postgres && project > 0;
}

bool tryLock(Database& db, const QString& function, int project) {
    Query q(db, QStringLiteral("hold"));
    q.open(QStringLiteral("select %1(%2, %3) as taken").arg(function, lockSpace, sqlInt(project)));
    return q.field(u"taken").toInt() != 0;
}

QString projectName(Query& q, int project) {
    q.open(QStringLiteral("select Название from project where Ключ = %1").arg(sqlInt(project)));
    return q.recordCount() > 0 ? q.value(0, 0).toText() : QString::number(project);
}

// Who holds the project now, as the sentence; nothing when no other connection does. The
// window's computer travels in the connection's application name (ulmar@host), which the
// server shows every login, unlike the client's address.
std::optional<QString> holder(Database& db, int project) {
    if (!onServer(db, project))
        return std::nullopt;
    Query q(db, QStringLiteral("hold"));
    q.open(QStringLiteral(
               "select a.usename as login, case when left(a.application_name, 6) = 'ulmar@' "
               "then substr(a.application_name, 7) else coalesce(a.client_hostname, "
               "host(a.client_addr), 'неизвестен') end as computer "
               "from pg_locks l join pg_stat_activity a on a.pid = l.pid "
               "where l.locktype = 'advisory' and l.granted and l.objsubid = 2 "
               "and l.database = (select oid from pg_database where datname = current_database()) "
               "and l.classid = %1 and l.objid = %2 and l.pid <> pg_backend_pid() limit 1")
               .arg(lockSpace, sqlInt(project)));
    if (q.recordCount() == 0)
        return std::nullopt;
    const QString login = q.field(u"login").toText();
    const QString computer = q.field(u"computer").toText();
    return heldSentence(projectName(q, project), login, computer);
}

// A lock refused by a holder that let go meanwhile still names the project.
QString refusalOf(Database& db, int project) {
    if (const auto sentence = holder(db, project))
        return *sentence;
    return projectHold::readOnlySentence(db, project);
}

}  // namespace

QString heldSentence(const QString& project, const QString& login, const QString& computer) {
    return QStringLiteral("Проект «%1» открыт пользователем %2 (компьютер %3)")
        .arg(project, login, computer);
}

namespace projectHold {

std::optional<QString> take(Database& db, int project) {
    if (!onServer(db, project) || tryLock(db, QStringLiteral("pg_try_advisory_lock"), project))
        return std::nullopt;
    return refusalOf(db, project);
}

void release(Database& db, int project) {
    if (!onServer(db, project))
        return;
    Query q(db, QStringLiteral("hold"));
    q.open(QStringLiteral("select pg_advisory_unlock(%1, %2)").arg(lockSpace, sqlInt(project)));
}

std::optional<QString> refusal(Database& db, int project) {
    // A transaction's lock: this window's own hold lets it through, and it ends by itself.
    if (!onServer(db, project) || tryLock(db, QStringLiteral("pg_try_advisory_xact_lock"), project))
        return std::nullopt;
    return refusalOf(db, project);
}

QString readOnlySentence(Database& db, int project) {
    if (const auto sentence = holder(db, project))
        return *sentence;
    Query q(db, QStringLiteral("hold"));
    return QStringLiteral(
               "Проект «%1» открыт в этом окне только для просмотра: чтобы изменять его, "
               "откройте его снова через «Проекты»")
        .arg(projectName(q, project));
}

}  // namespace projectHold
