#include "projects/ProjectSql.h"

#include "store/SqlLiteral.h"

namespace {

// Every column of a line but its key; buy and arh have the same.
const QString lineColumns = QStringLiteral("TMC, kol, TMC2, price, vid, Pokr, izm, project, kolm");

QString deleteLinesSql(const QString& table, int project) {
    return QStringLiteral("delete from %1 where project = %2").arg(table, sqlInt(project));
}

// Copied lines get new keys in the order of the old ones, so the lines keep the order in which
// they were added (left to itself the engine reads them in the order of an index it picks).
QString copyLinesSql(const QString& from, const QString& to, int project) {
    return QStringLiteral("insert into %1 (%2) select %2 from %3 where project = %4 order by Ключ")
        .arg(to, lineColumns, from, sqlInt(project));
}

const QString buy = QStringLiteral("buy");
const QString snapshot = QStringLiteral("arh");

}  // namespace

QStringList takeSnapshotSql(int project) {
    return {deleteLinesSql(snapshot, project), copyLinesSql(buy, snapshot, project)};
}

QStringList dropSnapshotSql(int project) {
    return {deleteLinesSql(snapshot, project)};
}

QStringList restoreSnapshotSql(int project) {
    return revertToSnapshotSql(project) << deleteLinesSql(snapshot, project);
}

QStringList revertToSnapshotSql(int project) {
    return {deleteLinesSql(buy, project), copyLinesSql(snapshot, buy, project)};
}

QString leftSnapshotSql(int project) {
    const QString columns = QStringLiteral("TMC, kol, TMC2, price, vid, Pokr, izm, kolm");
    return QStringLiteral(
               "select (select count(*) from arh where project = %1) as snapshotLines, "
               "(select count(*) from buy where project = %1) as projectLines, "
               "(select count(*) from (select %2 from buy where project = %1 "
               "except select %2 from arh where project = %1) as changed) as differentLines, "
               "Название from project where Ключ = %1")
        .arg(sqlInt(project), columns);
}

bool snapshotDiffers(std::int64_t snapshotLines, std::int64_t projectLines,
                     std::int64_t differentLines) {
    // No snapshot: the project was left properly (or has never had lines).
    return snapshotLines > 0 && (snapshotLines != projectLines || differentLines > 0);
}

QString leftChangesQuestion(const QString& projectName) {
    return QStringLiteral(
               "Проект «%1» содержит изменения, не сохранённые при прошлом завершении программы. "
               "Сохранить их?")
        .arg(projectName);
}

QString projectListSql() {
    return QStringLiteral("select * from project");
}

QString insertProjectSql(const QString& name) {
    return QStringLiteral("insert into project (Название) values (%1)").arg(sqlText(name));
}

QString renameProjectSql(int key, const QString& name) {
    return QStringLiteral("update project set Название = %1 where Ключ = %2")
        .arg(sqlText(name), sqlInt(key));
}

QString moveWorkingLinesSql(int project, int working) {
    return QStringLiteral("update buy set project = %1 where project = %2")
        .arg(sqlInt(project), sqlInt(working));
}

QString hasLinesSql(int project) {
    return QStringLiteral("select exists (select 1 from buy where project = %1) as has")
        .arg(sqlInt(project));
}

QString projectNamedSql(const QString& name) {
    return QStringLiteral("select * from project where Название = %1").arg(sqlText(name));
}

QString otherProjectNamedSql(int key, const QString& name) {
    return QStringLiteral("select * from project where Ключ <> %1 and Название = %2")
        .arg(sqlInt(key), sqlText(name));
}

QString deleteProjectLinesSql(int key) {
    return deleteLinesSql(buy, key);
}

QString deleteProjectSql(int key) {
    return QStringLiteral("delete from project where Ключ = %1").arg(sqlInt(key));
}

QString copyProjectLinesSql(int source, int target) {
    return QStringLiteral(
               "insert into buy (%1) select TMC, kol, TMC2, price, vid, Pokr, izm, %2, kolm "
               "from buy where project = %3 order by Ключ")
        .arg(lineColumns, sqlInt(target), sqlInt(source));
}
