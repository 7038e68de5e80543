#include "catalogue/CatalogueSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <set>

using namespace catalogue;

TEST(CatalogueSql, ProductTreeOfOneTypeAndCoating) {
    EXPECT_EQ(productTreeSql(2, 64),
              "Select Ключ, Название, Ширина, Высота, Номер||'-'||'2' as Номер, ТМЦ, "
              "iif(k2 is null,0,k2) as kk,t2k as tt,p2 as pp, -1*Подвид as parentid, Ключ as ID, "
              "Длина,Подвид, ЕИ from EXPORT_TMC where Подвид<>5 and Вид = 64 union select 0, "
              "Название, 0, 0,'', 0,0,0,0,0,-Ключ, 0,Ключ,'-' from [EXPORT_PODVID] where Ключ<> 5 "
              "and Ключ in (select distinct Подвид From EXPORT_TMC where Вид = 64)");
}

TEST(CatalogueSql, CoverAndPhotoLookups) {
    EXPECT_EQ(coverNameSql(3, 20103),
              "select Номер||'-'||'3'||' - '||Название as namk From EXPORT_TMC where T3K = 20103");
    EXPECT_EQ(photoSql(1001),
              "Select [Фото] from EXPORT_FOTO where Ключ in (select [_ГруппаФото] From "
              "[Export_INFOTO] where ТМЦ = 1001) limit 1");
    EXPECT_EQ(photoSql(70102, 2),
              "Select [Фото] from EXPORT_FOTO where Ключ in (select [_ГруппаФото] From "
              "[Export_INFOTO] where krep = 2 and ТМЦ = 70102) limit 1");
}

TEST(CatalogueSql, BranchLists) {
    EXPECT_EQ(branchAutoSql(2, "Лоток ЛП 100x50 S0.7", 64, 50, 100),
              "Select Номер||'-'||'2' as Номер,Ключ, Название, ТМЦ, iif(k2 is null,0,k2) as "
              "kk,t2k as tt,p2 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from "
              "EXPORT_TMC where Подвид=5  and ((Название like '%0.7%') or (Название like "
              "'%0,7%'))  and Вид = 64 and Высота = 50 and Ширина = 100");
    // Without a marker there is no name filter at all.
    EXPECT_EQ(branchAutoSql(1, "Лоток ЛП 100x50", -1, 0, 0),
              "Select Номер||'-'||'1' as Номер,Ключ, Название, ТМЦ, iif(k1 is null,0,k1) as "
              "kk,t1k as tt,p1 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from "
              "EXPORT_TMC where Подвид=5  and Вид = -1 and Высота = 0 and Ширина = 0");
    // A name ending right after the marker asks for "1." or "1," anywhere.
    EXPECT_TRUE(branchAutoSql(2, "Лоток S1.", 64, 50, 100)
                    .contains("((Название like '%1.%') or (Название like '%1,%'))"));
    EXPECT_EQ(branchManualSql(5, 65),
              "Select Номер||'-'||'5' as Номер,Ключ, Название, ТМЦ, iif(k5 is null,0,k5) as "
              "kk,t5k as tt,p5 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
              "EXPORT_TMC where Подвид=5 and Вид = 65");
}

TEST(CatalogueSql, AccessoryLists) {
    const QString head =
        "Select Номер||'-'||'4' as Номер, Ключ, Название, ТМЦ, iif(k4 is null,0,k4) as kk,t4k "
        "as tt,p4 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from EXPORT_TMC ";
    EXPECT_EQ(accessoriesSql(4, 72, 3, false),
              head +
                  "where Ключ in (select [_Группа] from EXPORT_KREP where Способ = 3) and Вид "
                  "= 72");
    EXPECT_EQ(accessoriesSql(4, 79, 3, true), head + "where Вид = 79");
    EXPECT_TRUE(isGeneralHardware("Фурнитура общая"));
    for (const char* other : {"фурнитура общая", "Фурнитура общая ", "Фурнитура", ""})
        EXPECT_FALSE(isGeneralHardware(QString::fromUtf8(other))) << other;
}

TEST(CatalogueSql, SearchStatements) {
    EXPECT_EQ(searchTreeSql(2, "Д'А"),
              "Select Ключ, Название, Ширина, Высота, Номер||'-'||'2' as Номер, ТМЦ, "
              "iif(k2 is null,0,k2) as kk,t2k as tt,p2 as pp, -1*Подвид as parentid, Ключ as ID, "
              "Длина,Подвид, ЕИ from EXPORT_TMC  where Подвид<>5 and Вид in "
              "(64,65,66,67,68,69,70,71,75,76) and Номер||' '||Название like '%Д''А%'   union "
              "select 0, Название, 0, 0,'', 0,0,0,0,0,-Ключ, 0,Ключ,'-' from [EXPORT_PODVID] "
              "where Ключ<> 5 and Ключ in (select distinct Подвид From EXPORT_TMC where Вид in "
              "(64,65,66,67,68,69,70,71,75,76) and Номер||' '||Название like '%Д''А%') ");
    EXPECT_EQ(searchBranchSql(1, "50%"),
              "Select Номер||'-'||'1' as Номер,Ключ, Название, ТМЦ, iif(k1 is null,0,k1) as "
              "kk,t1k as tt,p1 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид, ЕИ from "
              "EXPORT_TMC where Подвид=5 and Вид in (64,65,66,67,68,69,70,71,75,76) and "
              "Номер||' '||Название like '%50%%'  ");
    EXPECT_EQ(searchAccessoriesSql(3, "М8"),
              "Select Номер||'-'||'3' as Номер, Ключ, Название, ТМЦ, iif(k3 is null,0,k3) as "
              "kk,t3k as tt,p3 as pp, -1*Подвид as parentid, Ключ as ID, Длина,Подвид,ЕИ from "
              "EXPORT_TMC where Вид in (72,79,80) and Номер||' '||Название like '%М8%'  ");
}

