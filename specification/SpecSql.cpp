#include "specification/SpecSql.h"

#include "store/Schema.h"
#include "store/SqlLiteral.h"

#include <QStringList>

namespace {

// The one line of a project for a product and a coating.
QString lineKey(int project, std::int64_t product, int coating) {
    return QStringLiteral("project = %1 and TMC = %2 and Pokr = %3")
        .arg(sqlInt(project), sqlInt(product), sqlInt(coating));
}

// The line rows of the view, the columns named as every reader of the view names them; ordered
// by vid and key (lineOrder), which the index buy_vid gives without a sort. One look-up of the
// product gives its name and article. Two columns are filled in as the rows are put together
// (specViewRows): summa2, on a line its summa, and podvid, the name of the line's subtype,
// from its group's row; vid orders the rows.
QString lineRowsSql(const QString& where) {
    return QStringLiteral(
               "select buy.Ключ as Ключ, TMC, Pokr, kol, TMC2, price, vid as parentid, "
               "buy.Ключ as ID, t.Название as Tname, fixed_mul(price, kol) as summa, %1 as pokr, "
               "null as summa2, t.Номер||'-'||str(Pokr) as nomer, izm, kolm, "
               "null as podvid, vid as vid "
               "from buy left join EXPORT_TMC t on t.Ключ = buy.TMC where %2")
        .arg(schema::coatingNameSql(QStringLiteral("Pokr")), where);
}

const QString lineOrder = QStringLiteral(" order by vid, Ключ");

// The subtypes the project's lines use, one index probe each.
QString usedByProject(int project) {
    return QStringLiteral(
               "exists (select 1 from buy where project = %1 and vid = "
               "-EXPORT_PODVID.Ключ)")
        .arg(sqlInt(project));
}

// "(k1, k2)"; an empty list matches nothing, on either engine.
QString keyList(const std::vector<std::int64_t>& keys) {
    QStringList items;
    for (const std::int64_t key : keys)
        items << sqlInt(key);
    return QLatin1Char('(') + (items.isEmpty() ? QStringLiteral("null") : items.join(u", ")) +
           QLatin1Char(')');
}

}  // namespace

QString specCaptionSql(int project) {
    return QStringLiteral("select Название from project where Ключ = %1").arg(sqlInt(project));
}

QString specCaption(const std::optional<QString>& projectName) {
    if (!projectName)
        return QStringLiteral("Выбранные товары");
    return QStringLiteral("Выбранные товары               Проект: ") + *projectName;
}

QString specLinesSql(int project) {
    return lineRowsSql(QStringLiteral("project = %1").arg(sqlInt(project))) + lineOrder;
}

QString specLinesByKeySql(int project, const std::vector<std::int64_t>& lines) {
    // +project keeps the engine on the keys named instead of the project's whole index.
    return lineRowsSql(QStringLiteral("buy.Ключ in %1 and +project = %2")
                           .arg(keyList(lines), sqlInt(project))) +
           lineOrder;
}

QString specGroupAmountsSql(int project, const std::vector<std::int64_t>& lines,
                            const std::vector<std::int64_t>& vids) {
    // The lines' own groups, as their vids stand in the store, and the groups named.
    const QString p = sqlInt(project);
    QString groups = QStringLiteral("select vid from buy where Ключ in %1 and +project = %2")
                         .arg(keyList(lines), p);
    for (const std::int64_t vid : vids)
        groups += QStringLiteral(" union all select %1").arg(sqlInt(vid));
    return QStringLiteral(
               "select vid, kol, fixed_mul(price, kol) as summa, kolm from buy "
               "where project = %1 and vid in (%2) order by vid, Ключ")
        .arg(p, groups);
}

QString specGroupOrderSql(int project) {
    // A group row's line key is 0, as in the view.
    return QStringLiteral(
               "select -Ключ as vid, 0 as line, %1 as podvid from EXPORT_PODVID "
               "where %2 %3")
        .arg(subtypeSortName(QStringLiteral("Название")), usedByProject(project),
             specOrderSql(QStringLiteral("podvid"), QStringLiteral("vid"), QStringLiteral("line")));
}

QString lineGroupSql(std::int64_t line) {
    return QStringLiteral("select vid from buy where Ключ = %1").arg(sqlInt(line));
}

QString specOrderSql(const QString& subtypeName, const QString& vid, const QString& line) {
    return QStringLiteral("order by %1 nulls last, %2, %3").arg(subtypeName, vid, line);
}

QString subtypeNameSql(const QString& vid) {
    return subtypeSortName(
        QStringLiteral("(select Название from EXPORT_PODVID where Ключ = -%1)").arg(vid));
}

QString subtypeSortName(const QString& name) {
    return name + QStringLiteral(" collate foldcase");
}

QString lineQuantitiesSql(int project, std::int64_t product, int coating) {
    return QStringLiteral("select kol, kolm from buy where %1")
        .arg(lineKey(project, product, coating));
}

QString lineKeySql(int project, std::int64_t product, int coating) {
    return QStringLiteral("select Ключ from buy where %1").arg(lineKey(project, product, coating));
}

QString insertLineSql(int project, std::int64_t product, int coating, std::int64_t itemCode,
                      Fixed4 price, std::int64_t parentId, const QString& unit, Fixed4 kol,
                      Fixed4 kolm) {
    return QStringLiteral(
               "insert into buy (project, TMC, Pokr, TMC2, price, vid, izm, kol, kolm) "
               "values (%1, %2, %3, %4, %5, %6, %7, %8, %9)")
        .arg(sqlInt(project), sqlInt(product), sqlInt(coating), sqlInt(itemCode), sqlFixed(price),
             sqlInt(parentId), sqlText(unit), sqlFixed(kol), sqlFixed(kolm));
}

QString addToLineSql(int project, std::int64_t product, int coating, Fixed4 kol, Fixed4 kolm) {
    return QStringLiteral("update buy set kol = kol + %1, kolm = kolm + %2 where %3")
        .arg(sqlFixed(kol), sqlFixed(kolm), lineKey(project, product, coating));
}

QString coverLookupSql(int coating, std::int64_t coverCode) {
    return QStringLiteral(
               "select Ключ, p%1 as pp, -1*Подвид as parentid, ЕИ from EXPORT_TMC where t%1k = %2")
        .arg(sqlInt(coating), sqlInt(coverCode));
}

QString deleteLineSql(std::int64_t line) {
    return QStringLiteral("delete from buy where Ключ = %1").arg(sqlInt(line));
}

QString clearSpecSql(int project) {
    return QStringLiteral("delete from buy where project = %1").arg(sqlInt(project));
}

QString productLengthSql(std::int64_t product) {
    return QStringLiteral("select Длина, ЕИ from EXPORT_TMC where Ключ = %1").arg(sqlInt(product));
}

QString updateLineQuantitiesSql(Fixed4 kol, Fixed4 kolm, std::int64_t line) {
    return QStringLiteral("update buy set kol = %1, kolm = %2 where Ключ = %3")
        .arg(sqlFixed(kol), sqlFixed(kolm), sqlInt(line));
}
