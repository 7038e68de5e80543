#include "store/Jpeg.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"
#include "ui/PhotoBox.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <set>

namespace {

using Keys = std::set<std::int64_t>;

QByteArray photo(int r, int g, int b) {
    RgbImage image;
    image.width = 16;
    image.height = 16;
    for (int i = 0; i < 16 * 16; ++i)
        image.pixels.append(char(r)).append(char(g)).append(char(b));
    return encodeJpeg(image);
}

// A detailed picture cut short in its picture data, its headers whole.
QByteArray truncatedPhoto() {
    RgbImage image;
    image.width = 64;
    image.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        image.pixels.append(char((i * 37) % 251));
    const QByteArray data = encodeJpeg(image);
    return data.left(data.size() * 3 / 4);
}

QString blob(const QByteArray& data) {
    return "X'" + QString::fromLatin1(data.toHex()) + "'";
}

QStringList catalogue() {
    const QByteArray red = photo(230, 20, 20), blue = photo(20, 20, 230),
                     green = photo(20, 200, 20), yellow = photo(230, 230, 20);
    return {
        "insert into EXPORT_VIDTMC values (64, 'Лотки перфорированные', '100.64'), (65, 'Лотки "
        "листовые', '100.65'), (72, 'Подвесы', '100.72'), (79, 'Фурнитура общая', '100.79'), "
        "(80, 'Консоли', '100.80'), (90, 'Прочее', '200.90')",
        "insert into EXPORT_PODVID values (1, 'Лотки перфорированные'), (2, 'Крышки'), (3, "
        "'Лотки лестничные'), (5, 'Элементы ответвления'), (7, 'Крепёж'), (8, 'Пустой')",
        catalogueItem(101, "Лоток ЛП 100x50 S0.7", "ЛП-100", 64, 1, 100, 50, 3000, "м.п.", 1001,
                      20100, 10100, 100),
        catalogueItem(102, "Лоток ЛП 200x50 S1.0", "ЛП-200", 64, 1, 200, 50, 3000, "м.п.", 1002, 0,
                      10200, 200),
        catalogueItem(103, "Лоток 'Север' 300x80", "ЛС-300", 64, 3, 300, 80, 2500, "м.п.", 1003,
                      99900, 10300, 300),
        catalogueItem(201, "Крышка КЛ 100", "КЛ-100", 64, 2, 100, 0, 3000, "м.п.", 2001, 0, 20100,
                      50),
        catalogueItem(501, "Поворот ПП 100x50 S0,7", "ПП-100", 64, 5, 100, 50, 0, "шт.", 5001, 0,
                      50100, 80),
        catalogueItem(502, "Поворот ПП 100x50 S1.0", "ПП-101", 64, 5, 100, 50, 0, "шт.", 5002, 0,
                      50200, 90),
        catalogueItem(503, "Тройник ТП 100x50 0.7", "ТП-100", 64, 5, 100, 50, 0, "шт.", 5003, 0,
                      50300, 95),
        catalogueItem(504, "Тройник ТП 200x50 S1,0", "ТП-200", 64, 5, 200, 50, 0, "шт.", 5004, 0,
                      50400, 99),
        catalogueItem(601, "Лоток листовой ЛЛ 100x50", "ЛЛ-100", 65, 1, 100, 50, 2000, "м.п.", 6001,
                      0, 60100, 120),
        catalogueItem(651, "Поворот ПЛ 100x50", "ПЛ-100", 65, 5, 100, 50, 0, "шт.", 6051, 0, 65100,
                      70),
        catalogueItem(701, "Шпилька М8", "ШП-8", 72, 7, 0, 0, 0, "шт.", 7001, 0, 70100, 10),
        catalogueItem(702, "Подвес потолочный", "ПВ-1", 72, 7, 0, 0, 0, "шт.", 7002, 0, 70200, 20),
        catalogueItem(711, "Гайка М8", "ГМ-8", 79, 7, 0, 0, 0, "шт.", 7011, 0, 71100, 1),
        catalogueItem(712, "Шайба М8", "ШМ-8", 79, 7, 0, 0, 0, "шт.", 7012, 0, 71200, 1),
        catalogueItem(801, "Консоль настенная", "КН-200", 80, 7, 0, 0, 0, "шт.", 8001, 0, 80100,
                      40),
        catalogueItem(901, "Лоток прочий ЛП", "ЛП-900", 90, 1, 100, 50, 3000, "м.п.", 9001, 0,
                      90100, 10),
        "insert into EXPORT_KREP values (701, 1), (701, 2), (701, 3), (702, 1), (702, 2), (712, "
        "3), (801, 2)",
        "insert into EXPORT_FOTO values (1, " + blob(red) + "), (2, " + blob(blue) + "), (3, " +
            blob(green) + "), (4, X'6e6f742061206a706567'), (5, " + blob(truncatedPhoto()) +
            "), (6, X''), (7, " + blob(yellow) + ")",
        // Tray 101: red under its base code, green under its code in zinc. Accessory 701 has a
        // wall and a floor photo, 702 one photo for every method. Branch elements 501 to 503
        // carry broken photos, 504 a good one.
        "insert into Export_INFOTO values (1001, 1, null), (10102, 3, null), (70102, 2, 2), "
        "(70102, 3, 3), (70202, 7, null), (50102, 4, null), (50202, 5, null), (50302, 6, null), "
        "(50402, 1, null)",
    };
}

template <typename T>
T* control(TForm1& form, const char* name) {
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void choose(TForm1& form, const char* list, const char* text) {
    auto* combo = control<LookupCombo>(form, list);
    const int index = combo->findText(QString::fromUtf8(text));
    ASSERT_GE(index, 0) << text;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

int rowOfKey(const Query& q, std::int64_t key) {
    for (int r = 0; r < q.recordCount(); ++r)
        if (q.value(r, q.columnIndex(u"Ключ")).toInt() == key)
            return r + 1;
    return 0;
}

// The user clicks the row of the grid's query that holds the product key (a group row: the
// negated subtype key in ID).
void clickRow(TForm1& form, const char* gridName, int recNo) {
    clickRow(control<DataGrid>(form, gridName), recNo);
}

void clickKey(TForm1& form, const char* gridName, std::int64_t key) {
    clickRow(form, gridName, rowOfKey(*control<DataGrid>(form, gridName)->query(), key));
}

Keys keysOf(const Query& q) {
    Keys keys;
    for (int r = 0; r < q.recordCount(); ++r)
        keys.insert(q.value(r, q.columnIndex(u"Ключ")).toInt());
    return keys;
}

QString current(const Query& q, const char16_t* field) {
    return q.field(field).toText();
}

// The colour of the shown photo, by its centre.
QString photoColour(TForm1& form) {
    auto* box = control<PhotoBox>(form, "imgG");
    if (!box->hasPicture())
        return "none";
    const QColor c =
        box->picture().pixelColor(box->picture().width() / 2, box->picture().height() / 2);
    if (c.red() > 150 && c.green() > 150 && c.blue() < 100)
        return "yellow";
    if (c.red() > 150 && c.green() < 100 && c.blue() < 100)
        return "red";
    if (c.green() > 150 && c.red() < 100 && c.blue() < 100)
        return "green";
    if (c.blue() > 150 && c.red() < 100 && c.green() < 100)
        return "blue";
    return "other";
}

class CatalogueWindow : public ::testing::Test {
protected:
    void SetUp() override {
        MessageBox::clearShown();
        form = openMainWindow();
    }
    void TearDown() override { EXPECT_EQ(MessageBox::shown(), QStringList()); }
    TForm1& f() { return *form; }

    TempStore store{catalogue()};
    std::unique_ptr<TForm1> form;
};

}  // namespace

TEST_F(CatalogueWindow, TypeChoiceBuildsTheTreeOfThatType) {
    click(&f(), "RadioButton3");  // a coating before any type leaves the tree closed
    EXPECT_FALSE(f().Q_tovar.isOpen());
    EXPECT_TRUE(control<QLabel>(f(), "Panel2")->isVisible());

    choose(f(), "combovid", "Лотки перфорированные");
    EXPECT_FALSE(control<QLabel>(f(), "Panel2")->isVisible());
    // Products of type 64 outside the branch subtype, and group rows -1, -2, -3 with key 0.
    EXPECT_EQ(keysOf(f().Q_tovar), Keys({0, 101, 102, 103, 201}));
    EXPECT_EQ(f().Q_tovar.recordCount(), 7);
    EXPECT_EQ(f().Q_tovar.recNo(), 1);
    EXPECT_EQ(TForm1Access::treeRecNo(f()), -1);
    f().Q_tovar.setRecNo(rowOfKey(f().Q_tovar, 101));
    EXPECT_EQ(current(f().Q_tovar, u"Номер"), "ЛП-100-3");
    EXPECT_EQ(current(f().Q_tovar, u"pp"), "130");
    EXPECT_EQ(current(f().Q_tovar, u"kk"), "20103");
    EXPECT_EQ(current(f().Q_tovar, u"parentid"), "-1");
    // Each product hangs under its subtype's group row.
    auto* tree = control<DataGrid>(f(), "DBGridEh1");
    EXPECT_EQ(tree->model()->rowCount(), 3);
}

TEST_F(CatalogueWindow, CoatingChangeKeepsTheCurrentProduct) {
    choose(f(), "combovid", "Лотки перфорированные");
    clickKey(f(), "DBGridEh1", 102);
    const int row = rowOfKey(f().Q_tovar, 102);
    EXPECT_EQ(TForm1Access::treeRecNo(f()), row);
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "");

    click(&f(), "RadioButton3");
    EXPECT_EQ(TForm1Access::curPokr(f()), 3);
    EXPECT_EQ(f().Q_tovar.recNo(), row);
    EXPECT_EQ(TForm1Access::treeRecNo(f()), row);
    EXPECT_EQ(current(f().Q_tovar, u"Номер"), "ЛП-200-3");
    EXPECT_EQ(current(f().Q_tovar, u"pp"), "230");
    auto* tree = control<DataGrid>(f(), "DBGridEh1");
    EXPECT_EQ(tree->model()->recNoOf(tree->view()->currentIndex()), row);

    clickKey(f(), "DBGridEh1", 101);
    click(&f(), "RadioButton4");
    EXPECT_EQ(current(f().Q_tovar, u"Ключ"), "101");
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "КЛ-100-4 - Крышка КЛ 100");
    // A cover code that matches no item shows no cover.
    clickKey(f(), "DBGridEh1", 103);
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "");

    // A new type choice, even the same one, starts again at the first row.
    choose(f(), "combovid", "Лотки перфорированные");
    EXPECT_EQ(f().Q_tovar.recNo(), 1);
    EXPECT_EQ(TForm1Access::treeRecNo(f()), -1);
}

