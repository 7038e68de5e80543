#include "specification/gui/TEditkol.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/ElidedLabel.h"
#include "ui/GridModel.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"
#include "ui/NumberEdit.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

namespace {

// Four lines of the working specification in three subtypes, one line of project "Север".
QStringList fixture() {
    return {
        "insert into EXPORT_PODVID values (1,'Лотки'),(2,'Крышки'),(7,'Крепёж'),(9,'Пустая')",
        "insert into EXPORT_TMC (Ключ,Название,Номер,Вид,Подвид,Длина,ЕИ) values "
        "(101,'Лоток 100x50','11.01',64,1,3000,'м.п.'),"
        "(102,'Лоток штучный','11.02',64,1,2000,'шт.'),"
        "(201,'Крышка 100','12.01',64,2,3000,'м.п.'),"
        "(401,'Шпилька М8','21.01',72,7,0,'шт.')",
        "insert into project (Ключ, Название) values (1,'Север')",
        "insert into buy (Ключ,project,TMC,Pokr,TMC2,price,kol,kolm,izm,vid) values "
        "(1,0,101,2,5121,123.45,9,7.5,'м.п.',-1),"
        "(2,0,102,2,5122,80,3,5,'шт.',-1),"
        "(3,0,201,4,6401,55.5,9,7.5,'м.п.',-2),"
        "(4,0,401,9,8901,12.3,2,2,'шт.',-7),"
        "(5,1,102,1,5112,70,6,10,'шт.',-1)",
    };
}

const char* const viewFields[] = {"ID",  "parentid", "Ключ", "TMC",   "nomer", "Tname", "pokr",
                                  "kol", "kolm",     "izm",  "price", "summa", "summa2"};

// The rows of the view, one "field|field|..." text each, ordered by ID.
QStringList viewRows(const Query& q) {
    std::map<std::int64_t, QString> rows;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (const char* name : viewFields)
            fields << q.value(r, q.columnIndex(QString::fromUtf8(name))).toText();
        rows[q.value(r, q.columnIndex(u"ID")).toInt()] = fields.join('|');
    }
    QStringList result;
    for (const auto& [id, text] : rows)
        result << text;
    return result;
}

// Every line of buy as "key:kol/kolm", in key order.
QStringList lines(const TempStore& store) {
    auto db = store.open();
    Query q(*db, "lines");
    q.setSql("select Ключ, kol, kolm from buy order by Ключ");
    q.open();
    QStringList result;
    for (int r = 0; r < q.recordCount(); ++r)
        result << q.value(r, 0).toText() + ":" + q.value(r, 1).toFixed().toString() + "/" +
                      q.value(r, 2).toFixed().toString();
    return result;
}

// Makes the view row with this ID the current one, as a click on it would.
void select(TForm1& form, int id) {
    Query& q = form.Q_buy;
    for (int r = 1; r <= q.recordCount(); ++r)
        if (q.value(r - 1, q.columnIndex(u"ID")).toInt() == id)
            q.setRecNo(r);
    ASSERT_EQ(q.field(u"ID").toInt(), id);
    form.DBGridEh2->syncToQuery();
}

const QString zeroLength = QStringLiteral("Длина не может равняться нулю!");

}  // namespace

TEST(SpecView, GroupsWithSubtotalsAndATotalOfTheLines) {
    TempStore store(fixture());
    auto form = openMainWindow();  // the first show fills the view of the working specification
    EXPECT_EQ(viewRows(form->Q_buy),
              QStringList({
                  "-7|0|0|0||Крепёж||2|2||0|24.6|0",
                  "-2|0|0|0||Крышки||9|7.5||0|499.5|0",
                  "-1|0|0|0||Лотки||12|12.5||0|1351.05|0",
                  "1|-1|1|101|11.01- 2|Лоток 100x50|Цинк|9|7.5|м.п.|123.45|1111.05|1111.05",
                  "2|-1|2|102|11.02- 2|Лоток штучный|Цинк|3|5|шт.|80|240|240",
                  "3|-2|3|201|12.01- 4|Крышка 100|Гор. Цинк|9|7.5|м.п.|55.5|499.5|499.5",
                  "4|-7|4|401|21.01- 9|Шпилька М8|0|2|2|шт.|12.3|24.6|24.6",
              }));
    // Every line once, not once more through its group.
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "1875.15");
    EXPECT_EQ(form->GroupBox4->title(), "Выбранные товары");
    // Two levels: the three groups at the top, the lines under them.
    const GridModel* model = form->DBGridEh2->model();
    ASSERT_EQ(model->rowCount(), 3);
    int lineRows = 0;
    for (int g = 0; g < 3; ++g)
        lineRows += model->rowCount(model->index(g, 0));
    EXPECT_EQ(lineRows, 4);

    // "Обновить" twice gives the same rows.
    const QStringList before = viewRows(form->Q_buy);
    click(form.get(), "BitBtn3");
    click(form.get(), "BitBtn3");
    EXPECT_EQ(viewRows(form->Q_buy), before);
}

