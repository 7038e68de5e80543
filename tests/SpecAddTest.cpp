#include "catalogue/CatalogueSql.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/GridModel.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Trays of type 64 with a cover, branch elements (subtype 5) and one accessory (type 72).
// Coating 1 uses k1/t1k/p1, coating 2 k2/t2k/p2.
QStringList fixture() {
    return {
        "insert into EXPORT_PODVID values (1,'Лотки'),(2,'Крышки'),(5,'Ответвления'),"
        "(7,'Крепёж')",
        "insert into EXPORT_TMC (Ключ,Название,Номер,Вид,Подвид,Ширина,Высота,Длина,ЕИ,ТМЦ,"
        "k1,k2,t1k,t2k,p1,p2) values "
        "(101,'Лоток 100x50','11.01',64,1,100,50,3000,'м.п.',5101,6101,6201,5111,5121,100,123.45),"
        "(102,'Лоток штучный','11.02',64,1,200,50,2000,'шт.',5102,null,null,5112,5122,70,80),"
        "(103,'Лоток без длины','11.03',64,1,300,50,0,'м.п.',5103,0,0,5113,5123,9,10),"
        "(104,'Лоток с чужой крышкой','11.04',64,1,400,50,3000,'м.п.',5104,null,9999,5114,5124,"
        "80,90),"
        "(105,'Лоток без цены','11.05',64,1,500,50,3000,'м.п.',5105,null,null,5115,5125,0,0),"
        "(106,'Лоток, цена не задана','11.06',64,1,600,50,3000,'м.п.',5106,null,null,5116,5126,"
        "null,null),"
        "(107,'Лоток, длина не задана','11.07',64,1,700,50,null,'м.п.',5107,null,null,5117,5127,"
        "50,50),"
        "(108,'Лоток без кода','11.08',64,1,800,50,3000,'м.п.',5108,null,null,null,null,50,50),"
        "(201,'Крышка 100','12.01',64,2,100,0,3000,'м.п.',6001,null,null,6101,6201,40,55.5),"
        "(301,'Тройник 100x50','13.01',64,5,100,50,0,'шт.',7001,null,null,7101,7201,250,300),"
        "(401,'Шпилька М8','21.01',72,7,0,0,0,'шт.',8001,null,null,8101,8201,10,12.3)",
    };
}

// Puts the query on the row whose ID is id; false when there is none.
bool standOn(Query& q, int id) {
    for (int r = 1; r <= q.recordCount(); ++r) {
        if (q.value(r - 1, q.columnIndex(u"ID")).toInt() == id) {
            q.setRecNo(r);
            return true;
        }
    }
    return false;
}

// Fills the three catalogue grids for coating n with the catalogue's own statements: the
// trays of type 64, its branch elements and the accessories of type 72.
void loadGrids(TForm1& form, int n) {
    form.browser().setCoating(n);
    form.DBGridEh1->reopen(catalogue::productTreeSql(n, 64));
    form.DBGridEh3->reopen(catalogue::branchManualSql(n, 64));
    form.DBGridEh4->reopen(catalogue::accessoriesSql(n, 72, 1, true));
}

Query& gridQuery(TForm1& form, int source) {
    return source == 1 ? form.Q_tovar : source == 2 ? form.Q_FTovar : form.Q_tovar2;
}

// Every line of buy as "product:coating:kol/kolm", in key order.
QStringList lines(const TempStore& store, const QString& columns = "TMC, Pokr, kol, kolm") {
    auto db = store.open();
    Query q(*db, "lines");
    q.setSql("select " + columns + " from buy order by Ключ");
    q.open();
    QStringList result;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < q.columnCount(); ++c)
            fields << q.value(r, c).toText();
        if (columns.startsWith("TMC, Pokr, kol, kolm"))
            result << fields[0] + ":" + fields[1] + ":" + q.value(r, 2).toFixed().toString() + "/" +
                          q.value(r, 3).toFixed().toString();
        else
            result << fields.join("|");
    }
    return result;
}

QString lineOf(const TempStore& store, int product, int coating) {
    const QString prefix = QStringLiteral("%1:%2:").arg(product).arg(coating);
    for (const QString& line : lines(store))
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    return QString();
}

struct Add {
    int source;
    int product;  // the row's ID in its grid; -1 is the tree's group of subtype 1
    const char* length;
    int coating;
    bool cover;
    const char* after;  // "kol/kolm" of the product's line after the add, "" for none
};

struct Case {
    const char* name;
    std::vector<Add> adds;
    QStringList lines;
    QStringList messages;
};

const QString zeroLength = QStringLiteral("Длина не может равняться нулю!");
const QString noCover =
    QStringLiteral("Крышка к этому товару не найдена в каталоге, товар добавлен без крышки.");

}  // namespace

