#include "projects/ProjectSql.h"

#include "store/SqlLiteral.h"

namespace {

const QString lineColumns = QStringLiteral("tmc,kol,tmc2,price,vid,pokr,izm,project,kolm");
// Copied lines get new keys in the order of the old ones, so the lines keep the order in which
// they were added (left to itself the engine reads them in the order of an index it picks).
const QString inAddedOrder = QStringLiteral(" order by Ключ");

}  // namespace

QStringList takeSnapshotSql(int project) {
    const QString k = sqlInt(project);
    return {QStringLiteral("Delete from arh where project = ") + k,
            QStringLiteral("Insert into arh (%1) select %1 from buy where project = ")
                    .arg(lineColumns) +
                k + inAddedOrder};
}

QStringList dropSnapshotSql(int project) {
    return {QStringLiteral("Delete from arh where project = ") + sqlInt(project)};
}

QStringList restoreSnapshotSql(int project) {
    const QString k = sqlInt(project);
    return {QStringLiteral("Delete from buy where project = ") + k,
            QStringLiteral("Insert into buy (%1) select %1 from arh where project = ")
                    .arg(lineColumns) +
                k + inAddedOrder,
            QStringLiteral("Delete from arh where project = ") + k};
}

QString leftSnapshotSql(int project) {
    const QString k = sqlInt(project);
    const QString columns = QStringLiteral("tmc,kol,tmc2,price,vid,pokr,izm,kolm");
    return QStringLiteral(
               "select (select count(*) from arh where project = %1) as snapshotLines, "
               "(select count(*) from buy where project = %1) as projectLines, "
               "(select count(*) from (select %2 from buy where project = %1 "
               "except select %2 from arh where project = %1)) as differentLines, "
               "Название from project where Ключ = %1")
        .arg(k, columns);
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
    return QStringLiteral("Insert Into Project (Название) values(") + sqlText(name) +
           QStringLiteral(")");
}

QString renameProjectSql(int key, const QString& name) {
    return QStringLiteral("update project set Название = ") + sqlText(name) +
           QStringLiteral(" where Ключ = ") + sqlInt(key);
}

QString moveWorkingLinesSql(int project) {
    return QStringLiteral("Update buy set project = ") + sqlInt(project) +
           QStringLiteral(" where project = 0");
}

QString projectNamedSql(const QString& name) {
    return QStringLiteral("select * from project where Название = ") + sqlText(name) +
           QStringLiteral(" ");
}

QString otherProjectNamedSql(int key, const QString& name) {
    return QStringLiteral("select * from project where Ключ <> ") + sqlInt(key) +
           QStringLiteral(" and Название = ") + sqlText(name) + QStringLiteral(" ");
}

QString deleteProjectLinesSql(int key) {
    return QStringLiteral("delete from buy where project =") + sqlInt(key);
}

QString deleteProjectSql(int key) {
    return QStringLiteral("delete from Project where Ключ =") + sqlInt(key);
}

QString copyName(const QString& name) {
    return QStringLiteral("Копия ") + name;
}

QString copyProjectLinesSql(int source, int target) {
    return QStringLiteral(
               "Insert into buy (TMC, kol, TMC2, price, vid, Pokr, izm, Project, kolm) "
               "select TMC, kol, TMC2, price, vid, Pokr, izm, ") +
           sqlInt(target) + QStringLiteral(", kolm from buy where Project=") + sqlInt(source) +
           inAddedOrder;
}
