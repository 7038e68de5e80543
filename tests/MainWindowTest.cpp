#include "app/StartFailure.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/LookupCombo.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <optional>

namespace {

QStringList typeRows() {
    QStringList rows;
    const char* trays[] = {"64 Лотки перфорированные",
                           "65 Лотки неперфорированные",
                           "66 Лотки лестничные",
                           "67 Лотки проволочные",
                           "68 Короба",
                           "69 Лотки усиленные",
                           "70 Стойки",
                           "71 Консоли",
                           "75 Лотки из нержавеющей стали",
                           "76 Лотки алюминиевые",
                           "72 Фурнитура общая",
                           "79 Крепеж потолочный",
                           "80 Крепеж настенный"};
    for (const char* t : trays) {
        const QString s = QString::fromUtf8(t);
        const QString key = s.section(' ', 0, 0);
        rows << QStringLiteral("insert into EXPORT_VIDTMC values (%1, '%2', '100.%1')")
                    .arg(key, s.section(' ', 1));
    }
    // Outside both lists: a key of no list, and a number outside the catalogue's numbering.
    rows << "insert into EXPORT_VIDTMC values (90, 'Кабель', '100.90')"
         << "insert into EXPORT_VIDTMC values (77, 'Архив', '200.77')";
    return rows;
}

// The background the control is drawn with: in the middle of an (empty) grid, at the left end
// of a list, whose middle may hold the red prompt.
QColor base(QWidget* w) {
    const QImage image = w->grab().toImage();
    const int x = qobject_cast<QComboBox*>(w) ? 2 : image.width() / 2;
    return image.pixelColor(x, image.height() / 2);
}

}  // namespace

TEST(MainWindow, StartsWithTheListsFilledAndNothingChosen) {
    TempStore store(typeRows());
    auto form = openMainWindow();
    EXPECT_EQ(form->windowTitle(), "Улмар");
    EXPECT_EQ(form->combovid->count(), 10);
    EXPECT_EQ(form->combovid3->count(), 10);
    EXPECT_EQ(form->combovid2->count(), 3);
    EXPECT_EQ(form->combovid->findText("Кабель"), -1);
    EXPECT_EQ(form->combovid2->findText("Архив"), -1);
    EXPECT_TRUE(form->combovid->currentText().isEmpty());
    EXPECT_TRUE(form->combovid2->currentText().isEmpty());
    EXPECT_TRUE(form->Panel2->isVisible());
    EXPECT_TRUE(form->Panel8->isVisible());
    EXPECT_FALSE(form->BitBtn6->isEnabled());
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_TRUE(form->RadioButton6->isChecked());
    EXPECT_TRUE(form->RadioButton8->isChecked());
    EXPECT_TRUE(form->RBclick->isChecked());
    TForm1& f = *form;
    EXPECT_EQ(TForm1Access::curPokr(f), 2);
    EXPECT_EQ(TForm1Access::treeRecNo(f), -1);
    EXPECT_EQ(TForm1Access::accRecNo(f), 0);
    EXPECT_EQ(TForm1Access::krepMode(f), 1);
    EXPECT_EQ(TForm1Access::manualBranch(f), 0);
    EXPECT_EQ(TForm1Access::addSource(f), 0);
    EXPECT_EQ(TForm1Access::curProject(f), 0);
    EXPECT_EQ(TForm1Access::modified(f), 0);
    EXPECT_EQ(TForm1Access::searchMode(f), 0);
    for (const char* name :
         {"combovid",   "Panel2",        "DBGridEh1", "findedit",  "BitBtn9",   "RadioButton5",
          "namekr",     "dlinaus",       "kolshtuk",  "RBbutton",  "combovid3", "DBGridEh3",
          "combovid2",  "RadioButton10", "DBGridEh4", "DBGridEh2", "BitBtn1",   "BitBtn2",
          "BitBtn3",    "BitBtn4",       "BitBtn5",   "BitBtn6",   "BitBtn7",   "BitBtn8",
          "nametovarm", "imgG",          "GroupBox4"})
        EXPECT_NE(form->findChild<QWidget*>(name), nullptr) << name;
}