TEST(CatalogueSql, SearchTextNeverLeavesItsLiteral) {
    TempStore store({
        "insert into EXPORT_PODVID values (1, 'Лотки')",
        "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, t1k, p1) values "
        "(1, 'Лоток ''Север''', 'Л-1', 64, 1, 11, 10), (2, 'Лоток 100%', 'Л-2', 64, 1, 12, 10), "
        "(3, 'Поворот 90', 'П-3', 64, 5, 13, 10), (4, 'Гайка', 'Г-4', 79, 7, 14, 10)",
    });
    auto db = Database::open(store.path());
    Query q(*db, "q");
    auto keys = [&](const QString& sql) {
        q.close();
        q.setSql(sql);
        q.open();
        std::set<std::int64_t> found;
        for (int r = 0; r < q.recordCount(); ++r)
            found.insert(q.value(r, q.columnIndex(u"Ключ")).toInt());
        return found;
    };
    const struct {
        const char* text;
        std::set<std::int64_t> tree;  // group rows have the key 0
    } cases[] = {
        {"'Север'", {0, 1}},
        {"Север'", {0, 1}},
        {"'", {0, 1}},
        {"100%", {0, 2}},
        {"Л-%Лоток", {0, 1, 2}},
        {"x' or 1=1 or '", {}},
        {"'); drop table buy; --", {}},
        {"", {0, 1, 2}},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(keys(searchTreeSql(1, text)), c.tree) << c.text;
        EXPECT_NO_THROW(keys(searchBranchSql(1, text))) << c.text;
        EXPECT_NO_THROW(keys(searchAccessoriesSql(1, text))) << c.text;
    }
    EXPECT_EQ(keys(searchBranchSql(1, "п-3 ПОВОРОТ")), std::set<std::int64_t>({3}));
    EXPECT_EQ(keys(searchAccessoriesSql(1, "гайка")), std::set<std::int64_t>({4}));
    EXPECT_EQ(keys(searchTreeSql(1, QString("Сев") + QChar(u'\0') + "ер")),
              std::set<std::int64_t>({0, 1}));
    EXPECT_EQ(store.scalar("select count(*) from buy"), "0");
}

TEST(CatalogueRules, SValueOfATrayName) {
    const struct {
        const char* name;
        const char* s;
    } cases[] = {
        {"Лоток ЛП 100x50 S0.7", "0.7"},
        {"Лоток ЛП 100x50 S1.0 УТ1.5", "1.0"},
        {"Лоток S1.2 и S0.8", "0.8"},  // "S0." wins wherever it stands
        {"Лоток S0.55", "0.5"},
        {"Лоток ЛП 100x50 S1.", "1."},
        {"Лоток ЛП 100x50", ""},
        {"Лоток S2.0", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sValue(QString::fromUtf8(c.name)), QString::fromUtf8(c.s)) << c.name;
}

TEST(CatalogueRules, PieceCountCoversTheRouteWithWholePieces) {
    const struct {
        const char* metres;
        const char* stock;
        std::int64_t pieces;
    } cases[] = {
        {"0.5", "3000", 1}, {"3", "3000", 1},   {"3.001", "3000", 2}, {"0", "3000", 0},
        {"7.5", "3000", 3}, {"7.5", "2500", 3}, {"7.51", "2500", 4},  {"2", "0", 1},
        {"2", "-1", 1},     {"0", "0", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pieceCount(*Fixed4::parse(QString::fromLatin1(c.metres)),
                             *Fixed4::parse(QString::fromLatin1(c.stock))),
                  c.pieces)
            << c.metres << " m of " << c.stock;
}

TEST(CatalogueRules, OnlyNumbersEnterStatementsAsWholeNumbers) {
    EXPECT_EQ(wholeNumber(Value()), std::nullopt);
    EXPECT_EQ(wholeNumber(Value(QString())), std::nullopt);
    EXPECT_EQ(wholeNumber(Value(QString("  "))), std::nullopt);
    EXPECT_EQ(wholeNumber(Value(QString("abc"))), std::nullopt);
    EXPECT_EQ(wholeNumber(Value(QByteArray("12"))), std::nullopt);
    EXPECT_EQ(wholeNumber(Value(std::int64_t(50))), 50);
    EXPECT_EQ(wholeNumber(Value(100.0)), 100);
    EXPECT_EQ(wholeNumber(Value(QString("70102"))), 70102);
}
