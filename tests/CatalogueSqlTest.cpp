#include "catalogue/CatalogueSql.h"
#include "catalogue/CoatingRows.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>

using namespace catalogue;

namespace {

// Trays, covers and branch elements of tray types 64, 65 and 76, accessories of types 72, 79 and
// 80, and items of type 90, which is neither. Prices are price + 10 N in coating N (see
// catalogueItem).
QStringList fixture() {
    return {
        "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки'), (3, 'Лестничные'), "
        "(4, 'Листовые'), (5, 'Ответвления'), (7, 'Крепёж'), (8, 'Пустой')",
        catalogueItem(101, "Лоток ЛП 100x50 S0.7", "ЛП-100", 64, 1, 100, 50, 3000, "м.п.", 1001,
                      20100, 10100, 100),
        catalogueItem(102, "Лоток ЛП 200x50", "ЛП-200", 64, 1, 200, 50, 3000, "м.п.", 1002, 0,
                      10200, 200),
        catalogueItem(103, "Лоток Д'Арт 300x80", "ЛД-300", 64, 3, 300, 80, 2500, "м.п.", 1003, 0,
                      10300, 300),
        // The cover of 101 in every coating; 202's code in coating 2 equals 201's in coating 3.
        catalogueItem(201, "Крышка КЛ 100", "КЛ-100", 64, 2, 100, 0, 3000, "м.п.", 2001, 0, 20100,
                      50),
        catalogueItem(202, "Крышка чужая", "КЧ-100", 64, 2, 100, 0, 3000, "м.п.", 2002, 0, 20101,
                      60),
        catalogueItem(501, "Поворот ПП 100x50 S0,7", "ПП-100", 64, 5, 100, 50, 0, "шт.", 5001, 0,
                      50100, 80),
        catalogueItem(502, "Поворот ПП 100x50 S1.0", "ПП-101", 64, 5, 100, 50, 0, "шт.", 5002, 0,
                      50200, 90),
        catalogueItem(503, "Тройник ТП 100x50 0.7", "ТП-100", 64, 5, 100, 50, 0, "шт.", 5003, 0,
                      50300, 95),
        catalogueItem(504, "Тройник ТП 200x50 0.7", "ТП-200", 64, 5, 200, 50, 0, "шт.", 5004, 0,
                      50400, 99),
        catalogueItem(505, "Тройник ТП 100x80 0.7", "ТП-180", 64, 5, 100, 80, 0, "шт.", 5005, 0,
                      50500, 99),
        catalogueItem(506, "Крестовина КП 100x50 1,0", "КП-100", 64, 5, 100, 50, 0, "шт.", 5006, 0,
                      50600, 70),
        catalogueItem(507, "Отвод Д'Арт 300x80", "ОД-300", 64, 5, 300, 80, 0, "шт.", 5007, 0, 50700,
                      60),
        catalogueItem(603, "Лоток Д'Арт листовой", "ЛЛ-200", 76, 4, 200, 100, 2000, "м.п.", 6003, 0,
                      60300, 150),
        catalogueItem(651, "Поворот ПЛ 100x50 0.7", "ПЛ-100", 65, 5, 100, 50, 0, "шт.", 6051, 0,
                      65100, 70),
        catalogueItem(652, "Тройник ТЛ 100x50", "ТЛ-100", 65, 5, 100, 50, 0, "шт.", 6052, 0, 65200,
                      75),
        catalogueItem(701, "Шпилька М8", "ШП-8", 72, 7, 0, 0, 0, "шт.", 7001, 0, 70100, 10),
        catalogueItem(702, "Подвес потолочный", "ПВ-1", 72, 7, 0, 0, 0, "шт.", 7002, 30000, 70200,
                      20),
        catalogueItem(711, "Гайка м8", "ГМ-8", 79, 7, 0, 0, 0, "шт.", 7011, 0, 71100, 1),
        catalogueItem(712, "Шайба", "ШБ-8", 79, 7, 0, 0, 0, "шт.", 7012, 0, 71200, 1),
        catalogueItem(801, "Консоль настенная М8", "КН-200", 80, 7, 0, 0, 0, "шт.", 8001, 0, 80100,
                      40),
        catalogueItem(901, "Винт М8", "ВМ-8", 90, 7, 0, 0, 0, "шт.", 9001, 0, 90100, 5),
        catalogueItem(903, "Лоток Д'Арт прочий", "ЛП-900", 90, 1, 100, 50, 3000, "м.п.", 9003, 0,
                      90300, 10),
        "insert into EXPORT_KREP values (701, 3), (702, 1), (702, 2), (711, 1), (712, 2), "
        "(801, 3)",
        // Item 1001 has two photos, linked in the opposite order of their keys; 70102 one for
        // the wall and one for the floor.
        "insert into EXPORT_FOTO values (9, cast('фото 9' as blob)), (4, cast('фото 4' as blob)), "
        "(2, cast('стена' as blob)), (3, cast('пол' as blob))",
        "insert into Export_INFOTO values (1001, 9, 1), (1001, 4, 2), (70102, 2, 2), "
        "(70102, 3, 3)",
    };
}

// The columns of the catalogue grids, as the program reads them by name, in order.
const QStringList kTreeColumns = {"Ключ", "Название", "Ширина", "Высота", "Номер",
                                  "ТМЦ",  "kk",       "tt",     "pp",     "parentid",
                                  "ID",   "Длина",    "Подвид", "ЕИ"};
const QStringList kListColumns = {"Номер", "Ключ",     "Название", "ТМЦ",   "kk",     "tt",
                                  "pp",    "parentid", "ID",       "Длина", "Подвид", "ЕИ"};

using Rows = std::multiset<QString>;
using Keys = std::set<std::int64_t>;

class CatalogueStatements : public ::testing::TestWithParam<Engine> {
protected:
    // The statement's rows as "field|field|..." texts; the statements leave the order of the
    // rows to the engine. Each column must stand where the list names it.
    Rows rows(const QString& sql, const QStringList& columns) {
        Query q(*db, "q");
        q.setSql(sql);
        q.open();
        return rowsOf(q, columns);
    }
    // Rows made in memory, as the grids hold them.
    Rows rows(std::shared_ptr<const RowSource> read, const QStringList& columns) {
        Query q(*db, "q");
        q.openRows(std::move(read));
        return rowsOf(q, columns);
    }
    static Rows rowsOf(const Query& q, const QStringList& columns) {
        EXPECT_EQ(q.columnCount(), columns.size()) << q.sql().toStdString();
        for (int c = 0; c < columns.size(); ++c)
            EXPECT_EQ(q.columnIndex(columns[c]), c) << columns[c].toStdString();
        Rows result;
        for (int r = 0; r < q.recordCount(); ++r) {
            QStringList fields;
            for (int c = 0; c < q.columnCount(); ++c)
                fields << q.value(r, c).toText();
            result.insert(fields.join('|'));
        }
        return result;
    }
    Keys keys(const QString& sql, const QStringList& columns) {
        const int key = int(columns.indexOf("Ключ"));
        Keys result;
        for (const QString& row : rows(sql, columns))
            result.insert(row.section('|', key, key).toLongLong());
        return result;
    }

