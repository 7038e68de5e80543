#include "specification/SpecSql.h"

#include "store/SqlLiteral.h"

namespace {

QString c(int coating) {
    return sqlInt(coating);
}

// The key of one line of a project: project, product and coating.
QString lineWhere(int project, std::int64_t product, int coating) {
    return QStringLiteral("project = ") + sqlInt(project) + QStringLiteral(" and TMC = ") +
           sqlInt(product) + QStringLiteral(" and pokr = ") + c(coating);
}

QString updateWhere(int project, std::int64_t product, int coating) {
    return QStringLiteral(" where project = ") + sqlInt(project) + QStringLiteral(" and TMC=") +
           sqlInt(product) + QStringLiteral(" and Pokr = ") + c(coating);
}

}  // namespace

QString specCaptionSql(int project) {
    return QStringLiteral("Select Название from project where Ключ =") + sqlInt(project);
}

QString specCaption(const std::optional<QString>& projectName) {
    if (!projectName)
        return QStringLiteral("Выбранные товары");
    return QStringLiteral("Выбранные товары               Проект: ") + *projectName;
}

QString specViewSql(int project) {
    const QString p = sqlInt(project);
    return QStringLiteral(
               "select Ключ, TMC, Pokr, kol, TMC2, price,vid as parentid, Ключ as ID, "
               "(select Название From EXPORT_TMC Where Ключ = buy.TMC) as Tname, "
               "fixed_mul(price, kol) as summa, "
               "iif(Pokr=1,'Грунт',iif(Pokr=2,'Цинк',iif(Pokr=3,'Полимер',"
               "iif(Pokr=4,'Гор. Цинк',iif(Pokr=5,'ТДЦ',0))))) as pokr, fixed_mul(price, kol) as "
               "summa2, "
               "(select Номер From EXPORT_TMC Where Ключ = buy.TMC) ||'-'||str(Pokr) as nomer, "
               "izm, kolm from buy where project =") +
           p + QStringLiteral(" ") + QStringLiteral("union ") +
           QStringLiteral("select 0, 0, 0, (select fixed_sum(kol) from buy where project =") + p +
           QStringLiteral(" and vid = -EXPORT_PODVID.Ключ) ") +
           QStringLiteral(
               ", 0, 0, 0, -Ключ, Название, (select fixed_sum(fixed_mul(kol, price)) from buy "
               "where project =") +
           p + QStringLiteral(" and vid = -EXPORT_PODVID.Ключ),'',0,'','', ") +
           QStringLiteral("(select fixed_sum(kolm) from buy where project =") + p +
           QStringLiteral(" and vid = -EXPORT_PODVID.Ключ) ") +
           QStringLiteral(
               "from EXPORT_PODVID where Ключ in (select -vid from buy where project =") +
           p + QStringLiteral(") ");
}

QString lineQuantitiesSql(int project, std::int64_t product, int coating) {
    return QStringLiteral("select kol, kolm from buy where ") +
           lineWhere(project, product, coating);
}

QString lineCountSql(int project, std::int64_t product, int coating) {
    return QStringLiteral("select count(*) as sss from buy where ") +
           lineWhere(project, product, coating);
}

QString insertTreeLineSql(std::int64_t product, Fixed4 order, int coating, std::int64_t itemCode,
                          Fixed4 price, std::int64_t parentId, const QString& unit, int project,
                          Fixed4 length) {
    return QStringLiteral(
               "insert Into buy (TMC, kol, pokr, TMC2, price,vid,izm, Project,kolm) "
               "values(") +
           sqlInt(product) + QStringLiteral(",") + sqlFixed(order) + QStringLiteral(", ") +
           c(coating) + QStringLiteral(",") + sqlInt(itemCode) + QStringLiteral(",") +
           sqlFixed(price) + QStringLiteral(",") + sqlInt(parentId) + QStringLiteral(",'") +
           sqlTextBody(unit) + QStringLiteral("', ") + sqlInt(project) + QStringLiteral(",") +
           sqlFixed(length) + QStringLiteral(")");
}

