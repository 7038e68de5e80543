// Repricing a project's lines by the catalogue: the rules, the report, and the window's context
// menu on the specification grid.
#include "specification/Reprice.h"
#include "store/Database.h"
#include "store/Query.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLocale>
#include <QMenu>
#include <QTreeView>

namespace {

Fixed4 money(const char* text) {
    return Fixed4::parse(QString::fromLatin1(text)).value();
}

RepriceLine line(std::int64_t key, const char* article, const char* name, int coating,
                 const char* kol, const char* price, std::optional<const char*> listPrice,
                 bool listed = true) {
    RepriceLine l;
    l.key = key;
    l.product = 100 + key;
    l.coating = coating;
    l.article = QString::fromUtf8(article);
    l.name = QString::fromUtf8(name);
    l.kol = money(kol);
    l.unit = QStringLiteral("м.п.");
    l.price = money(price);
    l.listed = listed;
    if (listPrice)
        l.listPrice = money(*listPrice);
    return l;
}

// A price up, one unchanged, one withdrawn (no name known), one not priced in its coating.
std::vector<RepriceLine> mixedLines() {
    return {
        line(1, "100.1", "Лоток 100x50", 2, "6", "120.5", "125.75"),
        line(2, "200.1", "Крышка 100", 2, "6", "40", "40"),
        line(3, "", "", 3, "3", "210", std::nullopt, false),
        line(4, "300.1", "Лоток 300x50", 4, "2.5", "0.3333", std::nullopt),
    };
}

TEST(RepriceRules, TotalsCountChangedAndKeptLinesAndSumInFixedPoint) {
    const RepriceTotals t = repriceTotals(mixedLines());
    EXPECT_EQ(t.lines, 4);
    EXPECT_EQ(t.changed, 1);
    EXPECT_EQ(t.kept, 2);
    // 723 + 240 + 630 + 0.8332: each line's sum is rounded to four places, 0.83325 to even.
    EXPECT_EQ(t.before.toString(), "1593.8332");
    EXPECT_EQ(t.after.toString(), "1625.3332");
    EXPECT_EQ(repriceTotals({}).before, Fixed4());
}

TEST(RepriceRules, OnlyChangedLinesAreUpdatedByKey) {
    EXPECT_EQ(repriceSql(mixedLines()),
              QStringList{"update buy set price = 125.75 where Ключ = 1"});
    EXPECT_EQ(repriceLineSql(7, money("1192.207")),
              "update buy set price = 1192.207 where Ключ = 7");
}

TEST(RepriceRules, ReportListsKeptAndChangedLinesWithTheTotal) {
    EXPECT_EQ(repriceReport(repriceTitle(1, "Склад 'Север'"), mixedLines()),
              "Проект «Склад 'Север'» (ключ 1)\n"
              "  Нет в каталоге, цена оставлена прежней:\n"
              "    товар с ключом 103  3 м.п.\n"
              "    300.1-4  Лоток 300x50  2.5 м.п. (нет цены в покрытии «Гор. Цинк»)\n"
              "  Меняется цена:\n"
              "    100.1-2  цена 120.5 → 125.75  сумма 723 → 754.5\n"
              "  Итого: 1593.8332 → 1625.3332\n");
    EXPECT_EQ(repriceReport(repriceTitle(0, ""), {line(2, "200.1", "Крышка", 2, "6", "40", "40")}),
              "Рабочая спецификация\n"
              "  Цены совпадают с каталогом.\n"
              "  Итого: 240 → 240\n");
    EXPECT_EQ(repriceReport(repriceTitle(0, ""), {}), "Рабочая спецификация\n  Строк нет.\n");
}

TEST(RepriceRules, QuestionGivesChangedLinesAndTotals) {
    EXPECT_EQ(repriceQuestion(repriceTotals(mixedLines())),
              "Обновить цены по каталогу?\n"
              "Изменится строк: 1.\n"
              "Сумма: 1593.8332 → 1625.3332.\n"
              "Строк без цены в каталоге (их цены останутся прежними): 2.");
    EXPECT_EQ(repriceQuestion(repriceTotals({mixedLines().front()}), ","),
              "Обновить цены по каталогу?\nИзменится строк: 1.\nСумма: 723 → 754,5.");
}

// Север has a tray whose price went up, a cover at the catalogue's price, a tray withdrawn from
// the catalogue and a cover in a coating the catalogue has no price for.
const QStringList kStore = {
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 'м.п.', 5101, 6101, 125.75, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 'м.п.', 5102, 6102, 40, null)",
    "insert into project (Ключ, Название) values (1, 'Север')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(2, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
    "(3, 1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
    "(4, 1, 103, 2, 5103, 210, 3, 3, 'м.п.', -1), "
    "(5, 1, 102, 3, 6102, 44, 3, 3, 'м.п.', -2)",
};

QString prices(const TempStore& store, int project) {
    return store.scalar(QStringLiteral("select group_concat(Ключ || ':' || price, ' ') from "
                                       "(select * from buy where project = %1 order by Ключ)")
                            .arg(project));
}

