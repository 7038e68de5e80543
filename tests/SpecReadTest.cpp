// The specification's view as the project store reads it, whole and by keys, against the one
// statement that read it before: the same columns, cells of the same types and values, in the
// same order, on both engines.
#include "projects/SqlProjectStore.h"
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"
#include "store/Statement.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <functional>

namespace {

// The statement the view was read with: every line with its product and subtype looked up,
// one row per group with three correlated sums, the union sorted by the subtype's name.
QString lineRows(const QString& where) {
    return QStringLiteral(
               "select Ключ, TMC, Pokr, kol, TMC2, price, vid as parentid, Ключ as ID, "
               "(select Название from EXPORT_TMC where Ключ = buy.TMC) as Tname, "
               "fixed_mul(price, kol) as summa, %1 as pokr, fixed_mul(price, kol) as summa2, "
               "(select Номер from EXPORT_TMC where Ключ = buy.TMC)||'-'||str(Pokr) as nomer, "
               "izm, kolm, "
               "(select Название from EXPORT_PODVID where Ключ = -buy.vid) collate foldcase "
               "as podvid, vid as vid "
               "from buy where %2")
        .arg(schema::coatingNameSql(QStringLiteral("Pokr")), where);
}

QString groupRows(int project, const QString& where) {
    return QStringLiteral(
               "select 0, 0, 0, "
               "(select fixed_sum(kol) from buy where project = %1 and vid = -EXPORT_PODVID.Ключ), "
               "0, 0, 0, -Ключ, Название, "
               "(select fixed_sum(fixed_mul(kol, price)) from buy "
               "where project = %1 and vid = -EXPORT_PODVID.Ключ), "
               "'', 0, '', '', "
               "(select fixed_sum(kolm) from buy where project = %1 and vid = "
               "-EXPORT_PODVID.Ключ), "
               "Название collate foldcase, -Ключ "
               "from EXPORT_PODVID where %2")
        .arg(sqlInt(project), where);
}

QString oldViewSql(int project) {
    return lineRows(QStringLiteral("project = %1").arg(project)) + " union all " +
           groupRows(project, QStringLiteral("Ключ in (select -vid from buy where project = %1) "
                                             "order by podvid nulls last, vid, Ключ")
                                  .arg(project));
}

// The rows of some lines and of their groups and further groups, in no order.
QString oldRowsSql(int project, const QString& lines, const QString& subtypes) {
    return lineRows(QStringLiteral("project = %1 and Ключ in (%2)").arg(project).arg(lines)) +
           " union all " +
           groupRows(project,
                     QStringLiteral("(Ключ in (select -vid from buy where project = %1 and Ключ in "
                                    "(%2)) or Ключ in (%3)) and exists (select 1 from buy where "
                                    "project = %1 and vid = -EXPORT_PODVID.Ключ)")
                         .arg(project)
                         .arg(lines, subtypes));
}

// Each row as its cells' types and values; texts and blobs byte for byte.
QStringList cells(const ResultRows& rows) {
    QStringList text{rows.columns.join('|')};
    const std::size_t columns = std::size_t(rows.columns.size());
    for (int r = 0; r < rows.count; ++r) {
        QStringList row;
        for (std::size_t c = 0; c < columns; ++c) {
            const ResultRows::Cell& cell = rows.cells[std::size_t(r) * columns + c];
            switch (cell.type) {
                case ResultRows::Cell::Null:
                    row << "null";
                    break;
                case ResultRows::Cell::Integer:
                    row << "i" + QString::number(cell.integer);
                    break;
                case ResultRows::Cell::Real:
                    row << "r" + QString::number(cell.real, 'g', 17);
                    break;
                case ResultRows::Cell::Decimal:
                    row << "d" + QString::number(cell.integer);
                    break;
                case ResultRows::Cell::Text:
                case ResultRows::Cell::Blob:
                    row << (cell.type == ResultRows::Cell::Text ? "t" : "b") +
                               QString::fromUtf8(rows.buffer.data() + cell.slice.offset,
                                                 qsizetype(cell.slice.length));
                    break;
            }
        }
        text << row.join('|');
    }
    return text;
}

QStringList cellsOf(Database& db, const QString& sql) {
    ResultRows rows;
    Statement(db, sql).fetchAll(rows);
    return cells(rows);
}

// The header and the rows sorted, for reads that promise no order.
QStringList sorted(QStringList rows) {
    std::sort(rows.begin() + 1, rows.end());
    return rows;
}

// The awkward cases: subtypes whose names differ only in letter case or by Ё, one without a
// name, one the lines use that the catalogue lacks, a product the catalogue lacks, a line
// without a group, null and fractional quantities, a coating code outside 1 to 5, many groups,
// and the lines of another project.
QStringList fixture() {
    QStringList statements = {
        "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'лотки'), (3, 'Ёмкости'), "
        "(4, 'емкости'), (6, null), (7, 'Zeta'), (8, 'alpha'), (10, 'Дорогие')",
        "insert into EXPORT_TMC (Ключ, Название, Номер, Подвид) values "
        "(101, 'Лоток', '1.1', 1), (102, 'лоток', '1.2', 2), (103, 'Ёмкость', '1.3', 3), "
        "(104, 'емкость', '1.4', 4), (106, 'Безымянный', '1.6', 6), (107, 'Zeta', '1.7', 7), "
        "(108, 'alpha', '1.8', 8)",
        "insert into project (Ключ, Название) values (1, 'Север')",
        "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
        "(1, 0, 101, 2, 5101, 558.5749, 1.5, 4.5, 'м.п.', -1), "
        "(2, 0, 102, 4, 5102, 0.0003, 0.5, null, 'шт.', -2), "
        "(3, 0, 103, 1, 5103, 10, 3, 3, 'шт.', -3), "
        "(4, 0, 104, 9, 5104, 12.3, 2, null, 'шт.', -4), "
        "(5, 0, 999, 2, 5999, 7, 1, 1, 'шт.', -1), "
        "(6, 0, 105, 2, 5105, 5, 4, 4, 'шт.', -9), "
        "(7, 0, 106, 3, 5106, 1.25, 8, 8, 'шт.', -6), "
        "(8, 0, 101, 5, 5101, 100, 0.25, 0.3, 'м.п.', -1), "
        "(9, 0, 107, 2, 5107, 3, 1, 1, 'шт.', -7), "
        "(10, 0, 108, 2, 5108, 2, 2, 2, 'шт.', -8), "
        "(11, 0, 102, 2, 5102, 0.0005, 0.5, null, 'шт.', -2), "
        "(12, 0, 101, 1, 5101, 9, 1, 1, 'шт.', null), "
        "(13, 0, 101, 3, 5101, 4, 1, 1, 'шт.', -5), "
        // Sums beyond fifteen digits, which the file gives as text.
        "(16, 0, 101, 2, 5101, 100000000000000.25, 1, 1, 'шт.', -10), "
        "(17, 0, 101, 3, 5101, 100000000000000.25, 1, 1, 'шт.', -10), "
        "(14, 1, 101, 2, 5101, 10, 1, 1, 'шт.', -1), "
        "(15, 1, 103, 2, 5103, 10, 1, 1, 'шт.', -3)",
    };
    // Many groups: subtypes 20 to 59, their names in the reverse of their keys' order, with
    // lines added to them out of order.
    QStringList subtypes, lines;
    for (int s = 20; s < 60; ++s) {
        subtypes << QStringLiteral("(%1, 'Группа %2')").arg(s).arg(99 - s);
        for (int l = 0; l < 3; ++l)
            lines << QStringLiteral("(%1, 0, 101, 2, 5101, %2.5, %3, %3, 'шт.', -%4)")
                         .arg(100 + (s * 7 + l * 13) % 40 * 3 + l)
                         .arg(s)
                         .arg(l + 1)
                         .arg(s);
    }
    statements << "insert into EXPORT_PODVID values " + subtypes.join(", ")
               << "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
                  "values " +
                      lines.join(", ");
    return statements;
}

class SpecRead : public ::testing::TestWithParam<Engine> {};

}  // namespace