TEST(MainWindow, MissingDatabaseIsNeverCreated) {
    TempStore store;
    QFile::remove("base.mdb");
    EXPECT_THROW(TForm1(), StoreError);
    EXPECT_FALSE(QFile::exists("base.mdb"));
}

// A store whose specification can not be read opens no window that would fail at every click.
TEST(MainWindow, AFailureWhileTheWindowIsSetUpEndsTheStart) {
    TempStore store(
        {"drop table buy", "create table buy (Ключ integer primary key, project integer)"});
    TForm1 form;
    form.createDialogs();
    try {
        form.start();
        ADD_FAILURE() << "the window started";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("нет нужной таблицы или столбца")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(form.isVisible());
}

// The lists and the specification are read while the pages are checked beside them: damage
// is told in the check's words, before anything is shown, also where the window's own read
// meets the damaged page first.
TEST(MainWindow, DamagedPagesAreToldBeforeTheWindowIsShown) {
    const struct {
        const char* what;
        const char* table;  // one of whose pages is overwritten
    } cases[] = {
        {"a page of the catalogue, which the start does not read", "EXPORT_TMC"},
        {"a page of the working specification, which the start reads", "buy"},
    };
    for (const auto& c : cases) {
        TempStore store(
            {"with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
             "insert into EXPORT_TMC (Ключ, Название) select i, 'Лоток перфорированный ' || i "
             "|| ' с длинным названием' from n",
             "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
             "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
             "select 0, 10000 + i, 2, i, 10, 1, 1, 'шт.', -1 from n"});
        const int pageSize = store.scalar("pragma page_size").toInt();
        const int page = store
                             .scalar(QStringLiteral("select min(pageno) from dbstat where name = "
                                                    "'%1' and pagetype = 'leaf'")
                                         .arg(QLatin1String(c.table)))
                             .toInt();
        ASSERT_GT(page, 1) << c.what;
        QByteArray bytes = readFile(store.path());
        bytes.replace((page - 1) * pageSize, 16, QByteArray(16, '\xff'));
        writeFile(store.path(), bytes);
        std::unique_ptr<TForm1> form;
        try {
            form = std::make_unique<TForm1>();
            form->createDialogs();
            form->start();
            ADD_FAILURE() << c.what << ": the window started";
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("проверка его страниц нашла ошибку")))
                << c.what << ": " << e.message().toStdString();
        }
        EXPECT_TRUE(form && !form->isVisible()) << c.what;
    }
}

TEST(MainWindow, AStoreThatIsNoCatalogueIsRefusedInWords) {
    const struct {
        const char* what;
        QStringList statements;  // run on the program's store; null text: an empty file
        bool emptyFile;
        bool folder;
        QStringList named;    // in the message
        QStringList unnamed;  // not in it
    } cases[] = {
        {"empty file",
         {},
         true,
         false,
         {"EXPORT_TMC (товары каталога)", "buy (строки спецификаций)",
          "arh (копия открытого проекта)", "ulmar-tool demo-db"},
         {}},
        {"two tables missing",
         {"drop table buy", "drop table Export_INFOTO"},
         false,
         false,
         {"buy (строки спецификаций)", "Export_INFOTO (привязка фотографий к товарам)"},
         {"EXPORT_TMC", "arh"}},
        {"folder named like the store", {}, false, true, {"папка", "ulmar-tool import-mdb"}, {}},
    };
    for (const auto& c : cases) {
        TempStore store;
        store.run(c.statements);
        if (c.emptyFile || c.folder)
            QFile::remove("base.mdb");
        if (c.emptyFile)
            QFile("base.mdb").open(QIODevice::WriteOnly);
        if (c.folder)
            QDir().mkdir("base.mdb");
        try {
            TForm1 form;
            ADD_FAILURE() << c.what << ": the window opened";
        } catch (const NotACatalogue& e) {
            // As the start-up shows it: the store's words and how to make a store.
            const QString shown = startFailureText("base.mdb", e.message(), true);
            for (const QString& text : c.named)
                EXPECT_TRUE(shown.contains(text)) << c.what << ": " << text.toStdString();
            for (const QString& text : c.unnamed)
                EXPECT_FALSE(shown.contains(text)) << c.what << ": " << text.toStdString();
            EXPECT_FALSE(shown.contains("no such")) << c.what;
        }
    }
}

