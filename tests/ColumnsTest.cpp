// The grids and handlers name the columns of their rows through enums; each enum value must
// be a column of every statement whose rows it names, and no two values may read the same
// column, or a grid would show a blank or a wrong column.
#include "catalogue/CatalogueColumns.h"
#include "catalogue/CatalogueSql.h"
#include "specification/SpecColumns.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using catalogue::ListColumn;
using catalogue::TreeColumn;

template <typename Column>
void expectNamesColumnsOf(const QString& sql, Column last) {
    TempStore store;
    auto db = Database::open(store.path());
    Query q(*db, QStringLiteral("q"));
    q.open(sql);
    std::set<int> read;
    for (int c = 0; c <= int(last); ++c) {
        const QString name = columnName(Column(c));
        SCOPED_TRACE(name.toStdString());
        const int index = q.columnIndex(name);
        EXPECT_GE(index, 0) << "a column of the statement";
        EXPECT_TRUE(read.insert(index).second) << "read by no other value";
    }
}

TEST(Columns, TreeColumnsAreColumnsOfTheTreeStatements) {
    for (const QString& sql :
         {catalogue::productTreeSql(2, 64), catalogue::searchTreeSql(3, QStringLiteral("лоток"))}) {
        SCOPED_TRACE(sql.toStdString());
        expectNamesColumnsOf(sql, TreeColumn::Unit);
    }
}

TEST(Columns, ListColumnsAreColumnsOfTheListStatements) {
    for (const QString& sql :
         {catalogue::branchAutoSql(2, QStringLiteral("Лоток S0.7"), 64, 50, 100),
          catalogue::branchManualSql(1, 64), catalogue::accessoriesSql(2, 72, 1, false),
          catalogue::accessoriesSql(2, 72, 1, true),
          catalogue::searchBranchSql(2, QStringLiteral("x")),
          catalogue::searchAccessoriesSql(5, QStringLiteral("x"))}) {
        SCOPED_TRACE(sql.toStdString());
        expectNamesColumnsOf(sql, ListColumn::Unit);
    }
}

TEST(Columns, SpecColumnsAreColumnsOfTheView) {
    expectNamesColumnsOf(specLinesSql(1), SpecColumn::Kolm);
}

}  // namespace