TEST(SpecAdd, QuantityRulesOfEveryAdd) {
    const Case cases[] = {
        {"7.5, 1 and 2 metres of a 3000 mm tray with its cover",
         {{1, 101, "7.5", 2, true, "9/7.5"},
          {1, 101, "1", 2, true, "9/8.5"},
          {1, 101, "2", 2, true, "12/10.5"}},
         {"101:2:12/10.5", "201:2:12/10.5"},
         {}},
        {"6 metres, then 0.1 more, without the cover",
         {{1, 101, "6", 2, false, "6/6"}, {1, 101, "0.1", 2, false, "9/6.1"}},
         {"101:2:9/6.1"},
         {}},
        {"the surplus covers the route exactly",
         {{1, 101, "2.5", 2, false, "3/2.5"},
          {1, 101, "0.5", 2, false, "3/3"},
          {1, 101, "0.01", 2, false, "6/3.01"}},
         {"101:2:6/3.01"},
         {}},
        {"pieces of 2000 mm use no surplus",
         {{1, 102, "5", 2, true, "3/5"}, {1, 102, "5", 2, true, "6/10"}},
         {"102:2:6/10"},
         {}},
        {"no stock length in running metres orders nothing",
         {{1, 103, "5", 2, true, "0/5"}, {1, 103, "2", 2, true, "0/7"}},
         {"103:2:0/7"},
         {}},
        {"one product in two coatings gives two lines, each with its cover",
         {{1, 101, "1", 2, true, "3/1"}, {1, 101, "1", 1, true, "3/1"}},
         {"101:2:3/1", "201:2:3/1", "101:1:3/1", "201:1:3/1"},
         {}},
        {"a branch element three times",
         {{2, 301, "0", 2, true, "1/1"},
          {2, 301, "0", 2, true, "2/2"},
          {2, 301, "7", 2, true, "3/3"}},
         {"301:2:3/3"},
         {}},
        {"an accessory twice, whatever the length",
         {{3, 401, "0", 2, true, "1/1"}, {3, 401, "2.5", 1, true, "1/1"}},
         {"401:2:1/1", "401:1:1/1"},
         {}},
        {"zero length", {{1, 101, "0", 2, true, ""}}, {}, {zeroLength}},
        {"negative length",
         {{1, 101, "-2", 2, true, ""}},
         {},
         {QStringLiteral("Длина не может быть отрицательной!")}},
        {"a group row of the tree", {{1, -1, "1", 2, true, ""}}, {}, {}},
        {"no price in the coating", {{1, 105, "1", 2, true, ""}}, {}, {}},
        {"price not given", {{1, 106, "1", 2, true, ""}}, {}, {}},
        {"stock length not given", {{1, 107, "1", 2, true, ""}}, {}, {}},
        {"item code not given", {{1, 108, "1", 2, true, ""}}, {}, {}},
        {"a cover code that matches no product",
         {{1, 104, "1", 2, true, "3/1"}},
         {"104:2:3/1"},
         {noCover}},
        {"a cover code that matches no product, without the cover",
         {{1, 104, "1", 2, false, "3/1"}},
         {"104:2:3/1"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempStore store(fixture());
        auto form = openMainWindow();
        MessageBox::clearShown();
        for (const Add& add : c.adds) {
            loadGrids(*form, add.coating);
            (add.cover ? form->RadioButton6 : form->RadioButton7)->setChecked(true);
            const Fixed4 length = *Fixed4::parse(QString::fromLatin1(add.length));
            if (length < Fixed4())
                form->dlinaus->setMinimum(-1e9);
            form->dlinaus->setFixedValue(length);
            ASSERT_TRUE(standOn(gridQuery(*form, add.source), add.product));
            TForm1Access::modified(*form) = 0;
            TForm1Access::addPosition(*form, add.source);
            EXPECT_EQ(lineOf(store, add.product, add.coating), QString::fromLatin1(add.after))
                << add.product << " " << add.length;
            EXPECT_EQ(TForm1Access::modified(*form), 1);
        }
        EXPECT_EQ(lines(store), c.lines);
        EXPECT_EQ(MessageBox::shown(), c.messages);
    }
}

TEST(SpecAdd, LinesCarryCodePriceGroupAndUnitOfTheCoating) {
    TempStore store(fixture());
    auto form = openMainWindow();
    TForm1Access::curProject(*form) = 3;
    loadGrids(*form, 2);
    form->dlinaus->setFixedValue(Fixed4::fromInt(1));
    for (int source : {1, 2, 3}) {
        ASSERT_TRUE(standOn(gridQuery(*form, source), source == 1 ? 101 : source == 2 ? 301 : 401));
        TForm1Access::addPosition(*form, source);
    }
    EXPECT_EQ(lines(store, "project, TMC, Pokr, TMC2, price, vid, izm"),
              QStringList({"3|101|2|5121|123.45|-1|м.п.", "3|201|2|6201|55.5|-2|м.п.",
                           "3|301|2|7201|300|-5|шт.", "3|401|2|8201|12.3|-7|шт."}));
    // The view shows the new lines of the open project.
    EXPECT_EQ(form->Q_buy.recordCount(), 4 + 4);
}

TEST(SpecAdd, OtherSourcesAndEmptyGridsAddNothing) {
    TempStore store(fixture());
    auto form = openMainWindow();
    MessageBox::clearShown();
    for (int source : {0, 4, -1, 1, 2, 3}) {  // the grids are closed
        TForm1Access::modified(*form) = 0;
        TForm1Access::addPosition(*form, source);
        EXPECT_EQ(TForm1Access::modified(*form), 1) << source;
    }
    form->DBGridEh3->reopen(catalogue::branchManualSql(2, 99));  // open, no rows
    ASSERT_TRUE(form->Q_FTovar.isOpen());
    TForm1Access::addPosition(*form, 2);
    EXPECT_TRUE(lines(store).isEmpty());
    EXPECT_TRUE(MessageBox::shown().isEmpty());
}

TEST(SpecAdd, AFailingStatementLeavesNoHalfWrittenAdd) {
    TempStore store(fixture());
    store.addRefusal("before insert on buy", "запись крышки отклонена", "new.TMC = 201");
    auto form = openMainWindow();
    loadGrids(*form, 2);
    form->dlinaus->setFixedValue(Fixed4::fromInt(1));
    ASSERT_TRUE(standOn(form->Q_tovar, 101));
    EXPECT_THROW(TForm1Access::addPosition(*form, 1), StoreError);
    EXPECT_TRUE(lines(store).isEmpty());
    // The window goes on: the next add without the cover is written.
    form->RadioButton7->setChecked(true);
    TForm1Access::addPosition(*form, 1);
    EXPECT_EQ(lines(store), QStringList({"101:2:3/1"}));
}

namespace {

// The grid first shows the row its query was put on.
void doubleClickCurrentRow(DataGrid* grid) {
    grid->reload();
    doubleClickRow(grid, grid->query()->recNo());
}

}  // namespace

TEST(SpecAdd, DoubleClickAddsOnlyInDoubleClickMode) {
    TempStore store(fixture());
    auto form = openMainWindow();
    loadGrids(*form, 2);
    form->dlinaus->setFixedValue(Fixed4::fromInt(1));
    ASSERT_TRUE(standOn(form->Q_tovar, 102));
    doubleClickCurrentRow(form->DBGridEh1);
    EXPECT_EQ(lines(store), QStringList({"102:2:1/1"}));

    QTest::mouseClick(form->RBbutton, Qt::LeftButton);
    ASSERT_TRUE(form->BitBtn6->isEnabled());
    ASSERT_TRUE(standOn(form->Q_tovar, 102));
    doubleClickCurrentRow(form->DBGridEh1);
    ASSERT_TRUE(standOn(form->Q_tovar2, 401));
    doubleClickCurrentRow(form->DBGridEh4);
    EXPECT_EQ(lines(store), QStringList({"102:2:1/1"}));

    // "Добавить" before any catalogue grid had the focus adds nothing.
    form->browser().setAddSource(0);
    QTest::mouseClick(form->BitBtn6, Qt::LeftButton);
    EXPECT_EQ(lines(store), QStringList({"102:2:1/1"}));
    ASSERT_TRUE(standOn(form->Q_FTovar, 301));
    form->browser().setAddSource(2);
    QTest::mouseClick(form->BitBtn6, Qt::LeftButton);
    EXPECT_EQ(lines(store), QStringList({"102:2:1/1", "301:2:1/1"}));

    QTest::mouseClick(form->RBclick, Qt::LeftButton);
    EXPECT_FALSE(form->BitBtn6->isEnabled());
    ASSERT_TRUE(standOn(form->Q_FTovar, 301));
    doubleClickCurrentRow(form->DBGridEh3);
    EXPECT_EQ(lines(store), QStringList({"102:2:1/1", "301:2:2/2"}));
}

TEST(SpecAdd, FractionsAreWrittenWithAPointUnderACommaLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Russian));
    {
        TempStore store(fixture());
        auto form = openMainWindow();
        loadGrids(*form, 2);
        form->dlinaus->selectAll();
        QTest::keyClicks(form->dlinaus, "7,25");
        form->dlinaus->interpretText();
        ASSERT_TRUE(standOn(form->Q_tovar, 101));
        TForm1Access::addPosition(*form, 1);
        EXPECT_EQ(lines(store, "TMC, price, kol, kolm"),
                  QStringList({"101|123.45|9|7.25", "201|55.5|9|7.25"}));
    }
    QLocale::setDefault(previous);
}