TEST_F(CatalogueWindow, TreeRowShowsNamePhotoCoverPiecesAndBranches) {
    choose(f(), "combovid", "Лотки перфорированные");
    control<NumberEdit>(f(), "dlinaus")->setFixedValue(*Fixed4::parse(u"7.5"));
    clickKey(f(), "DBGridEh1", 101);
    EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(), "Лоток ЛП 100x50 S0.7");
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "КЛ-100-2 - Крышка КЛ 100");
    EXPECT_EQ(control<NumberEdit>(f(), "kolshtuk")->fixedValue(), Fixed4::fromInt(3));
    EXPECT_EQ(photoColour(f()), "red");
    // Same type, height and width, and the thickness 0.7 written with a point or a comma.
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501, 503}));

    // No photo link: the red photo of the previous tray is gone.
    clickKey(f(), "DBGridEh1", 102);
    EXPECT_EQ(photoColour(f()), "none");
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({504}));

    // Leaving the length field recounts the pieces.
    control<NumberEdit>(f(), "dlinaus")->setFixedValue(*Fixed4::parse(u"3.01"));
    emit control<NumberEdit>(f(), "dlinaus")->focusLeft();
    EXPECT_EQ(control<NumberEdit>(f(), "kolshtuk")->fixedValue(), Fixed4::fromInt(2));

    // A group row: its name, one piece, no cover, no branch element of size 0 x 0.
    const int group = rowOfKey(f().Q_tovar, 0);
    clickRow(f(), "DBGridEh1", group);
    EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(), "Крышки");
    EXPECT_EQ(control<NumberEdit>(f(), "kolshtuk")->fixedValue(), Fixed4::fromInt(1));
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "");
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys());
}