QString updateTreeLineSql(Fixed4 order, Fixed4 length, int project, std::int64_t product,
                          int coating) {
    return QStringLiteral("Update buy set kol = kol+") + sqlFixed(order) +
           QStringLiteral(", kolm=kolm+") + sqlFixed(length) +
           updateWhere(project, product, coating);
}

QString coverLookupSql(int coating, std::int64_t coverCode) {
    return QStringLiteral("select Ключ,p") + c(coating) +
           QStringLiteral(" as pp, -1*Подвид as parentid, ЕИ From EXPORT_TMC where T") +
           c(coating) + QStringLiteral("K = ") + sqlInt(coverCode);
}

QString insertCoverLineSql(int project, std::int64_t cover, Fixed4 order, int coating,
                           std::int64_t coverCode, Fixed4 price, std::int64_t parentId,
                           const QString& unit, Fixed4 length) {
    return QStringLiteral(
               "insert Into buy (project, TMC, kol, pokr, TMC2, price,vid,izm, kolm) "
               "values(") +
           sqlInt(project) + QStringLiteral(",") + sqlInt(cover) + QStringLiteral(",") +
           sqlFixed(order) + QStringLiteral(", ") + c(coating) + QStringLiteral(",") +
           sqlInt(coverCode) + QStringLiteral(",") + sqlFixed(price) + QStringLiteral(",") +
           sqlInt(parentId) + QStringLiteral(",'") + sqlTextBody(unit) + QStringLiteral("',") +
           sqlFixed(length) + QStringLiteral(")");
}

QString updateCoverLineSql(Fixed4 order, Fixed4 length, int project, std::int64_t cover,
                           int coating) {
    return QStringLiteral("Update buy set kol = kol+") + sqlFixed(order) +
           QStringLiteral(", kolm = kolm + ") + sqlFixed(length) +
           updateWhere(project, cover, coating);
}

QString insertBranchLineSql(int project, std::int64_t product, int coating, std::int64_t itemCode,
                            Fixed4 price, std::int64_t parentId, const QString& unit) {
    return QStringLiteral(
               "insert Into buy (project, TMC, kol,kolm, pokr, TMC2, price,vid,izm) "
               "values(") +
           sqlInt(project) + QStringLiteral(",") + sqlInt(product) + QStringLiteral(",1,1, ") +
           c(coating) + QStringLiteral(",") + sqlInt(itemCode) + QStringLiteral(",") +
           sqlFixed(price) + QStringLiteral(",") + sqlInt(parentId) + QStringLiteral(",'") +
           sqlTextBody(unit) + QStringLiteral("')");
}

QString insertAccessoryLineSql(int project, std::int64_t product, int coating,
                               std::int64_t itemCode, Fixed4 price, std::int64_t parentId,
                               const QString& unit) {
    return QStringLiteral(
               "insert Into buy (Project, TMC, kol,kolm, pokr, TMC2, price,vid, izm) "
               "values(") +
           sqlInt(project) + QStringLiteral(",") + sqlInt(product) + QStringLiteral(",1,1, ") +
           c(coating) + QStringLiteral(",") + sqlInt(itemCode) + QStringLiteral(",") +
           sqlFixed(price) + QStringLiteral(",") + sqlInt(parentId) + QStringLiteral(",'") +
           sqlTextBody(unit) + QStringLiteral("')");
}

QString addOnePieceSql(int project, std::int64_t product, int coating) {
    return QStringLiteral("Update buy set kol = kol+1, kolm=kolm+1") +
           updateWhere(project, product, coating);
}

QString deleteLineSql(std::int64_t line) {
    return QStringLiteral("delete from buy where Ключ = ") + sqlInt(line);
}

QString clearSpecSql(int project) {
    return QStringLiteral("delete from buy where project = ") + sqlInt(project);
}

QString productLengthSql(std::int64_t product) {
    return QStringLiteral("select Длина,ЕИ from EXPORT_TMC where Ключ = ") + sqlInt(product);
}

QString updateLineQuantitiesSql(Fixed4 kol, Fixed4 kolm, std::int64_t line) {
    return QStringLiteral("Update buy set kol = ") + sqlFixed(kol) + QStringLiteral(", kolm = ") +
           sqlFixed(kolm) + QStringLiteral(" where Ключ = ") + sqlInt(line);
}
