// Adding, editing and removing a few lines change the grid row by row: the rows, their order,
// the groups' subtotals and the footer are what a full read shows, the model's signals follow
// Qt's rules, and the user's place in the grid stays.
#include "specification/SpecColumns.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/GridModel.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QTreeView>

namespace {

// Крышки with one line and Лотки with two in the working specification; among the products
// one of a group the lines do not use yet, Ёмкости, that sorts first (Ё as Е), one of a group
// that sorts last, and one of a subtype the catalogue lacks (9).
const QStringList kStore = {
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки'), (5, 'Ответвления'), "
    "(8, 'Ёмкости')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Длина, ЕИ, p2, t2k) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 3000, 'м.п.', 120.5, 5101), "
    "(102, 'Крышка 100', '200.1', 64, 2, 3000, 'м.п.', 40, 5102), "
    "(103, 'Тройник', '300.1', 64, 5, 0, 'шт.', 250, 5103), "
    "(105, 'Ёмкость', '500.1', 64, 8, 0, 'шт.', 10, 5105), "
    "(106, 'Лоток 200x50', '100.2', 64, 1, 0, 'шт.', 80, 5106), "
    "(109, 'Заглушка', '900.1', 64, 9, 0, 'шт.', 5, 5109), "
    "(110, 'Крышка 200', '200.2', 64, 2, 0, 'шт.', 45, 5110)",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
    "(2, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(3, 0, 106, 2, 5106, 80, 2, 2, 'шт.', -1)",
};

Addition onePiece(std::int64_t product, const char* price, int subtype) {
    SourceRow row;
    row.product = product;
    row.price = *Fixed4::parse(QString::fromLatin1(price));
    row.itemCode = 5000 + product;
    row.parentId = -subtype;
    row.unit = QStringLiteral("шт.");
    Addition a;
    a.source = BranchSource;
    a.row = row;
    a.coating = 2;
    return a;
}

// Names and sums as the grid shows them, a group's lines indented under it.
QStringList namesAndSums(const GridModel& model, const QModelIndex& parent = {},
                         const QString& indent = {}) {
    int name = -1, sum = -1;
    for (int c = 0; c < model.columns().size(); ++c) {
        const QString& field = model.columns()[c].field;
        if (field.compare(columnName(SpecColumn::Name), Qt::CaseInsensitive) == 0)
            name = c;
        if (field.compare(columnName(SpecColumn::Sum), Qt::CaseInsensitive) == 0)
            sum = c;
    }
    QStringList rows;
    for (int r = 0; r < model.rowCount(parent); ++r) {
        rows << indent + model.index(r, name, parent).data().toString() + '|' +
                    model.index(r, sum, parent).data().toString();
        rows << namesAndSums(model, model.index(r, 0, parent), indent + "  ");
    }
    return rows;
}

struct Case {
    const char* what;
    std::function<std::optional<SpecChange>(ProjectSession&)> command;
    QStringList rows;    // names and sums after it
    const char* footer;  // the total of the lines
    QStringList setup = {};
};

const Case kCases[] = {
    {"a new group comes first, Ё sorting as Е",
     [](ProjectSession& s) { return s.add(onePiece(105, "10", 8)); },
     {"Ёмкости|10", "  Ёмкость|10", "Крышки|240", "  Крышка 100|240", "Лотки|1244.5",
      "  Лоток 100x50|1084.5", "  Лоток 200x50|160"},
     "1494.5"},
    {"a new group comes last",
     [](ProjectSession& s) { return s.add(onePiece(103, "250", 5)); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1244.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|160", "Ответвления|250", "  Тройник|250"},
     "1734.5"},
    {"a new line at the end of the first group",
     [](ProjectSession& s) { return s.add(onePiece(110, "45", 2)); },
     {"Крышки|285", "  Крышка 100|240", "  Крышка 200|45", "Лотки|1244.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|160"},
     "1529.5"},
    {"a line of a subtype the catalogue lacks comes last, without a group",
     [](ProjectSession& s) { return s.add(onePiece(109, "5", 9)); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1244.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|160", "Заглушка|5"},
     "1489.5"},
    {"the last line of the last group grows",
     [](ProjectSession& s) { return s.add(onePiece(106, "80", 1)); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1324.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|240"},
     "1564.5"},
    {"a line edited",
     [](ProjectSession& s) { return s.setQuantities(2, Fixed4::fromInt(12), Fixed4::fromInt(10)); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1606", "  Лоток 100x50|1446", "  Лоток 200x50|160"},
     "1846"},
    {"the only line of the first group removed, and its group with it",
     [](ProjectSession& s) { return s.deleteLine(1); },
     {"Лотки|1244.5", "  Лоток 100x50|1084.5", "  Лоток 200x50|160"},
     "1244.5"},
    {"the last line of the last group removed",
     [](ProjectSession& s) { return s.deleteLine(3); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1084.5", "  Лоток 100x50|1084.5"},
     "1324.5"},
    {"a line of a subtype the catalogue lacks removed",
     [](ProjectSession& s) { return s.deleteLine(4); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1244.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|160"},
     "1484.5",
     {"insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
      "(4, 0, 109, 2, 5109, 5, 1, 1, 'шт.', -9)"}},
    {"a group row removes nothing",
     [](ProjectSession& s) { return s.deleteLine(0); },
     {"Крышки|240", "  Крышка 100|240", "Лотки|1244.5", "  Лоток 100x50|1084.5",
      "  Лоток 200x50|160"},
     "1484.5"},
};

}  // namespace

TEST(SpecChange, TheGridFollowsAChangeRowByRowAsAFullReadShowsIt) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        TempStore store(kStore + c.setup);
        auto form = openMainWindow();
        DataGrid& grid = *form->DBGridEh2;
        QAbstractItemModelTester tester(grid.model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        // The user stands on Лоток 100x50, which every case leaves in place.
        Query& rows = form->Q_buy;
        for (int r = 0; r < rows.recordCount(); ++r)
            if (rows.value(r, rows.columnIndex(u"ID")).toInt() == 2)
                rows.setRecNo(r + 1);
        grid.syncToQuery();

        TForm1Access::showSpec(*form, c.command(form->session()));

        EXPECT_EQ(namesAndSums(*grid.model()), c.rows);
        EXPECT_EQ(grid.footerTotal().toString(), c.footer);
        EXPECT_EQ(gridText(grid), fullReadGridText(*form))
            << "no group closed, every cell a full read's";
        EXPECT_EQ(rows.field(u"ID").toInt(), 2) << "the user's place stays";
        EXPECT_EQ(grid.model()->recNoOf(grid.view()->currentIndex()), rows.recNo());
    }
}