TEST(SpecView, SumsAreExactToTheLastDecimalAndAnOverflowIsRefused) {
    TempStore store(fixture());
    store.run({"delete from buy",
               "insert into buy (Ключ,project,TMC,Pokr,TMC2,price,kol,kolm,izm,vid) values "
               "(1,0,101,2,5121,558.5749,1.5,4.5,'м.п.',-1),"
               "(2,0,102,2,5122,0.0003,0.5,0.5,'шт.',-1)"});
    auto form = openMainWindow();
    EXPECT_EQ(viewRows(form->Q_buy),
              QStringList({
                  "-1|0|0|0||Лотки||2|5||0|837.8626|0",
                  "1|-1|1|101|11.01- 2|Лоток 100x50|Цинк|1.5|4.5|м.п.|558.5749|837.8624|837.8624",
                  "2|-1|2|102|11.02- 2|Лоток штучный|Цинк|0.5|0.5|шт.|0.0003|0.0002|0.0002",
              }));
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "837.8626");

    // A line worth a quadrillion: told in words, nothing wraps to a negative sum, the grid
    // keeps what it showed.
    const QStringList before = viewRows(form->Q_buy);
    MessageBox::clearShown();
    store.run({"update buy set price = 100000000000, kol = 10000 where Ключ = 1"});
    click(form.get(), "BitBtn3");
    ASSERT_EQ(MessageBox::shown().size(), 1);
    EXPECT_TRUE(MessageBox::shown().first().contains("Сумма слишком велика"));
    EXPECT_EQ(viewRows(form->Q_buy), before);

    // Lines within the range in groups of their own, whose total is not: no total is shown.
    MessageBox::clearShown();
    store.run({"update buy set price = 500000000000, kol = 1000 where Ключ = 1",
               "update buy set price = 500000000000, kol = 1000, vid = -2 where Ключ = 2"});
    click(form.get(), "BitBtn3");
    EXPECT_EQ(MessageBox::shown(), QStringList{Fixed4::tooLargeMessage()});
    EXPECT_EQ(form->DBGridEh2->footer()->text(), "");
    MessageBox::clearShown();
}

TEST(SpecView, ALongProjectNameIsCutToTheFrameAndAnAmpersandShownAsItself) {
    const QString name = "Щиты & трассы " + QString(241, QChar(u'ж'));  // 255 characters
    TempStore store(fixture());
    store.run({"update project set Название = '" + name + "' where Ключ = 1"});
    auto form = openMainWindow();
    const int width = form->width();
    TForm1Access::curProject(*form) = 1;
    TForm1Access::reloadSpec(*form);
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width);
    const QString shown = form->GroupBox4->title();
    EXPECT_TRUE(shown.startsWith("Выбранные товары               Проект: Щиты && трассы ж"))
        << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_LT(form->GroupBox4->fontMetrics().horizontalAdvance(shown), form->GroupBox4->width());
}