TEST_P(SpecRead, WholeAndByKeysAsTheOneStatementReadThem) {
    SKIP_WITHOUT_SERVER(GetParam());
    TempStore file(fixture());
    std::unique_ptr<ServerStore> server;
    auto db = openOn(GetParam(), file, server);
    SqlProjectStore store(*db);
    for (const int project : {0, 1, 2}) {
        const int stored = storedProjectKey(*db, project);
        SCOPED_TRACE(project);
        const SpecView view = store.readView(project);
        ASSERT_TRUE(view.rows);
        const QStringList expected = cellsOf(*db, oldViewSql(stored));
        EXPECT_EQ(cells(view.rows->rows()), expected);
        EXPECT_EQ(expected.size(), project == 0 ? 1 + 135 + 48 : project == 1 ? 1 + 4 : 1);
    }
    const int working = storedProjectKey(*db, 0);
    const struct {
        std::vector<std::int64_t> lines;
        std::vector<std::int64_t> vids;
        const char* lineList;
        const char* subtypeList;
    } reads[] = {
        {{1, 6, 14}, {}, "1, 6, 14", "null"},  // 14 is another project's
        {{2}, {-3, -50}, "2", "3, 50"},
        {{12, 13}, {-6}, "12, 13", "6"},
        {{16}, {}, "16", "null"},
        {{404}, {-1}, "404", "1"},  // a line gone, its group still there
        {{}, {}, "null", "null"},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.lineList);
        const SpecChange change = store.readChange(0, read.lines, read.vids, false);
        EXPECT_EQ(sorted(cells(change.rows.rows())),
                  sorted(cellsOf(*db, oldRowsSql(working, QString::fromLatin1(read.lineList),
                                                 QString::fromLatin1(read.subtypeList)))));
    }
}

// Two lines within the range whose group's sum is not (their prices' sum is, as the server's
// copy of the store requires): refused in words, as the statement's fixed_sum refused it,
// whole and by keys.
TEST_P(SpecRead, AGroupSumBeyondTheRangeIsRefusedAsTheStatementRefusedIt) {
    SKIP_WITHOUT_SERVER(GetParam());
    TempStore file({"insert into EXPORT_PODVID values (1, 'Лотки')",
                    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
                    "values (1, 0, 101, 2, 5101, 300000000000000, 2, 2, 'шт.', -1), "
                    "(2, 0, 101, 3, 5101, 300000000000000, 2, 2, 'шт.', -1)"});
    std::unique_ptr<ServerStore> server;
    auto db = openOn(GetParam(), file, server);
    SqlProjectStore store(*db);
    const auto refusal = [](const std::function<void()>& read) {
        try {
            read();
        } catch (const StoreError& e) {
            return e.message();
        }
        return QStringLiteral("read");
    };
    EXPECT_TRUE(refusal([&] {
                    cellsOf(*db, oldViewSql(storedProjectKey(*db, 0)));
                }).contains(Fixed4::tooLargeMessage()));
    EXPECT_EQ(refusal([&] { store.readView(0); }), Fixed4::tooLargeMessage());
    EXPECT_EQ(refusal([&] { store.readChange(0, {1}, {}, false); }), Fixed4::tooLargeMessage());
}

INSTANTIATE_TEST_SUITE_P(Engines, SpecRead, ::testing::Values(Engine::File, Engine::Server),
                         engineName);