TEST_F(CatalogueWindow, TreeRebuildKeepsManualBranchModeAndRow) {
    choose(f(), "combovid", "Лотки перфорированные");
    clickKey(f(), "DBGridEh1", 102);
    const int row = TForm1Access::treeRecNo(f());
    choose(f(), "combovid3", "Лотки листовые");
    EXPECT_FALSE(control<QLabel>(f(), "Panel8")->isVisible());
    EXPECT_EQ(TForm1Access::manualBranch(f()), 1);
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({651}));
    EXPECT_EQ(current(f().Q_tovar, u"Ключ"), "102");  // the tree is not touched

    click(&f(), "RadioButton5");
    EXPECT_EQ(TForm1Access::manualBranch(f()), 1);
    EXPECT_EQ(TForm1Access::treeRecNo(f()), row);
    EXPECT_EQ(current(f().Q_tovar, u"Ключ"), "102");
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({651}));
    EXPECT_EQ(current(f().Q_FTovar, u"Номер"), "ПЛ-100-5");
    EXPECT_EQ(current(f().Q_FTovar, u"pp"), "120");

    // The user's own move in the tree ends manual mode.
    clickKey(f(), "DBGridEh1", 101);
    EXPECT_EQ(TForm1Access::manualBranch(f()), 0);
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501, 503}));
    EXPECT_EQ(current(f().Q_FTovar, u"Номер"), "ПП-100-5");
}