TEST(SpecView, CaptionAndRowsFollowTheOpenProject) {
    TempStore store(fixture());
    auto form = openMainWindow();
    TForm1Access::curProject(*form) = 1;
    TForm1Access::modified(*form) = 0;
    TForm1Access::reloadSpec(*form);
    EXPECT_EQ(form->GroupBox4->title(), "Выбранные товары               Проект: Север");
    EXPECT_EQ(viewRows(form->Q_buy),
              QStringList({"-1|0|0|0||Лотки||6|10||0|420|0",
                           "5|-1|5|102|11.02- 1|Лоток штучный|Грунт|6|10|шт.|70|420|420"}));
    EXPECT_EQ(TForm1Access::modified(*form), 0);

    // A rename shows at the next refresh.
    store.run({"update project set Название = 'Юг' where Ключ = 1"});
    TForm1Access::reloadSpec(*form);
    EXPECT_EQ(form->GroupBox4->title(), "Выбранные товары               Проект: Юг");

    // A project without lines, and no project row behind the key.
    TForm1Access::curProject(*form) = 2;
    TForm1Access::reloadSpec(*form);
    EXPECT_EQ(form->GroupBox4->title(), "Выбранные товары");
    EXPECT_EQ(form->Q_buy.recordCount(), 0);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "0");
}

TEST(SpecView, AFailingRefreshKeepsTheRowsItHad) {
    TempStore store(fixture());
    auto form = openMainWindow();
    ASSERT_EQ(form->DBGridEh2->model()->rowCount(), 3);
    const QString total = form->DBGridEh2->footerTotal().toString();
    store.run({"alter table project rename to project_gone"});
    MessageBox::clearShown();
    click(form.get(), "BitBtn3");
    EXPECT_EQ(MessageBox::shown().size(), 1);
    EXPECT_TRUE(form->Q_buy.isOpen());
    EXPECT_EQ(form->DBGridEh2->model()->rowCount(), 3);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), total);
}

TEST(SpecView, FiguresAndTotalsAreShownWhole) {
    TempStore store(fixture());
    // The largest figure in every figure column, and totals wider than their column.
    store.run(
        {"update buy set price = 9999999.9999, kol = 9999999.9999, kolm = 9999999.9999 "
         "where Ключ = 5",
         "delete from buy where project = 0",
         "insert into buy (Ключ,project,TMC,Pokr,TMC2,price,kol,kolm,izm,vid) values "
         "(1,0,101,2,5121,1491434.0004,1,1,'м.п.',-1)"});
    auto form = openMainWindow();
    const QString point = QLocale().decimalPoint();
    // A cell draws its text 2 pixels in from either edge.
    auto holds = [](DataGrid* grid, const QString& field, const QString& text) {
        const auto& columns = grid->model()->columns();
        for (int c = 0; c < columns.size(); ++c)
            if (columns[c].field == field)
                return grid->view()->columnWidth(c) - 4 >=
                       grid->view()->fontMetrics().horizontalAdvance(text);
        return false;
    };
    const QString figure = "9999999" + point + "9999";
    for (const char* field : {"kol", "kolm", "price", "summa"})
        EXPECT_TRUE(holds(form->DBGridEh2, QString::fromLatin1(field), figure)) << field;
    EXPECT_TRUE(holds(form->DBGridEh3, "pp", figure));
    EXPECT_TRUE(holds(form->DBGridEh4, "pp", figure));
    EXPECT_TRUE(holds(form->DBGridEh1, "pp", "9999999" + point + "99"));
    // The widths came from the names, so every column still fits beside the scroll bar.
    for (DataGrid* grid : {form->DBGridEh1, form->DBGridEh2, form->DBGridEh3, form->DBGridEh4})
        EXPECT_FALSE(grid->view()->horizontalScrollBar()->isVisible())
            << grid->objectName().toStdString();

    QLabel* footer = form->DBGridEh2->footer();
    auto footerWhole = [&](const char* total) {
        SCOPED_TRACE(total);
        EXPECT_EQ(footer->text(), QString::fromLatin1(total).replace('.', point));
        EXPECT_GE(footer->width(), footer->fontMetrics().horizontalAdvance(footer->text()));
        EXPECT_GE(footer->x(), 0);
        EXPECT_LE(footer->geometry().right(), footer->parentWidget()->width() - 1);
    };
    footerWhole("1491434.0004");
    store.run({"update buy set price = 12547929.9895 where Ключ = 1"});
    click(form.get(), "BitBtn3");
    footerWhole("12547929.9895");
    // At the smallest size the window allows.
    form->resize(1, 1);
    QApplication::processEvents();
    footerWhole("12547929.9895");
    TForm1Access::curProject(*form) = 1;
    TForm1Access::reloadSpec(*form);
    footerWhole("99999999998000");
}