    void SetUp() override {
        SKIP_WITHOUT_SERVER(GetParam());
        db = openOn(GetParam(), store, server);
    }

    TempStore store{fixture()};
    std::unique_ptr<ServerStore> server;
    std::unique_ptr<Database> db;
};

}  // namespace

TEST_P(CatalogueStatements, ProductTreeOfOneTypeAndCoating) {
    // Type 64 outside the branch subtype, in coating 2, and one group row per subtype it uses.
    EXPECT_EQ(
        rows(productTreeSql(2, 64), kTreeColumns),
        Rows({
            "101|Лоток ЛП 100x50 S0.7|100|50|ЛП-100-2|1001|20102|10102|120|-1|101|3000|1|м.п.",
            "102|Лоток ЛП 200x50|200|50|ЛП-200-2|1002|0|10202|220|-1|102|3000|1|м.п.",
            "103|Лоток Д'Арт 300x80|300|80|ЛД-300-2|1003|0|10302|320|-3|103|2500|3|м.п.",
            "201|Крышка КЛ 100|100|0|КЛ-100-2|2001|0|20102|70|-2|201|3000|2|м.п.",
            "202|Крышка чужая|100|0|КЧ-100-2|2002|0|20103|80|-2|202|3000|2|м.п.",
            "0|Лотки|0|0||0|0|0|0|0|-1|0|1|-",
            "0|Крышки|0|0||0|0|0|0|0|-2|0|2|-",
            "0|Лестничные|0|0||0|0|0|0|0|-3|0|3|-",
        }));
    EXPECT_EQ(keys(productTreeSql(5, 76), kTreeColumns), Keys({0, 603}));
    EXPECT_EQ(keys(productTreeSql(1, 65), kTreeColumns), Keys());  // branch elements only
}