TEST_F(CatalogueWindow, AccessoryPhotoFollowsTheMountingMethod) {
    choose(f(), "combovid2", "Подвесы");
    const struct {
        const char* button;
        std::int64_t key;
        const char* colour;
    } cases[] = {
        {"RadioButton9", 701, "blue"},    // wall
        {"RadioButton10", 701, "green"},  // floor
        {"RadioButton8", 701, "blue"},    // ceiling: no own photo, the item's first by key
        {"RadioButton8", 702, "yellow"},  // one photo for every method
        {"RadioButton9", 702, "yellow"},
    };
    for (const auto& c : cases) {
        click(&f(), c.button);
        clickKey(f(), "DBGridEh4", c.key);
        EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(),
                  current(f().Q_tovar2, u"Название"));
        EXPECT_EQ(photoColour(f()), c.colour) << c.button << " " << c.key;
        EXPECT_EQ(TForm1Access::accRecNo(f()), f().Q_tovar2.recNo());
    }
    // Arrow keys move and show on every key release.
    clickKey(f(), "DBGridEh4", 701);
    QTest::keyClick(control<DataGrid>(f(), "DBGridEh4")->view(),
                    rowOfKey(f().Q_tovar2, 701) == 1 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(current(f().Q_tovar2, u"Ключ"), "702");
    EXPECT_EQ(photoColour(f()), "yellow");
}

TEST_F(CatalogueWindow, BrokenPhotoShowsNothing) {
    choose(f(), "combovid3", "Лотки перфорированные");
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501, 502, 503, 504}));
    // Garbage, a truncated JPEG and an empty blob, each right after an item with a good photo.
    for (std::int64_t broken : {501, 502, 503}) {
        clickKey(f(), "DBGridEh3", 504);
        EXPECT_EQ(photoColour(f()), "red");
        clickKey(f(), "DBGridEh3", broken);
        EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(),
                  current(f().Q_FTovar, u"Название"));
        EXPECT_EQ(photoColour(f()), "none") << broken;
    }
}

TEST_F(CatalogueWindow, SpecificationLineShowsThePhotoOfItsCoating) {
    choose(f(), "combovid", "Лотки перфорированные");
    clickKey(f(), "DBGridEh1", 101);
    EXPECT_EQ(photoColour(f()), "red");
    // A line of the same tray added in zinc, and a line without an item code.
    f().Q_buy.close();
    f().Q_buy.setSql(
        "select 1 as ID, 'Лоток ЛП 100x50 S0.7' as tname, 10102 as TMC2 union all "
        "select 2, 'Без кода', null");
    f().Q_buy.open();
    control<DataGrid>(f(), "DBGridEh2")->reload();
    clickRow(f(), "DBGridEh2", 1);
    EXPECT_EQ(photoColour(f()), "green");
    clickRow(f(), "DBGridEh2", 2);
    EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(), "Без кода");
    EXPECT_EQ(photoColour(f()), "none");
}

