#include "catalogue/TypeLists.h"
#include "projects/ProjectSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string column(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("Q_all"));
    q.open(sql);
    QStringList values;
    for (int r = 0; r < q.recordCount(); ++r)
        values << q.value(r, 1).toText();
    return values.join(QLatin1Char(';')).toStdString();
}

}  // namespace

TEST(Order, TypeListsSortIgnoringCaseWithYoAsYe) {
    TempStore store({
        "insert into EXPORT_VIDTMC values (64, 'Лотки перфорированные', '100.64'), "
        "(65, 'лотки листовые', '100.65'), (66, 'Шины', '100.66'), (67, 'Лестницы', '100.67'), "
        "(68, 'Ёмкости', '100.68'), (69, 'Жёлоба', '100.69'), (70, 'Еврожелоба', '100.70'), "
        "(71, 'Желоба', '100.71'), "
        "(72, 'подвесы', '100.72'), (79, 'Фурнитура общая', '100.79'), (80, 'Консоли', "
        "'100.80')",
    });
    auto db = Database::open(store.path());
    EXPECT_EQ(column(*db, trayTypeListSql()),
              "Еврожелоба;Ёмкости;Желоба;Жёлоба;Лестницы;лотки листовые;Лотки перфорированные;"
              "Шины");
    EXPECT_EQ(column(*db, accessoryTypeListSql()), "Консоли;подвесы;Фурнитура общая");
}

TEST(Order, RestoredAndCopiedLinesKeepTheOrderTheyWereAddedIn) {
    const struct {
        const char* what;
        QStringList statements;
        int project;  // whose lines are read back
    } cases[] = {
        {"snapshot taken and restored", takeSnapshotSql(1) + restoreSnapshotSql(1), 1},
        // Twice, from the snapshot kept the first time.
        {"snapshot taken and reverted to",
         takeSnapshotSql(1) + revertToSnapshotSql(1) + revertToSnapshotSql(1), 1},
        {"project copied", {copyProjectLinesSql(1, 2)}, 2},
    };
    for (const auto& c : cases) {
        // Added in an order that is none of those of products, coatings or subtypes.
        TempStore store(
            {"insert into buy (project, TMC, Pokr, kol, kolm, vid) values "
             "(1, 300, 2, 1, 1, -2), (1, 100, 5, 1, 1, -1), (1, 200, 1, 1, 1, -7), "
             "(1, 100, 3, 1, 1, -1)"});
        auto db = Database::open(store.path());
        for (const QString& sql : c.statements)
            db->execute(sql);
        EXPECT_EQ(column(*db, QStringLiteral("select Ключ, TMC || '-' || Pokr from buy where "
                                             "project = %1 order by Ключ")
                                  .arg(c.project)),
                  "300-2;100-5;200-1;100-3")
            << c.what;
    }
}
