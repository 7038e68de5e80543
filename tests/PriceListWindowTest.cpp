// A new price list from the window: the report before anything changes, the projects
// repriced in one go (the open one as a change to keep or not), the previous list back, and a
// conversion cancelled without a trace.
#include "app/CatalogueUpdateDialog.h"
#include "projects/gui/RequoteDialog.h"
#include "tests/TestSupport.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/PriceReportTable.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// Figures as the window shows them, with the decimal point of the test's locale (C).

namespace {

// Two trays and a cover; the working specification, Север (open in the test) and Юг.
const QStringList kStore = {
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 'м.п.', 5101, 6101, 120.5, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 'м.п.', 5102, 6102, 40, 44), "
    "(103, 'Лоток 200x50', '100.2', 64, 1, 'м.п.', 5103, 6103, 200, 210)",
    "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(2, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
    "(3, 1, 103, 3, 6103, 210, 3, 3, 'м.п.', -1), "
    "(4, 2, 102, 3, 6102, 44, 3, 3, 'м.п.', -2)",
};
// 101 dearer in zinc, 102 dearer in polymer, 103 withdrawn.
const QStringList kList = {
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 'м.п.', 5101, 6101, 125.75, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 'м.п.', 5102, 6102, 40, 46.2)",
};
const char* kPrices =
    "select group_concat(price, ' ') from (select price from buy order by project, TMC)";
const char* kCatalogue =
    "select group_concat(Ключ || ':' || p2 || ':' || p3, ' ') from (select * from EXPORT_TMC "
    "order by Ключ)";

QStringList column(QTableWidget* table, int c) {
    QStringList cells;
    for (int r = 0; r < table->rowCount(); ++r)
        cells << table->item(r, c)->text();
    return cells;
}

TEST(PriceListWindow, UpdatesRequotesAndGoesBack) {
    TempStore store(kStore);
    QTemporaryDir other;
    const QString list = other.filePath("new.mdb");
    createStore(list, kList);
    auto form = openMainWindow();
    TForm1Access::openProject(*form, 1);

    DialogScript script;
    script.on("catalogueUpdate", [](QDialog* d) {
        auto* report = d->findChild<PriceReportTable*>();
        ASSERT_NE(report, nullptr);
        EXPECT_EQ(column(report->table, 3), QStringList({"Цена изменилась", "Цена изменилась",
                                                         "Нет в каталоге", "Цена изменилась"}));
        EXPECT_EQ(column(report->table, 7),
                  QStringList({"1084.5 → 1131.75", "723 → 754.5", "630", "132 → 138.6"}));
        // One project chosen: its rows and its total only.
        report->projectFilter->setCurrentIndex(2);
        EXPECT_EQ(column(report->table, 1), QStringList({"100.1-2", "100.2-3"}));
        EXPECT_EQ(report->totalsLabel->text(), "Проект «Север» (ключ 1): итого 1353 → 1384.5");
        click(d, "updateButton");
    });
    script.on("requote", [](QDialog* d) {
        auto* dialog = static_cast<RequoteDialog*>(d);
        EXPECT_EQ(column(dialog->table, 3), QStringList({"+47.25", "+31.5", "+6.6"}));
        dialog->choose({1, 2});
        click(d, "requoteButton");
        EXPECT_EQ(dialog->outcome->text(),
                  "Проект «Север» (ключ 1): итого 1353 → 1384.5 (открыт в окне: «Нет» на вопрос "
                  "о сохранении вернёт прежние цены)\n"
                  "Проект «Юг» (ключ 2): итого 132 → 138.6");
        EXPECT_EQ(column(dialog->table, 3), QStringList({"+47.25", "", ""}));
        click(d, "closeButton");
    });
    FileDialog::setNextFileName(list);
    form->updateCatalogueItem->trigger();
    EXPECT_EQ(script.shown, QStringList({"catalogueUpdate", "requote"}));
    EXPECT_EQ(store.scalar(kCatalogue), "101:125.75:130 102:40:46.2");
    EXPECT_EQ(store.scalar(kPrices), "120.5 125.75 210 46.2");
    EXPECT_EQ(TForm1Access::modified(*form), 1);

    // The open project's new prices are a change like any other: «Нет» brings the old back.
    MessageBox::setSilent(true);
    MessageBox::setNextAnswer(false);
    EXPECT_TRUE(TForm1Access::FormClose(*form));
    EXPECT_EQ(store.scalar(kPrices), "120.5 120.5 210 46.2");

    // The previous list comes back as it was; the projects stay as they are.
    MessageBox::setNextAnswer(true);
    form->restoreCatalogueItem->trigger();
    MessageBox::setSilent(false);
    EXPECT_EQ(store.scalar(kCatalogue), "101:120.5:130 102:40:44 103:200:210");
    EXPECT_EQ(store.scalar(kPrices), "120.5 120.5 210 46.2");
}

TEST(PriceListWindow, ACancelledConversionChangesNothing) {
    if (fixturesDir().isEmpty())
        GTEST_SKIP() << "the shared test data (catalogue-jet4.mdb) is not on this machine";
    TempStore store(kStore);
    const QByteArray before = readFile(store.path());
    auto form = openMainWindow();
    CatalogueUpdateDialog dialog(form->ADOConn(), fixturesDir() + "/catalogue-jet4.mdb",
                                 QStringLiteral(ULMAR_TOOL));
    dialog.start();
    dialog.reject();
    EXPECT_EQ(dialog.failure(), "Отменено: каталог не изменён.");
    EXPECT_FALSE(dialog.updateButton->isEnabled());
    EXPECT_EQ(readFile(store.path()), before);
}

}  // namespace