TEST(RepriceLines, ReadsTheListPriceOfEachLineInItsCoating) {
    TempStore store(kStore);
    auto db = Database::open(store.path());
    Query q(*db, QStringLiteral("q"));
    const std::vector<RepriceLine> lines = readRepriceLines(q, 1);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].listPrice, money("125.75"));
    EXPECT_EQ(lines[0].article, "100.1");
    EXPECT_EQ(lines[1].listPrice, money("40"));
    EXPECT_FALSE(lines[2].listed);  // withdrawn
    EXPECT_FALSE(lines[2].listPrice);
    EXPECT_EQ(lines[2].article, "");
    EXPECT_TRUE(lines[3].listed);  // no price in coating 3
    EXPECT_FALSE(lines[3].listPrice);
    EXPECT_EQ(lines[3].price, money("44"));
    EXPECT_FALSE(q.isOpen());
}

class RepriceMenu : public ::testing::Test {
protected:
    void SetUp() override {
        // The question writes sums as the grid shows them, with the locale's decimal point.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        MessageBox::clearShown();
        form = openMainWindow();
        item = form->findChild<QAction*>(QStringLiteral("repriceItem"));
        ASSERT_NE(item, nullptr);
    }
    void TearDown() override { QLocale::setDefault(m_locale); }
    void open(int project) {
        TForm1Access::curProject(*form) = project;
        TForm1Access::takeSnapshot(*form);
        TForm1Access::reloadSpec(*form);
    }
    void reprice(bool answer) {
        MessageBox::setNextAnswer(answer);
        item->trigger();
    }

    QLocale m_locale;  // the default before the test
    TempStore store{kStore};
    std::unique_ptr<TForm1> form;
    QAction* item = nullptr;
};

TEST_F(RepriceMenu, TheGridOffersItInItsContextMenu) {
    EXPECT_EQ(item->text(), "Обновить цены по каталогу");
    auto* menu = form->findChild<QMenu*>(QStringLiteral("specMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(item));
    QTreeView* view = form->DBGridEh2->view();
    emit view->customContextMenuRequested(QPoint(10, 10));
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(RepriceMenu, YesRepricesTheOpenProjectAndMarksItChanged) {
    open(1);
    reprice(true);
    EXPECT_EQ(MessageBox::shown(), QStringList{"Обновить цены по каталогу?\n"
                                               "Изменится строк: 1.\n"
                                               "Сумма: 1725 → 1756,5.\n"
                                               "Строк без цены в каталоге (их цены останутся "
                                               "прежними): 2."});
    EXPECT_EQ(prices(store, 1), "2:125.75 3:40 4:210 5:44");
    EXPECT_EQ(prices(store, 0), "1:120.5");  // another project's lines stay
    EXPECT_EQ(TForm1Access::modified(*form), 1);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "1756.5");
}

TEST_F(RepriceMenu, NoChangesNothing) {
    open(0);
    reprice(false);
    EXPECT_EQ(prices(store, 0), "1:120.5");
    EXPECT_EQ(TForm1Access::modified(*form), 0);
}

TEST_F(RepriceMenu, NoOnLeavingBringsTheOldPricesBack) {
    open(1);
    reprice(true);
    ASSERT_EQ(prices(store, 1), "2:125.75 3:40 4:210 5:44");
    MessageBox::setNextAnswer(false);  // "Сохранить изменения в проекте?"
    TForm1Access::FormClose(*form);
    EXPECT_EQ(store.scalar("select group_concat(price, ' ') from (select price from buy where "
                           "project = 1 order by TMC, Pokr)"),
              "120.5 40 44 210");
}

TEST_F(RepriceMenu, PricesAlreadyAtTheCatalogueAreSaidSoAndLeftAlone) {
    store.run({"update buy set price = 125.75 where Ключ = 1"});
    open(0);
    reprice(true);
    EXPECT_EQ(MessageBox::shown(), QStringList{"Цены строк совпадают с каталогом."});
    EXPECT_EQ(TForm1Access::modified(*form), 0);
}

// The catalogue now sells 101 by the piece, and 102 in polymer is another item: neither line
// takes the new price; the question says why they stay.
TEST_F(RepriceMenu, LinesWhoseProductChangedKeepTheirPrice) {
    store.run({"update EXPORT_TMC set ЕИ = 'шт.', p2 = 300 where Ключ = 101",
               "update EXPORT_TMC set t3k = 7102, p3 = 50 where Ключ = 102",
               "update EXPORT_TMC set p2 = 45 where Ключ = 102"});
    open(1);
    reprice(true);
    EXPECT_EQ(MessageBox::shown(),
              QStringList{"Обновить цены по каталогу?\n"
                          "Изменится строк: 1.\n"
                          "Сумма: 1725 → 1755.\n"
                          "Строк без цены в каталоге (их цены останутся прежними): 1.\n"
                          "Строк, где в каталоге теперь другой товар или другая единица (их цены "
                          "останутся прежними): 2."});
    EXPECT_EQ(prices(store, 1), "2:120.5 3:45 4:210 5:44");

    MessageBox::clearShown();
    open(0);
    reprice(true);
    EXPECT_EQ(MessageBox::shown(),
              QStringList{"Цены строк совпадают с каталогом.\n"
                          "Строк, где в каталоге теперь другой товар или другая единица (их цены "
                          "останутся прежними): 1."});
    EXPECT_EQ(prices(store, 0), "1:120.5");
}

}  // namespace