TEST(SpecLines, DeleteRemovesTheSelectedLineOnly) {
    TempStore store(fixture());
    auto form = openMainWindow();
    select(*form, -1);  // a group row has no line behind it
    click(form.get(), "BitBtn1");
    EXPECT_EQ(lines(store), QStringList({"1:9/7.5", "2:3/5", "3:9/7.5", "4:2/2", "5:6/10"}));
    EXPECT_EQ(TForm1Access::modified(*form), 1);

    select(*form, 2);
    click(form.get(), "BitBtn1");
    EXPECT_EQ(lines(store), QStringList({"1:9/7.5", "3:9/7.5", "4:2/2", "5:6/10"}));
    // The only line of its group takes the group with it.
    select(*form, 4);
    click(form.get(), "BitBtn1");
    EXPECT_EQ(lines(store), QStringList({"1:9/7.5", "3:9/7.5", "5:6/10"}));
    EXPECT_EQ(form->DBGridEh2->model()->rowCount(), 2);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "1610.55");
}

TEST(SpecLines, ClearEmptiesTheOpenProjectOnly) {
    TempStore store(fixture());
    auto form = openMainWindow();
    click(form.get(), "BitBtn2");
    EXPECT_EQ(lines(store), QStringList({"5:6/10"}));
    EXPECT_EQ(form->Q_buy.recordCount(), 0);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "0");
    EXPECT_EQ(TForm1Access::modified(*form), 1);

    // On an empty view delete and edit do nothing at all.
    TForm1Access::modified(*form) = 0;
    int dialogs = 0;
    setModalHandler([&](QDialog*) { return ++dialogs, 0; });
    click(form.get(), "BitBtn1");
    click(form.get(), "BitBtn4");
    setModalHandler(nullptr);
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(TForm1Access::modified(*form), 0);
}

namespace {

// A control of the quantity dialog by its name.
template <typename W>
W* child(QDialog& dialog, const char* name) {
    return dialog.findChild<W*>(QString::fromLatin1(name));
}

// Opens the quantity dialog on a view row and lets `work` drive it.
void editLine(TForm1& form, int id, const std::function<void(TEditkol&)>& work) {
    select(form, id);
    setModalHandler([&](QDialog* dialog) {
        auto* editkol = qobject_cast<TEditkol*>(dialog);
        EXPECT_TRUE(editkol);
        if (editkol)
            work(*editkol);
        return dialog->result();
    });
    QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
    setModalHandler(nullptr);
}

}  // namespace

