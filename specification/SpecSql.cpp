#include "specification/SpecSql.h"

#include "store/Schema.h"
#include "store/SqlLiteral.h"

namespace {

// The one line of a project for a product and a coating.
QString lineKey(int project, std::int64_t product, int coating) {
    return QStringLiteral("project = %1 and TMC = %2 and Pokr = %3")
        .arg(sqlInt(project), sqlInt(product), sqlInt(coating));
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

QString specViewSql(int project) {
    // Line rows, then one row per subtype the lines use, keyed by the subtype negated, with the
    // sums of its lines in the quantity and sum columns; podvid and vid only order the rows.
    return QStringLiteral(
               "select Ключ, TMC, Pokr, kol, TMC2, price, vid as parentid, Ключ as ID, "
               "(select Название from EXPORT_TMC where Ключ = buy.TMC) as Tname, "
               "fixed_mul(price, kol) as summa, %1 as pokr, fixed_mul(price, kol) as summa2, "
               "(select Номер from EXPORT_TMC where Ключ = buy.TMC)||'-'||str(Pokr) as nomer, "
               "izm, kolm, "
               "%4 as podvid, vid "
               "from buy where project = %2 "
               "union "
               "select 0, 0, 0, "
               "(select fixed_sum(kol) from buy where project = %2 and vid = -EXPORT_PODVID.Ключ), "
               "0, 0, 0, -Ключ, Название, "
               "(select fixed_sum(fixed_mul(kol, price)) from buy "
               "where project = %2 and vid = -EXPORT_PODVID.Ключ), "
               "'', 0, '', '', "
               "(select fixed_sum(kolm) from buy where project = %2 and vid = "
               "-EXPORT_PODVID.Ключ), "
               "%5, -Ключ "
               "from EXPORT_PODVID where Ключ in (select -vid from buy where project = %2) %3")
        .arg(schema::coatingNameSql(QStringLiteral("Pokr")), sqlInt(project),
             specOrderSql(QStringLiteral("podvid"), QStringLiteral("vid"), QStringLiteral("Ключ")),
             subtypeNameSql(QStringLiteral("buy.vid")),
             subtypeSortName(QStringLiteral("Название")));
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

QString lineCountSql(int project, std::int64_t product, int coating) {
    return QStringLiteral("select count(*) as sss from buy where %1")
        .arg(lineKey(project, product, coating));
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