TEST_P(CatalogueStatements, CoverAndPhotoLookups) {
    // The cover is found by its code in the coating asked for.
    EXPECT_EQ(rows(coverNameSql(3, 20103), {"namk"}), Rows({"КЛ-100-3 - Крышка КЛ 100"}));
    EXPECT_EQ(rows(coverNameSql(2, 20103), {"namk"}), Rows({"КЧ-100-2 - Крышка чужая"}));
    EXPECT_EQ(rows(coverNameSql(2, 99900), {"namk"}), Rows());

    const struct {
        std::int64_t code;
        int mounting;  // 0: any
        const char* photo;
    } cases[] = {
        {1001, 0, "фото 4"},  // of two photos, the first by key
        {70102, 2, "стена"}, {70102, 3, "пол"}, {70102, 1, ""}, {70102, 0, "стена"}, {5555, 0, ""},
    };
    for (const auto& c : cases) {
        const QString sql = c.mounting ? photoSql(c.code, c.mounting) : photoSql(c.code);
        EXPECT_EQ(rows(sql, {"Фото"}), *c.photo ? Rows({QString::fromUtf8(c.photo)}) : Rows())
            << c.code << " " << c.mounting;
    }
}

TEST_P(CatalogueStatements, BranchLists) {
    EXPECT_EQ(rows(branchAutoSql(2, "Лоток ЛП 100x50 S0.7", 64, 50, 100), kListColumns),
              Rows({
                  "ПП-100-2|501|Поворот ПП 100x50 S0,7|5001|0|50102|100|-5|501|0|5|шт.",
                  "ТП-100-2|503|Тройник ТП 100x50 0.7|5003|0|50302|115|-5|503|0|5|шт.",
              }));
    const struct {
        const char* tray;
        int type;
        std::int64_t height, width;
        Keys keys;
    } cases[] = {
        // Subtype 5 of the type, the tray's height and width, and its thickness written with
        // a point or a comma.
        {"Лоток ЛП 100x50 S0.7", 64, 50, 100, {501, 503}},
        {"Лоток ЛП 100x80 S0.7", 64, 80, 100, {505}},
        {"Лоток ЛП 100x50 S0.7", 65, 50, 100, {651}},
        // Without a marker there is no name filter at all.
        {"Лоток ЛП 100x50", 64, 50, 100, {501, 502, 503, 506}},
        {"Лоток ЛП 100x50", -1, 0, 0, {}},
        // A name ending right after the marker asks for "1." or "1," anywhere.
        {"Лоток S1.", 64, 50, 100, {502, 506}},
        // A quote in the thickness stays inside its literal.
        {"Лоток S0.'", 64, 50, 100, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keys(branchAutoSql(1, QString::fromUtf8(c.tray), c.type, c.height, c.width),
                       kListColumns),
                  c.keys)
            << c.tray << " " << c.type;

    EXPECT_EQ(rows(branchManualSql(5, 65), kListColumns),
              Rows({
                  "ПЛ-100-5|651|Поворот ПЛ 100x50 0.7|6051|0|65105|120|-5|651|0|5|шт.",
                  "ТЛ-100-5|652|Тройник ТЛ 100x50|6052|0|65205|125|-5|652|0|5|шт.",
              }));
    EXPECT_EQ(keys(branchManualSql(1, 76), kListColumns), Keys());
}

TEST_P(CatalogueStatements, AccessoryLists) {
    EXPECT_EQ(rows(accessoriesSql(4, 72, 3, false), kListColumns),
              Rows({"ШП-8-4|701|Шпилька М8|7001|0|70104|50|-7|701|0|7|шт."}));
    EXPECT_EQ(rows(accessoriesSql(4, 72, 1, false), kListColumns),
              Rows({"ПВ-1-4|702|Подвес потолочный|7002|30004|70204|60|-7|702|0|7|шт."}));
    // The general hardware is listed whole, whatever the mounting method.
    EXPECT_EQ(rows(accessoriesSql(4, 79, 3, true), kListColumns),
              Rows({"ГМ-8-4|711|Гайка м8|7011|0|71104|41|-7|711|0|7|шт.",
                    "ШБ-8-4|712|Шайба|7012|0|71204|41|-7|712|0|7|шт."}));
    EXPECT_EQ(keys(accessoriesSql(4, 79, 3, false), kListColumns), Keys());
    EXPECT_TRUE(isGeneralHardware("Фурнитура общая"));
    for (const char* other : {"фурнитура общая", "Фурнитура общая ", "Фурнитура", ""})
        EXPECT_FALSE(isGeneralHardware(QString::fromUtf8(other))) << other;
}

TEST_P(CatalogueStatements, SearchStatements) {
    // Items of every tray type (not type 90) whose "article name" holds the text with its quote,
    // and the groups of their subtypes.
    EXPECT_EQ(rows(searchTreeSql(2, "Д'А"), kTreeColumns),
              Rows({
                  "103|Лоток Д'Арт 300x80|300|80|ЛД-300-2|1003|0|10302|320|-3|103|2500|3|м.п.",
                  "603|Лоток Д'Арт листовой|200|100|ЛЛ-200-2|6003|0|60302|170|-4|603|2000|4|м.п.",
                  "0|Лестничные|0|0||0|0|0|0|0|-3|0|3|-",
                  "0|Листовые|0|0||0|0|0|0|0|-4|0|4|-",
              }));
    EXPECT_EQ(rows(searchBranchSql(1, "Д'А"), kListColumns),
              Rows({"ОД-300-1|507|Отвод Д'Арт 300x80|5007|0|50701|70|-5|507|0|5|шт."}));
    // "%" keeps its meaning in the pattern.
    EXPECT_EQ(keys(searchBranchSql(1, "50%"), kListColumns),
              Keys({501, 502, 503, 504, 506, 651, 652}));
    // Accessories of every accessory type, in any letter case.
    EXPECT_EQ(rows(searchAccessoriesSql(3, "М8"), kListColumns),
              Rows({"ШП-8-3|701|Шпилька М8|7001|0|70103|40|-7|701|0|7|шт.",
                    "ГМ-8-3|711|Гайка м8|7011|0|71103|31|-7|711|0|7|шт.",
                    "КН-200-3|801|Консоль настенная М8|8001|0|80103|70|-7|801|0|7|шт."}));
}

TEST_P(CatalogueStatements, RowsReadOnceAreEachCoatingsStatementRows) {
    for (int type : {64, 65, 76}) {
        const CoatingRows tree = CoatingRows::readTypeTree(*db, type);
        for (int coating = 1; coating <= 5; ++coating)
            EXPECT_EQ(rows(tree.inCoating(coating), kTreeColumns),
                      rows(productTreeSql(coating, type), kTreeColumns))
                << type << " " << coating;
    }
    for (const char* text : {"Д'А", "50%", "М8", "", "нет такого"}) {
        for (int coating = 1; coating <= 5; ++coating) {
            const SearchRows found = SearchRows::read(*db, QString::fromUtf8(text), true, false);
            EXPECT_EQ(rows(found.tree.inCoating(coating), kTreeColumns),
                      rows(searchTreeSql(coating, text), kTreeColumns))
                << text;
            EXPECT_EQ(rows(found.branches.inCoating(coating), kListColumns),
                      rows(searchBranchSql(coating, text), kListColumns))
                << text;
            EXPECT_EQ(rows(found.accessories.inCoating(coating), kListColumns),
                      rows(searchAccessoriesSql(coating, text), kListColumns))
                << text;
        }
    }
    // Without the accessories the pass reads none.
    EXPECT_EQ(SearchRows::read(*db, "М8", false, false).accessories.count(), 0);
}

// Every statement of the catalogue gives the same rows on the file and on a server.
INSTANTIATE_TEST_SUITE_P(Both, CatalogueStatements, ::testing::Values(Engine::File, Engine::Server),
                         engineName);

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