TEST(MainWindow, FocusHighlightsTheGridWithItsListAndNamesTheAddSource) {
    TempStore store(typeRows());
    auto form = openMainWindow();
    form->activateWindow();
    const QColor info = QApplication::palette().color(QPalette::ToolTipBase);
    const QColor window = QApplication::palette().color(QPalette::Base);
    struct Case {
        QWidget* focus;
        int addSource;
        QList<QWidget*> highlighted;
    };
    const Case cases[] = {
        {form->DBGridEh1->view(), 1, {form->DBGridEh1->view(), form->combovid}},
        {form->DBGridEh3->view(), 2, {form->DBGridEh3->view(), form->combovid3}},
        {form->DBGridEh4->view(), 3, {form->DBGridEh4->view(), form->combovid2}},
        {form->RadioButton9, 3, {form->DBGridEh4->view(), form->combovid2}},
        {form->DBGridEh2->view(), 3, {form->DBGridEh2->view()}},  // keeps the last grid
    };
    for (const Case& c : cases) {
        c.focus->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(TForm1Access::addSource(*form), c.addSource)
            << c.focus->objectName().toStdString();
        for (QWidget* w : c.highlighted)
            EXPECT_EQ(base(w), info) << w->objectName().toStdString();
    }
    form->findedit->setFocus();
    QApplication::processEvents();
    // Everything gives the colour back.
    for (DataGrid* grid : {form->DBGridEh1, form->DBGridEh3, form->DBGridEh4, form->DBGridEh2})
        EXPECT_EQ(base(grid->view()), window) << grid->objectName().toStdString();
    for (QWidget* list : {form->combovid, form->combovid3, form->combovid2})
        EXPECT_EQ(base(list), window) << list->objectName().toStdString();
    EXPECT_EQ(TForm1Access::addSource(*form), 3);
}

TEST(MainWindow, AddModeSwitchEnablesTheAddButton) {
    TempStore store(typeRows());
    auto form = openMainWindow();
    QTest::mouseClick(form->RBbutton, Qt::LeftButton);
    EXPECT_TRUE(form->BitBtn6->isEnabled());
    QTest::mouseClick(form->RBclick, Qt::LeftButton);
    EXPECT_FALSE(form->BitBtn6->isEnabled());
}

TEST(MainWindow, TheUpperPartKeepsItsHeightAndTheBottomBandTakesTheRest) {
    TempStore store(typeRows());
    auto form = openMainWindow();
    auto upper = [&] { return form->Splitter3->sizes().value(0); };
    // The button column fits the bottom band as the window starts.
    EXPECT_EQ(upper(), 428);
    EXPECT_LE(form->BitBtn10->mapTo(form->GroupBox4, QPoint(0, form->BitBtn10->height())).y(),
              form->GroupBox4->height());
    const int bottom = form->Splitter3->sizes().value(1);
    form->resize(form->width(), form->height() + 150);
    QApplication::processEvents();
    EXPECT_EQ(upper(), 428);
    EXPECT_EQ(form->Splitter3->sizes().value(1), bottom + 150);
    // At the smallest size the tree still shows rows and the footer is whole.
    form->resize(1, 1);
    QApplication::processEvents();
    EXPECT_GE(form->DBGridEh1->view()->viewport()->height(),
              4 * form->DBGridEh1->fontMetrics().height());
    QLabel* footer = form->DBGridEh2->footer();
    EXPECT_LE(footer->mapTo(form.get(), QPoint(0, footer->height())).y(),
              form->centralWidget()->geometry().bottom() + 1);
    form->resize(form->width(), form->height() + 100);
    QApplication::processEvents();
    EXPECT_EQ(upper(), 428) << "the height kept comes back";
}

TEST(MainWindow, ACommandShowsTheBusyCursorAndADialogItOpensTheArrow) {
    QDialog dialog;
    std::optional<Qt::CursorShape> inDialog;
    guarded(nullptr, [&] {
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        QTimer::singleShot(0, &dialog, [&] {
            inDialog = QApplication::overrideCursor()->shape();
            dialog.reject();
        });
        runModal(&dialog);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    });
    EXPECT_EQ(inDialog, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
