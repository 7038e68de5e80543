#include "catalogue/CatalogueSql.h"

#include "store/Schema.h"
#include "store/SqlLiteral.h"

namespace catalogue {

namespace {

// The search text inside its quoted pattern. Quotes are doubled, "%" keeps its pattern meaning.
// A NUL would end the statement text inside the literal, and no catalogue text holds one.
QString searchBody(const QString& text) {
    QString body = sqlTextBody(text);
    body.remove(QChar(u'\0'));
    return body;
}

// Article with the coating code appended, the key and the name: the head of every flat list.
QString flatListHead(const QString& n) {
    return QStringLiteral("Select Номер||'-'||'") + n +
           QStringLiteral("' as Номер,Ключ, Название, ТМЦ, iif(k") + n +
           QStringLiteral(" is null,0,k") + n + QStringLiteral(") as kk,t") + n +
           QStringLiteral("k as tt,p") + n;
}

QString accessoryListHead(const QString& n) {
    return QStringLiteral("Select Номер||'-'||'") + n +
           QStringLiteral("' as Номер, Ключ, Название, ТМЦ, ") + QStringLiteral("iif(k") + n +
           QStringLiteral(" is null,0,k") + n + QStringLiteral(") as kk,t") + n +
           QStringLiteral("k as tt,p") + n +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from "
               "EXPORT_TMC ");
}

QString treeHead(const QString& n) {
    return QStringLiteral("Select Ключ, Название, Ширина, Высота, Номер||'-'||'") + n +
           QStringLiteral("' as Номер, ТМЦ, iif(k") + n + QStringLiteral(" is null,0,k") + n +
           QStringLiteral(") as kk,t") + n + QStringLiteral("k as tt,p") + n;
}

}  // namespace

QString productTreeSql(int coating, int typeKey) {
    const QString n = sqlInt(coating);
    const QString v = sqlInt(typeKey);
    return treeHead(n) +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
               "EXPORT_TMC where Подвид<>5 and Вид = ") +
           v +
           QStringLiteral(
               " union select 0, Название, 0, 0,'', 0,0,0,0,0,-Ключ, 0,Ключ,'-' from "
               "[EXPORT_PODVID] where Ключ<> 5 and Ключ in (select distinct Подвид "
               "From EXPORT_TMC where Вид = ") +
           v + QStringLiteral(")");
}

QString searchTreeSql(int coating, const QString& text) {
    const QString n = sqlInt(coating);
    const QString s = searchBody(text);
    return treeHead(n) +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
               "EXPORT_TMC ") +
           QStringLiteral(" where Подвид<>5 and Вид in (") + schema::trayTypes +
           QStringLiteral(") and Номер||' '||Название like '%") + s + QStringLiteral("%'  ") +
           QStringLiteral(
               " union select 0, Название, 0, 0,'', 0,0,0,0,0,-Ключ, 0,Ключ,'-' from "
               "[EXPORT_PODVID] where Ключ<> 5 and Ключ in (select distinct Подвид "
               "From EXPORT_TMC where Вид in (") +
           schema::trayTypes + QStringLiteral(") and Номер||' '||Название like '%") + s +
           QStringLiteral("%') ");
}

QString coverNameSql(int coating, std::int64_t coverCode) {
    const QString n = sqlInt(coating);
    return QStringLiteral("select Номер||'-'||'") + n +
           QStringLiteral("'||' - '||Название as namk From EXPORT_TMC where T") + n +
           QStringLiteral("K = ") + sqlInt(coverCode);
}

QString photoSql(std::int64_t itemCode) {
    return QStringLiteral(
               "Select [Фото] from EXPORT_FOTO where Ключ in (select [_ГруппаФото] From "
               "[Export_INFOTO] where ТМЦ = ") +
           sqlInt(itemCode) + QStringLiteral(") order by Ключ limit 1");
}

QString photoSql(std::int64_t itemCode, int mounting) {
    return QStringLiteral(
               "Select [Фото] from EXPORT_FOTO where Ключ in (select [_ГруппаФото] From "
               "[Export_INFOTO] where krep = ") +
           sqlInt(mounting) + QStringLiteral(" and ТМЦ = ") + sqlInt(itemCode) +
           QStringLiteral(") order by Ключ limit 1");
}

QString sValue(const QString& trayName) {
    int at = trayName.indexOf(QStringLiteral("S0."));
    if (at < 0)
        at = trayName.indexOf(QStringLiteral("S1."));
    return at < 0 ? QString() : trayName.mid(at + 1, 3);
}

QString branchAutoSql(int coating, const QString& trayName, int typeKey, std::int64_t height,
                      std::int64_t width) {
    const QString s = sValue(trayName);
    QString nameFilter;
    if (!s.isEmpty()) {
        // Branch elements write the thickness with a point or with a comma: 0.7 or 0,7.
        nameFilter = QStringLiteral(" and ((Название like '%") + sqlTextBody(s) +
                     QStringLiteral("%') or (Название like '%") + sqlTextBody(s.left(1)) +
                     QStringLiteral(",") + sqlTextBody(s.mid(2, 1)) + QStringLiteral("%')) ");
    }
    return flatListHead(sqlInt(coating)) +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from "
               "EXPORT_TMC where Подвид=5 ") +
           nameFilter + QStringLiteral(" and Вид = ") + sqlInt(typeKey) +
           QStringLiteral(" and Высота = ") + sqlInt(height) + QStringLiteral(" and Ширина = ") +
           sqlInt(width);
}

QString branchManualSql(int coating, int typeKey) {
    return flatListHead(sqlInt(coating)) +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
               "EXPORT_TMC where Подвид=5 and Вид = ") +
           sqlInt(typeKey);
}

QString searchBranchSql(int coating, const QString& text) {
    return flatListHead(sqlInt(coating)) +
           QStringLiteral(
               " as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
               "EXPORT_TMC where Подвид=5 and ") +
           QStringLiteral("Вид in (") + schema::trayTypes +
           QStringLiteral(") and Номер||' '||Название like '%") + searchBody(text) +
           QStringLiteral("%'  ");
}

bool isGeneralHardware(const QString& shownType) {
    return shownType == schema::generalHardware;
}

QString accessoriesSql(int coating, int typeKey, int mounting, bool generalHardware) {
    const QString filter =
        generalHardware
            ? QStringLiteral("where Вид = ") + sqlInt(typeKey)
            : QStringLiteral("where Ключ in (select [_Группа] from EXPORT_KREP where Способ = ") +
                  sqlInt(mounting) + QStringLiteral(") and Вид = ") + sqlInt(typeKey);
    return accessoryListHead(sqlInt(coating)) + filter;
}

QString searchAccessoriesSql(int coating, const QString& text) {
    return accessoryListHead(sqlInt(coating)) + QStringLiteral("where Вид in (") +
           schema::accessoryTypes + QStringLiteral(") and Номер||' '||Название like '%") +
           searchBody(text) + QStringLiteral("%'  ");
}

std::int64_t pieceCount(Fixed4 lengthMetres, Fixed4 stockLength) {
    if (stockLength <= Fixed4())
        return 1;
    return (lengthMetres * Fixed4::fromInt(1000)).ceilDiv(stockLength);
}

std::optional<std::int64_t> wholeNumber(const Value& value) {
    if (value.isNull() || value.isBlob())
        return std::nullopt;
    if (value.isNumber())
        return value.toInt();
    const auto parsed = Fixed4::parse(value.toText().trimmed());
    if (!parsed)
        return std::nullopt;
    return parsed->raw() / Fixed4::Scale;
}

}  // namespace catalogue