TEST_F(CatalogueWindow, AccessoriesByTypeAndMountingMethod) {
    const struct {
        const char* type;
        const char* button;
        Keys keys;
    } cases[] = {
        {"Подвесы", "RadioButton8", {701, 702}},
        {"Подвесы", "RadioButton9", {701, 702}},
        {"Подвесы", "RadioButton10", {701}},
        {"Фурнитура общая", "RadioButton8", {711, 712}},
        {"Фурнитура общая", "RadioButton9", {711, 712}},
        {"Фурнитура общая", "RadioButton10", {711, 712}},
        {"Консоли", "RadioButton10", {}},
        {"Консоли", "RadioButton9", {801}},
    };
    for (const auto& c : cases) {
        click(&f(), c.button);
        choose(f(), "combovid2", c.type);
        EXPECT_EQ(keysOf(f().Q_tovar2), c.keys) << c.type << " " << c.button;
        EXPECT_EQ(f().Q_tovar2.recNo(), c.keys.empty() ? 0 : 1);
        EXPECT_EQ(TForm1Access::accRecNo(f()), -1);
    }
    // A coating change refills the list in the new coating.
    choose(f(), "combovid2", "Консоли");
    click(&f(), "RadioButton2");
    EXPECT_EQ(current(f().Q_tovar2, u"Номер"), "КН-200-1");
    EXPECT_EQ(current(f().Q_tovar2, u"tt"), "80101");
}

TEST_F(CatalogueWindow, SearchFindsByArticleAndNameInEveryGrid) {
    const struct {
        const char* text;
        Keys tree, branches, accessories;
    } cases[] = {
        {"лоток лп", {0, 101, 102}, {}, {}},  // Cyrillic in any case; type 90 is no tray type
        {"ПП-100 поворот", {}, {501}, {}},    // across the space between article and name
        {"'Север'", {0, 103}, {}, {}},
        {"ЛП%S1", {0, 102}, {}, {}},
        {"м8", {}, {}, {701, 711, 712}},
        {"", {0, 101, 102, 103, 201, 601}, {501, 502, 503, 504, 651}, {701, 702, 711, 712, 801}},
        {"нет такого", {}, {}, {}},
        {"x'); drop table buy; --", {}, {}, {}},
    };
    for (const auto& c : cases) {
        control<QLineEdit>(f(), "findedit")->setText(QString::fromUtf8(c.text));
        click(&f(), "BitBtn9");
        EXPECT_EQ(TForm1Access::searchMode(f()), 1);
        EXPECT_EQ(keysOf(f().Q_tovar), c.tree) << c.text;
        EXPECT_EQ(keysOf(f().Q_FTovar), c.branches) << c.text;
        EXPECT_EQ(keysOf(f().Q_tovar2), c.accessories) << c.text;
        EXPECT_EQ(f().Q_tovar.recNo(), c.tree.empty() ? 0 : 1);
    }
    EXPECT_EQ(store.scalar("select count(*) from buy"), "0");

    // No match empties the cover field of the tray shown before.
    choose(f(), "combovid", "Лотки перфорированные");
    clickKey(f(), "DBGridEh1", 101);
    EXPECT_NE(control<QLineEdit>(f(), "namekr")->text(), "");
    control<QLineEdit>(f(), "findedit")->setText("нет такого");
    click(&f(), "BitBtn9");
    EXPECT_EQ(control<QLineEdit>(f(), "namekr")->text(), "");
}