TEST(SpecLines, TheDialogDerivesTheOrderFromTheProjectQuantity) {
    TempStore store(fixture());
    auto form = openMainWindow();
    editLine(*form, 1, [](TEditkol& d) {
        EXPECT_EQ(d.windowTitle(), "Редактирование");
        EXPECT_EQ(child<QLabel>(d, "Label2")->text(), "Лоток 100x50");
        EXPECT_TRUE(child<QLabel>(d, "Label2")->font().bold());
        EXPECT_EQ(child<QLabel>(d, "Label1")->text(), "Количество, заказ");
        EXPECT_EQ(child<QLabel>(d, "Label3")->text(), "Количество по проекту");
        EXPECT_FALSE(child<NumberEdit>(d, "koltov")->isEnabled());
        EXPECT_EQ(child<NumberEdit>(d, "koltov")->fixedValue().toString(), "9");
        EXPECT_EQ(child<NumberEdit>(d, "koltovm")->fixedValue().toString(), "7.5");
        child<NumberEdit>(d, "koltovm")->setFixedValue(Fixed4::fromInt(10));
        d.koltovmExit();
        EXPECT_EQ(child<NumberEdit>(d, "koltov")->fixedValue().toString(),
                  "12");  // four lengths of 3000 mm
        QTest::mouseClick(child<QPushButton>(d, "BitBtn3"), Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(lines(store).at(0), "1:12/10");
    EXPECT_EQ(TForm1Access::modified(*form), 1);
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "2245.5");  // the view was refreshed

    // Pieces: the order is the project quantity itself.
    editLine(*form, 2, [](TEditkol& d) {
        child<NumberEdit>(d, "koltovm")->setFixedValue(Fixed4::fromInt(10));
        d.koltovmExit();
        EXPECT_EQ(child<NumberEdit>(d, "koltov")->fixedValue().toString(), "10");
        QTest::mouseClick(child<QPushButton>(d, "BitBtn3"), Qt::LeftButton);
    });
    EXPECT_EQ(lines(store).at(1), "2:10/10");

    // Saved with Enter, without leaving the field: the order still follows.
    editLine(*form, 3, [](TEditkol& d) {
        child<NumberEdit>(d, "koltovm")->setFixedValue(Fixed4::fromDouble(3.5));
        d.BitBtn3Click();
    });
    EXPECT_EQ(lines(store).at(2), "3:6/3.5");

    // Saved untouched: both quantities stay as they were.
    editLine(*form, 4, [](TEditkol& d) { d.BitBtn3Click(); });
    EXPECT_EQ(lines(store).at(3), "4:2/2");
}

TEST(SpecLines, TheDialogRefusesAProjectQuantityThatIsNotPositive) {
    TempStore store(fixture());
    auto form = openMainWindow();
    for (const char* input : {"0", "-1"}) {
        SCOPED_TRACE(input);
        MessageBox::clearShown();
        TForm1Access::modified(*form) = 0;
        editLine(*form, 1, [&](TEditkol& d) {
            child<NumberEdit>(d, "koltovm")->setMinimum(-10);
            child<NumberEdit>(d, "koltovm")
                ->setFixedValue(*Fixed4::parse(QString::fromLatin1(input)));
            d.koltovmExit();
            EXPECT_EQ(child<NumberEdit>(d, "koltov")->fixedValue().toString(), "9");
            QTest::mouseClick(child<QPushButton>(d, "BitBtn3"), Qt::LeftButton);
            EXPECT_NE(d.result(), QDialog::Accepted);
            QTest::mouseClick(child<QPushButton>(d, "BitBtn4"), Qt::LeftButton);
        });
        EXPECT_EQ(MessageBox::shown(), QStringList({zeroLength, zeroLength}));
        EXPECT_EQ(lines(store).at(0), "1:9/7.5");
        EXPECT_EQ(TForm1Access::modified(*form), 0) << "a cancelled edit changes nothing";
    }

    // "Отмена" after a new quantity writes nothing, and the view is refreshed all the same.
    store.run({"update buy set price = 100 where Ключ = 1"});
    editLine(*form, 1, [](TEditkol& d) {
        child<NumberEdit>(d, "koltovm")->setFixedValue(Fixed4::fromInt(10));
        d.koltovmExit();
        QTest::mouseClick(child<QPushButton>(d, "BitBtn4"), Qt::LeftButton);
        EXPECT_EQ(d.result(), QDialog::Rejected);
    });
    EXPECT_EQ(lines(store).at(0), "1:9/7.5");
    EXPECT_EQ(form->DBGridEh2->footerTotal().toString(), "1664.1");
}

TEST(SpecLines, ALongNameKeepsTheDialogItsSize) {
    TempStore store(fixture());
    const QString name = "Лоток перфорированный " + QString(200, QChar(u'ж')) + " конец";
    store.run({"update EXPORT_TMC set Название = '" + name + "' where Ключ = 101"});
    auto form = openMainWindow();
    for (int opening = 0; opening < 2; ++opening) {
        editLine(*form, opening == 0 ? 1 : 2, [&](TEditkol& d) {
            d.show();
            QApplication::processEvents();
            EXPECT_EQ(d.size(), QSize(459, 122));  // 467 by 149 with a usual frame
            if (opening == 0) {
                EXPECT_TRUE(child<ElidedLabel>(d, "Label2")->text().endsWith(QChar(0x2026)));
                EXPECT_EQ(child<ElidedLabel>(d, "Label2")->toolTip(), name);
            } else {
                EXPECT_EQ(child<ElidedLabel>(d, "Label2")->text(), "Лоток штучный");
                EXPECT_EQ(child<ElidedLabel>(d, "Label2")->toolTip(), QString());
            }
            QTest::keyClick(&d, Qt::Key_Escape);
            EXPECT_FALSE(d.isVisible()) << "Esc cancels";
        });
    }
    EXPECT_EQ(TForm1Access::modified(*form), 0);
}

TEST(SpecLines, EnterEditsAndDeleteAsksAndDeletesAsTheButtonsDo) {
    TempStore store(fixture());
    auto form = openMainWindow();
    QWidget* grid = form->DBGridEh2->view();
    QStringList dialogs;
    setModalHandler([&](QDialog* d) { return dialogs << d->objectName(), 0; });
    select(*form, 2);
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(dialogs, QStringList{"Editkol"});

    select(*form, 2);
    MessageBox::clearShown();
    MessageBox::setNextAnswer(false);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(MessageBox::shown(), QStringList{"Удалить строку «Лоток штучный» из спецификации?"});
    EXPECT_EQ(lines(store).size(), 5);
    EXPECT_EQ(TForm1Access::modified(*form), 0);
    MessageBox::setNextAnswer(true);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(lines(store), QStringList({"1:9/7.5", "3:9/7.5", "4:2/2", "5:6/10"}));
    EXPECT_EQ(TForm1Access::modified(*form), 1);

    // A group row: no question, nothing to delete.
    MessageBox::clearShown();
    select(*form, -1);
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(MessageBox::shown(), QStringList());
    setModalHandler(nullptr);
}

TEST(SpecLines, GroupRowsOpenNoDialog) {
    TempStore store(fixture());
    auto form = openMainWindow();
    int dialogs = 0;
    setModalHandler([&](QDialog*) { return ++dialogs, 0; });
    select(*form, -2);
    click(form.get(), "BitBtn4");
    // A double click on the group row, after the click that makes it current.
    doubleClickRow(form->DBGridEh2, form->Q_buy.recNo());
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(TForm1Access::modified(*form), 0);

    // The same double click on a line opens it.
    select(*form, 3);
    doubleClickRow(form->DBGridEh2, form->Q_buy.recNo());
    setModalHandler(nullptr);
    EXPECT_EQ(dialogs, 1);
}

TEST(SpecLines, ALineWhoseProductLeftTheCatalogueIsReported) {
    TempStore store(fixture());
    store.run({"delete from EXPORT_TMC where Ключ = 101"});
    auto form = openMainWindow();
    editLine(*form, 1, [](TEditkol& d) {
        child<NumberEdit>(d, "koltovm")->setFixedValue(Fixed4::fromInt(10));
        EXPECT_THROW(d.koltovmExit(), StoreError);
        EXPECT_EQ(child<NumberEdit>(d, "koltov")->fixedValue().toString(), "9");
        MessageBox::clearShown();
        QTest::mouseClick(child<QPushButton>(d, "BitBtn3"),
                          Qt::LeftButton);  // the failure is shown, nothing saved
        EXPECT_EQ(MessageBox::shown(), QStringList({"Товар этой строки не найден в каталоге."}));
        EXPECT_NE(d.result(), QDialog::Accepted);
    });
    EXPECT_EQ(lines(store).at(0), "1:9/7.5");
}

TEST(SpecLines, FractionsAreWrittenWithAPointUnderACommaLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Russian));
    {
        TempStore store(fixture());
        auto form = openMainWindow();
        editLine(*form, 1, [](TEditkol& d) {
            child<NumberEdit>(d, "koltovm")->selectAll();
            QTest::keyClicks(child<NumberEdit>(d, "koltovm"), "3,25");
            child<NumberEdit>(d, "koltovm")->interpretText();
            d.koltovmExit();
            EXPECT_EQ(child<NumberEdit>(d, "koltov")->text(), "6,0000");
            QTest::mouseClick(child<QPushButton>(d, "BitBtn3"), Qt::LeftButton);
        });
        EXPECT_EQ(lines(store).at(0), "1:6/3.25");
        EXPECT_EQ(form->DBGridEh2->footer()->text(), "1504,8");
    }
    QLocale::setDefault(previous);
}
