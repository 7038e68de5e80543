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

// The line rows of the view, the columns named as every reader of the view names them; podvid
// and vid only order the rows. vid is named: else SQLite orders the union by the first column
// holding vid, parentid, which is 0 on group rows and so put them after their lines.
QString lineRowsSql(const QString& where) {
    return QStringLiteral(
               "select Ключ, TMC, Pokr, kol, TMC2, price, vid as parentid, Ключ as ID, "
               "(select Название from EXPORT_TMC where Ключ = buy.TMC) as Tname, "
               "fixed_mul(price, kol) as summa, %1 as pokr, fixed_mul(price, kol) as summa2, "
               "(select Номер from EXPORT_TMC where Ключ = buy.TMC)||'-'||str(Pokr) as nomer, "
               "izm, kolm, "
               "%2 as podvid, vid as vid "
               "from buy where %3")
        .arg(schema::coatingNameSql(QStringLiteral("Pokr")),
             subtypeNameSql(QStringLiteral("buy.vid")), where);
}

// One row per subtype group, keyed by the subtype negated, with the sums of the project's lines
// of that subtype in the quantity and sum columns.
QString groupRowsSql(int project, const QString& where) {
    return QStringLiteral(
               "select 0, 0, 0, "
               "(select fixed_sum(kol) from buy where project = %1 and vid = -EXPORT_PODVID.Ключ), "
               "0, 0, 0, -Ключ, Название, "
               "(select fixed_sum(fixed_mul(kol, price)) from buy "
               "where project = %1 and vid = -EXPORT_PODVID.Ключ), "
               "'', 0, '', '', "
               "(select fixed_sum(kolm) from buy where project = %1 and vid = "
               "-EXPORT_PODVID.Ключ), "
               "%2, -Ключ "
               "from EXPORT_PODVID where %3")
        .arg(sqlInt(project), subtypeSortName(QStringLiteral("Название")), where);
}

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

// A group row's first column is 0 and a line's its key, so no row can stand twice: union all
// spares the engine comparing whole rows to remove duplicates.
QString specViewSql(int project) {
    return lineRowsSql(QStringLiteral("project = %1").arg(sqlInt(project))) +
           QStringLiteral(" union all ") +
           groupRowsSql(project,
                        QStringLiteral("Ключ in (select -vid from buy where project = %1) %2")
                            .arg(sqlInt(project),
                                 specOrderSql(QStringLiteral("podvid"), QStringLiteral("vid"),
                                              QStringLiteral("Ключ"))));
}

QString specRowsSql(int project, const std::vector<std::int64_t>& lines,
                    const std::vector<std::int64_t>& vids) {
    std::vector<std::int64_t> subtypes;
    for (const std::int64_t vid : vids)
        subtypes.push_back(-vid);
    const QString lineKeys = keyList(lines);
    // The lines' own groups, as their vids stand in the store, and the groups named.
    return lineRowsSql(
               QStringLiteral("project = %1 and Ключ in %2").arg(sqlInt(project), lineKeys)) +
           QStringLiteral(" union all ") +
           groupRowsSql(project, QStringLiteral("(Ключ in (select -vid from buy where project = "
                                                "%1 and Ключ in %2) or Ключ in %3) and %4")
                                     .arg(sqlInt(project), lineKeys, keyList(subtypes),
                                          usedByProject(project)));
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