// A word that finds hundreds of products shows them all, though their rows are read only as
// they are shown: End reaches the last one with its fields, and so does a coating change.
TEST_F(CatalogueWindow, EndReachesTheLastOfManyProductsFound) {
    store.run(
        {"insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3) "
         "with recursive n(i) as (select 1 union all select i + 1 from n where i < 700) "
         "select 20000 + i, 'Лоток массовый ' || i, 'ЛМ-' || i, 64, 1, 'м.п.', 30000 + i, "
         "40000 + i, i, 2 * i from n"});
    control<QLineEdit>(f(), "findedit")->setText("МАССОВЫЙ");
    click(&f(), "BitBtn9");
    ASSERT_EQ(f().Q_tovar.recordCount(), 701);  // the subtype's group row and its products
    auto* tree = control<DataGrid>(f(), "DBGridEh1");
    QTest::keyClick(tree->view(), Qt::Key_End);
    EXPECT_EQ(f().Q_tovar.recNo(), 701);
    EXPECT_EQ(current(f().Q_tovar, u"Номер"), "ЛМ-700-2");
    EXPECT_EQ(current(f().Q_tovar, u"pp"), "700");
    EXPECT_EQ(control<QPlainTextEdit>(f(), "nametovarm")->toPlainText(), "Лоток массовый 700");

    control<QRadioButton>(f(), "RadioButton3")->click();  // Полимер
    QTest::keyClick(tree->view(), Qt::Key_End);
    EXPECT_EQ(current(f().Q_tovar, u"Номер"), "ЛМ-700-3");
    EXPECT_EQ(current(f().Q_tovar, u"tt"), "40700");
    EXPECT_EQ(current(f().Q_tovar, u"pp"), "1400");
}

TEST_F(CatalogueWindow, SearchModeRepeatsOnCoatingAndMountingChanges) {
    choose(f(), "combovid", "Лотки листовые");
    choose(f(), "combovid2", "Фурнитура общая");
    control<QLineEdit>(f(), "findedit")->setText("ЛП-1");
    click(&f(), "BitBtn9");
    EXPECT_EQ(keysOf(f().Q_tovar), Keys({0, 101}));
    // The general hardware list stays whatever is searched.
    EXPECT_EQ(keysOf(f().Q_tovar2), Keys({711, 712}));

    // Edited but not searched yet: the coating change searches for the new text.
    control<QLineEdit>(f(), "findedit")->setText("поворот");
    clickKey(f(), "DBGridEh1", 101);  // a move leaves search mode on
    click(&f(), "RadioButton2");
    EXPECT_EQ(TForm1Access::searchMode(f()), 1);
    EXPECT_EQ(keysOf(f().Q_tovar), Keys());
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501, 502, 651}));
    EXPECT_EQ(current(f().Q_FTovar, u"Номер").right(2), "-1");
    EXPECT_EQ(TForm1Access::treeRecNo(f()), -1);

    click(&f(), "RadioButton10");
    EXPECT_EQ(TForm1Access::krepMode(f()), 3);
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501, 502, 651}));
    EXPECT_EQ(keysOf(f().Q_tovar2), Keys({711, 712}));

    // An accessory type ends search mode without touching the tree; the next coating change
    // rebuilds it from the chosen tray type.
    choose(f(), "combovid2", "Подвесы");
    EXPECT_EQ(TForm1Access::searchMode(f()), 0);
    EXPECT_EQ(keysOf(f().Q_tovar2), Keys({701}));
    EXPECT_EQ(keysOf(f().Q_tovar), Keys());
    click(&f(), "RadioButton1");
    EXPECT_EQ(keysOf(f().Q_tovar), Keys({0, 601}));

    // A type choice ends search mode too.
    click(&f(), "BitBtn9");
    EXPECT_EQ(TForm1Access::searchMode(f()), 1);
    choose(f(), "combovid", "Лотки перфорированные");
    EXPECT_EQ(TForm1Access::searchMode(f()), 0);
    EXPECT_EQ(keysOf(f().Q_tovar), Keys({0, 101, 102, 103, 201}));
    click(&f(), "BitBtn9");
    choose(f(), "combovid3", "Лотки листовые");
    EXPECT_EQ(TForm1Access::searchMode(f()), 0);
}

// The coating suffixes of the articles a grid shows; group rows have no article.
std::set<QString> coatingsShown(const Query& q) {
    std::set<QString> shown;
    if (!q.isOpen())
        return shown;
    for (int r = 0; r < q.recordCount(); ++r) {
        const QString article = q.value(r, q.columnIndex(u"Номер")).toText();
        if (!article.isEmpty() && article != "-")
            shown.insert(article.section('-', -1));
    }
    return shown;
}

