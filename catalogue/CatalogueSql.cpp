#include "catalogue/CatalogueSql.h"

#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/SqlLiteral.h"

namespace catalogue {

namespace {

// The condition on the items of the types whose article and name, joined by one space,
// contain the text; a "%" in it keeps its pattern meaning. A NUL would end the statement text
// inside the literal, and no catalogue text holds one.
QString foundAmong(const QString& typeKeys, QString text) {
    text.remove(QChar(u'\0'));
    return QStringLiteral("Вид in (%1) and Номер||' '||Название like %2")
        .arg(typeKeys, sqlText(QStringLiteral("%") + text + QStringLiteral("%")));
}

// Products of the tree in a coating and one group row per subtype they use, the branch
// subtype left out; a group row's key is its subtype's key negated.
QString treeSql(int coating, const QString& products) {
    return QStringLiteral(
               "select Ключ, Название, Ширина, Высота, Номер||'-'||'%1' as Номер, ТМЦ, "
               "coalesce(k%1,0) as kk, t%1k as tt, p%1 as pp, -1*Подвид as parentid, "
               "Ключ as ID, Длина, Подвид, ЕИ "
               "from EXPORT_TMC where Подвид <> %2 and %3 "
               "union select 0, Название, 0, 0, '', 0, 0, 0, 0, 0, -Ключ, 0, Ключ, '-' "
               "from EXPORT_PODVID where Ключ <> %2 and Ключ in "
               "(select distinct Подвид from EXPORT_TMC where %3) "
               // The order the file's engine gives a union anyway; a server's is arbitrary.
               "order by 1, 2")
        .arg(sqlInt(coating), sqlInt(schema::branchSubtype), products);
}

// The orders in which the file's engine reads the flat lists along their indexes (byte order of
// the texts, nulls first), written out so a server, whose order is arbitrary without them, shows
// the same lists.
const QString accessoryOrder = QStringLiteral(
    "EXPORT_TMC.Вид, EXPORT_TMC.Подвид nulls first, EXPORT_TMC.Номер collate binary nulls first, "
    "EXPORT_TMC.Название collate binary nulls first, EXPORT_TMC.Ключ");
const QString branchOrder = QStringLiteral(
    "EXPORT_TMC.Подвид, EXPORT_TMC.Вид, EXPORT_TMC.Высота nulls first, "
    "EXPORT_TMC.Ширина nulls first, EXPORT_TMC.Номер collate binary nulls first, "
    "EXPORT_TMC.Название collate binary nulls first, EXPORT_TMC.Ключ");

// The flat lists of branch elements and accessories in a coating.
QString listSql(int coating, const QString& products, const QString& order = accessoryOrder) {
    return QStringLiteral(
               "select Номер||'-'||'%1' as Номер, Ключ, Название, ТМЦ, "
               "coalesce(k%1,0) as kk, t%1k as tt, p%1 as pp, -1*Подвид as parentid, "
               "Ключ as ID, Длина, Подвид, ЕИ "
               "from EXPORT_TMC where %2 order by %3")
        .arg(sqlInt(coating), products, order);
}

QString branchListSql(int coating, const QString& products) {
    return listSql(
        coating, QStringLiteral("Подвид = %1 and %2").arg(sqlInt(schema::branchSubtype), products),
        branchOrder);
}

// The first photo of a group by the photo's key.
QString firstPhotoSql(const QString& links) {
    return QStringLiteral(
               "select Фото from EXPORT_FOTO where Ключ in "
               "(select _ГруппаФото from Export_INFOTO where %1) order by Ключ limit 1")
        .arg(links);
}

}  // namespace

QString searchedProducts(const QString& typeKeys, const QString& text, bool indexed) {
    const QString rows = indexed ? searchIndex::narrowing(text) : QString();
    if (rows.isEmpty())
        return QStringLiteral("EXPORT_TMC where ") + foundAmong(typeKeys, text);
    // The rows the index names, each looked up by its number, in the index's order: no
    // list of them is built first. The like still decides.
    return QStringLiteral(
               "%1 as found cross join EXPORT_TMC on EXPORT_TMC.rowid = found.rowid "
               "where %2")
        .arg(rows, foundAmong(typeKeys, text));
}

QString productTreeSql(int coating, int typeKey) {
    return treeSql(coating, QStringLiteral("Вид = %1").arg(sqlInt(typeKey)));
}

QString searchTreeSql(int coating, const QString& text) {
    return treeSql(coating, foundAmong(schema::trayTypes, text));
}

QString coverNameSql(int coating, std::int64_t coverCode) {
    return QStringLiteral(
               "select Номер||'-'||'%1'||' - '||Название as namk from EXPORT_TMC where t%1k = %2")
        .arg(sqlInt(coating), sqlInt(coverCode));
}

QString photoSql(std::int64_t itemCode) {
    return firstPhotoSql(QStringLiteral("ТМЦ = %1").arg(sqlInt(itemCode)));
}

QString photoSql(std::int64_t itemCode, int mounting) {
    return firstPhotoSql(
        QStringLiteral("krep = %1 and ТМЦ = %2").arg(sqlInt(mounting), sqlInt(itemCode)));
}

QString sValue(const QString& trayName) {
    int at = trayName.indexOf(QStringLiteral("S0."));
    if (at < 0)
        at = trayName.indexOf(QStringLiteral("S1."));
    return at < 0 ? QString() : trayName.mid(at + 1, 3);
}

QString branchAutoSql(int coating, const QString& trayName, int typeKey, std::int64_t height,
                      std::int64_t width) {
    QString products = QStringLiteral("Вид = %1 and Высота = %2 and Ширина = %3")
                           .arg(sqlInt(typeKey), sqlInt(height), sqlInt(width));
    const QString thickness = sValue(trayName);
    if (!thickness.isEmpty()) {
        // Branch elements write the thickness with a point or with a comma: 0.7 or 0,7.
        const QString withComma = thickness.left(1) + QStringLiteral(",") + thickness.mid(2, 1);
        products += QStringLiteral(" and (Название like %1 or Название like %2)")
                        .arg(sqlText(QStringLiteral("%") + thickness + QStringLiteral("%")),
                             sqlText(QStringLiteral("%") + withComma + QStringLiteral("%")));
    }
    return branchListSql(coating, products);
}

QString branchManualSql(int coating, int typeKey) {
    return branchListSql(coating, QStringLiteral("Вид = %1").arg(sqlInt(typeKey)));
}

QString searchBranchSql(int coating, const QString& text) {
    return branchListSql(coating, foundAmong(schema::trayTypes, text));
}

bool isGeneralHardware(const QString& shownType) {
    return shownType == schema::generalHardware;
}

QString accessoriesSql(int coating, int typeKey, int mounting, bool generalHardware) {
    if (generalHardware)
        return listSql(coating, QStringLiteral("Вид = %1").arg(sqlInt(typeKey)));
    return listSql(coating,
                   QStringLiteral("Ключ in (select _Группа from EXPORT_KREP where Способ = %1) "
                                  "and Вид = %2")
                       .arg(sqlInt(mounting), sqlInt(typeKey)));
}

QString searchAccessoriesSql(int coating, const QString& text) {
    return listSql(coating, foundAmong(schema::accessoryTypes, text));
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