TEST_F(CatalogueWindow, CoatingChangeReachesEveryGridThatShowsPrices) {
    // Grids a search filled and a later choice did not replace, with a row picked in each.
    const struct {
        const char* name;
        const char* listBefore;  // chosen before the search
        const char* typeBefore;
        const char* listAfter;  // chosen after the search
        const char* typeAfter;
        bool searchMode;  // the search runs again and starts its lists on their first rows
        const char* lines;
    } cases[] = {
        {"general hardware in search mode", "combovid2", "Фурнитура общая", nullptr, nullptr, true,
         "2"},
        {"search, then a branch type", nullptr, nullptr, "combovid3", "Лотки листовые", false, "4"},
        {"search, then an accessory type", nullptr, nullptr, "combovid2", "Подвесы", false, "4"},
    };
    for (const auto& c : cases) {
        form.reset();
        store.run({"delete from buy"});
        form = openMainWindow();
        if (c.listBefore)
            choose(f(), c.listBefore, c.typeBefore);
        control<QLineEdit>(f(), "findedit")->setText("");
        click(&f(), "BitBtn9");
        if (c.listAfter)
            choose(f(), c.listAfter, c.typeAfter);
        // On a tray without a move of the user's, which would refill the branch list.
        f().Q_tovar.setRecNo(rowOfKey(f().Q_tovar, 101));
        control<DataGrid>(f(), "DBGridEh1")->syncToQuery();
        clickRow(f(), "DBGridEh3", f().Q_FTovar.recordCount());
        clickRow(f(), "DBGridEh4", f().Q_tovar2.recordCount());
        const QString tray = current(f().Q_tovar, u"Ключ");
        const QString branch = current(f().Q_FTovar, u"Ключ");
        const QString accessory = current(f().Q_tovar2, u"Ключ");

        click(&f(), "RadioButton2");  // Грунт, code 1
        EXPECT_EQ(coatingsShown(f().Q_tovar), std::set<QString>{"1"}) << c.name;
        EXPECT_EQ(coatingsShown(f().Q_FTovar), std::set<QString>{"1"}) << c.name;
        EXPECT_EQ(coatingsShown(f().Q_tovar2), std::set<QString>{"1"}) << c.name;
        if (!c.searchMode) {
            EXPECT_EQ(current(f().Q_tovar, u"Ключ"), tray) << c.name;
            EXPECT_EQ(current(f().Q_FTovar, u"Ключ"), branch) << c.name;
        }
        EXPECT_EQ(current(f().Q_tovar2, u"Ключ"), accessory) << c.name;

        // What is added is what is shown: code, item code and price of the one coating.
        for (const char* grid : {"DBGridEh1", "DBGridEh3", "DBGridEh4"})
            emit control<DataGrid>(f(), grid)->doubleClicked();
        EXPECT_EQ(store.scalar("select count(*) from buy join EXPORT_TMC on EXPORT_TMC.Ключ = TMC "
                               "where Pokr <> 1 or TMC2 <> t1k or price <> p1"),
                  "0")
            << c.name;
        // The tray comes with its cover; a group row adds nothing.
        EXPECT_EQ(store.scalar("select count(*) from buy"), c.lines) << c.name;
    }
}

TEST_F(CatalogueWindow, EnterSearchesAndAddsAsADoubleClickDoes) {
    auto* find = control<QLineEdit>(f(), "findedit");
    find->setText("ПП-100");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(TForm1Access::searchMode(f()), 1);
    EXPECT_EQ(keysOf(f().Q_FTovar), Keys({501}));

    // Enter on a branch element adds it in double-click mode only, whatever addSource says.
    auto* branches = control<DataGrid>(f(), "DBGridEh3")->view();
    const struct {
        const char* mode;
        const char* lines;
    } cases[] = {{"RBbutton", "0"}, {"RBclick", "1"}};
    for (const auto& c : cases) {
        click(&f(), c.mode);
        f().browser().setAddSource(1);
        QTest::keyClick(branches, Qt::Key_Return);
        EXPECT_EQ(store.scalar("select count(*) from buy where TMC = 501"), c.lines) << c.mode;
    }
}
