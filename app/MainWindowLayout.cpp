// The main window's regions, controls, captions, sizes and colours.
#include "app/TForm1.h"
#include "catalogue/CatalogueColumns.h"
#include "specification/SpecColumns.h"
#include "ui/DataGrid.h"
#include "ui/ElidedGroupBox.h"
#include "ui/LookupCombo.h"
#include "ui/NumberEdit.h"
#include "ui/PhotoBox.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>
#include <limits>

using catalogue::ListColumn;
using catalogue::TreeColumn;

namespace {

const QColor moneyGreen(192, 220, 192);
const QColor silver(192, 192, 192);
constexpr Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment centre = Qt::AlignCenter;
constexpr Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;

// A column of a grid, named by its view's column enum.
template <typename Column>
GridColumn col(Column column, const QString& title, int width, bool visible = true,
               Qt::Alignment alignment = left, const QColor& background = {},
               bool twoDecimals = false) {
    GridColumn c;
    c.field = columnName(column);
    c.title = title;
    c.width = width;
    c.visible = visible;
    c.alignment = alignment;
    c.background = background;
    c.twoDecimals = twoDecimals;
    return c;
}

// A price, quantity or sum: its column holds the largest figure whole.
GridColumn figure(GridColumn c) {
    c.figure = true;
    return c;
}

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

template <typename Box = QGroupBox>
Box* mainGroup(const char* name, const QString& caption) {
    auto* box = named(new Box(caption), name);
    box->setStyleSheet(QStringLiteral("QGroupBox#%1 { font-family: Verdana; font-weight: bold; "
                                      "font-size: 13px; }")
                           .arg(QString::fromLatin1(name)));
    return box;
}

// The logo: the maker's name drawn on white, 226 by 70, shown scaled to the band's height.
QPixmap logo() {
    QPixmap pixmap(226, 70);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 84, 166));
    for (int i = 0; i < 3; ++i)
        painter.drawRect(8, 14 + i * 16, 44 - i * 10, 10);
    painter.setPen(QColor(0, 84, 166));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(58, 0, 168, 70), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("УЛМАР"));
    return pixmap.scaledToHeight(46, Qt::SmoothTransformation);
}

// Lays the red prompt over the text area of a lookup list, leaving its drop-down button free.
class PromptOverlay : public QObject {
public:
    PromptOverlay(QWidget* list, QLabel* prompt) : QObject(list), m_prompt(prompt) {
        list->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            auto* list = static_cast<QWidget*>(watched);
            m_prompt->setGeometry(3, 3, std::max(0, list->width() - 24), list->height() - 6);
        }
        return false;
    }

private:
    QLabel* m_prompt;
};

// The columns over the bottom band: when the window is resized the upper part keeps its height
// and the bottom band takes the rest; moving the splitter sets the height kept.
class UpperKeepsHeight : public QSplitter {
public:
    explicit UpperKeepsHeight(int upper) : QSplitter(Qt::Vertical), m_upper(upper) {
        connect(this, &QSplitter::splitterMoved, this, [this] { m_upper = sizes().value(0); });
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QSplitter::resizeEvent(event);
        if (count() != 2)
            return;
        const int room = height() - handleWidth();
        auto least = [](const QWidget* w) {
            return std::max(w->minimumHeight(), w->minimumSizeHint().height());
        };
        const int upper = std::max(least(widget(0)), std::min(m_upper, room - least(widget(1))));
        setSizes({upper, room - upper});
    }

private:
    int m_upper;
};

QLabel* prompt(LookupCombo* list, const char* name, const QString& text) {
    auto* label = named(new QLabel(text, list), name);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    new PromptOverlay(list, label);
    return label;
}

void catalogueGridLook(DataGrid* grid) {
    grid->setFont(QFont(QStringLiteral("Tahoma"), 8));
    grid->view()->setToolTip(QStringLiteral("Двойной клик добавляет позицию в спецификацию"));
}

QPushButton* sideButton(const char* name, const QString& caption, QStyle::StandardPixmap glyph) {
    auto* button = named(new QPushButton(qApp->style()->standardIcon(glyph), caption), name);
    // Low enough for the whole column to fit the bottom band at its start height.
    button->setFixedSize(101, 21);
    return button;
}

void setSilver(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, silver);
    palette.setColor(QPalette::Window, silver);
    // Shown, never typed into: the text stays as readable as in an enabled field.
    palette.setColor(QPalette::Disabled, QPalette::Text,
                     palette.color(QPalette::Active, QPalette::Text));
    palette.setColor(QPalette::Disabled, QPalette::Base, silver);
    widget->setPalette(palette);
}

}  // namespace

void TForm1::buildLayout() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Улмар"));
    resize(996, 723);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    auto* central = new QWidget;
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    setCentralWidget(central);

    // Top band.
    auto* band = named(new QWidget, "Panel1");
    band->setFixedHeight(46);
    band->setAutoFillBackground(true);
    QPalette white = band->palette();
    white.setColor(QPalette::Window, Qt::white);
    band->setPalette(white);
    Image1 = named(new QLabel(band), "Image1");
    Image1->setPixmap(logo());
    Image1->setGeometry(0, 0, Image1->pixmap().width(), 46);
    Label1 = named(new QLabel(QStringLiteral("Программа расчета кабельных трасс"), band), "Label1");
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    Label1->setFont(titleFont);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);
    Label1->setGeometry(165, 0, 700, 46);
    // The price list's commands, at the right end of the band: the button column beside the
    // specification has no height to spare.
    BitBtn11 = sideButton("BitBtn11", QStringLiteral("Каталог"), QStyle::SP_FileDialogListView);
    {
        auto* menu = named(new QMenu(BitBtn11), "catalogueMenu");
        updateCatalogueItem =
            named(menu->addAction(QStringLiteral("Обновить каталог…")), "updateCatalogueItem");
        restoreCatalogueItem = named(menu->addAction(QStringLiteral("Вернуть прежний каталог")),
                                     "restoreCatalogueItem");
        menu->addSeparator();
        requoteItem = named(menu->addAction(QStringLiteral("Цены проектов…")), "requoteItem");
        BitBtn11->setMenu(menu);
    }
    {
        auto* right = new QHBoxLayout(band);
        right->setContentsMargins(4, 4, 8, 4);
        right->addStretch(1);
        right->addWidget(BitBtn11, 0, Qt::AlignVCenter);
    }
    outer->addWidget(band);

    // Catalogue column.
    GroupBox8 = mainGroup("GroupBox8", QStringLiteral("Выбор кабеленесущей системы"));
    combovid = named(new LookupCombo, "combovid");
    Panel2 = prompt(combovid, "Panel2", QStringLiteral("Выберите вид товара!"));
    DBGridEh1 = named(new DataGrid, "DBGridEh1");
    catalogueGridLook(DBGridEh1);
    DBGridEh1->setColumns({
        col(TreeColumn::Article, QStringLiteral("Артикул"), 83),
        col(TreeColumn::Key, QString(), 28, false),
        col(TreeColumn::Name, QStringLiteral("Наименование"), 228),
        col(TreeColumn::Length, QStringLiteral("L, мм."), 34, false, right, {}, true),
        col(TreeColumn::BaseCode, QString(), 49, false),
        col(TreeColumn::CoverCode, QString(), 49, false),
        col(TreeColumn::ItemCode, QString(), 49, false),
        figure(col(TreeColumn::Price, QStringLiteral("Цена руб./м.п."), 53, true, right, moneyGreen,
                   true)),
        col(TreeColumn::ParentId, QString(), 49, false),
        col(TreeColumn::Id, QString(), 49, false),
    });
    DBGridEh1->setTreeFields(columnName(TreeColumn::Id), columnName(TreeColumn::ParentId));
    // At the start size the price column is whole and clear of the scroll bar.
    DBGridEh1->takeRoomFrom(columnName(TreeColumn::Name));
    DBGridEh1->view()->setStyleSheet(QStringLiteral("QTreeView { show-decoration-selected: 1; }"));
    // However small the window, the tree shows a few rows under its two-line header.
    DBGridEh1->setMinimumHeight(10 * DBGridEh1->fontMetrics().height());
    {
        auto* box = new QVBoxLayout(GroupBox8);
        box->setContentsMargins(4, 4, 4, 4);
        box->setSpacing(3);
        box->addWidget(combovid);
        box->addWidget(DBGridEh1, 1);
    }
    Label4 = named(new QLabel(QStringLiteral("Поиск")), "Label4");
    findedit = named(new QLineEdit, "findedit");
    findedit->setMaxLength(std::numeric_limits<int>::max());
    BitBtn9 = named(new QPushButton(qApp->style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                    QStringLiteral("Найти")),
                    "BitBtn9");
    GroupBox2 = named(new QGroupBox(QStringLiteral("Выбор покрытия")), "GroupBox2");
    GroupBox2->setFixedWidth(103);
    RadioButton1 = named(new QRadioButton(QStringLiteral("Цинк")), "RadioButton1");
    RadioButton2 = named(new QRadioButton(QStringLiteral("Грунт")), "RadioButton2");
    RadioButton3 = named(new QRadioButton(QStringLiteral("Полимер")), "RadioButton3");
    RadioButton4 = named(new QRadioButton(QStringLiteral("Гор. цинк")), "RadioButton4");
    RadioButton5 = named(new QRadioButton(QStringLiteral("ТДЦ")), "RadioButton5");
    RadioButton1->setChecked(true);
    {
        auto* box = new QVBoxLayout(GroupBox2);
        box->setContentsMargins(6, 2, 2, 2);
        box->setSpacing(0);
        for (auto* b : {RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5})
            box->addWidget(b);
    }
    GroupBox3 = named(new QGroupBox(QStringLiteral("Соответствующая крышка")), "GroupBox3");
    RadioButton6 = named(new QRadioButton(QStringLiteral("С крышкой")), "RadioButton6");
    RadioButton7 = named(new QRadioButton(QStringLiteral("Без крышки")), "RadioButton7");
    RadioButton6->setChecked(true);
    namekr = named(new QLineEdit, "namekr");
    namekr->setEnabled(false);
    setSilver(namekr);
    {
        auto* box = new QGridLayout(GroupBox3);
        box->setContentsMargins(4, 0, 4, 2);
        box->setVerticalSpacing(1);
        box->addWidget(RadioButton6, 0, 0);
        box->addWidget(RadioButton7, 0, 1);
        box->addWidget(namekr, 1, 0, 1, 2);
    }
    Label2 = named(new QLabel(QStringLiteral("Длина участка трассы, м.")), "Label2");
    Label2->setWordWrap(true);
    // Two lines at most: the window's least height does not foresee a third.
    Label2->setMinimumWidth(
        Label2->fontMetrics().horizontalAdvance(QStringLiteral("Длина участка")) + 4);
    dlinaus = named(new NumberEdit, "dlinaus");
    Label3 = named(new QLabel(QStringLiteral("Кол-во шт.")), "Label3");
    kolshtuk = named(new NumberEdit, "kolshtuk");
    for (NumberEdit* edit : {dlinaus, kolshtuk}) {
        edit->setValue(1);
        edit->setAlignment(Qt::AlignCenter);
        QFont bold = edit->font();
        bold.setBold(true);
        edit->setFont(bold);
        edit->setFixedWidth(58);
    }
    kolshtuk->setReadOnly(true);
    kolshtuk->setRange(-1e9, 1e9);
    kolshtuk->setFocusPolicy(Qt::NoFocus);
    setSilver(kolshtuk);
    GroupBox9 =
        named(new QGroupBox(QStringLiteral("Добавление позиции в спецификацию")), "GroupBox9");
    RBclick = named(new QRadioButton(QStringLiteral("По двойному клику")), "RBclick");
    RBbutton = named(new QRadioButton(QStringLiteral("По кнопке")), "RBbutton");
    RBclick->setChecked(true);
    {
        auto* box = new QHBoxLayout(GroupBox9);
        box->setContentsMargins(4, 0, 4, 2);
        box->addWidget(RBclick);
        box->addWidget(RBbutton);
    }
    auto* catalogue = named(new QWidget, "Panel3");
    {
        auto* column = new QVBoxLayout(catalogue);
        column->setContentsMargins(2, 2, 2, 2);
        column->setSpacing(2);
        column->addWidget(GroupBox8, 1);
        auto* search = new QHBoxLayout;
        search->addWidget(Label4);
        search->addWidget(findedit, 1);
        search->addWidget(BitBtn9);
        column->addLayout(search);
        auto* lower = new QHBoxLayout;
        lower->setSpacing(2);
        lower->addWidget(GroupBox2);
        auto* stack = new QVBoxLayout;
        stack->setSpacing(1);
        stack->addWidget(GroupBox3);
        auto* length = new QHBoxLayout;
        length->addWidget(Label2, 1);
        length->addWidget(dlinaus);
        length->addWidget(Label3);
        length->addWidget(kolshtuk);
        stack->addLayout(length);
        stack->addWidget(GroupBox9);
        lower->addLayout(stack, 1);
        column->addLayout(lower);
    }

    // Branch-element column.
    GroupBox7 = mainGroup("GroupBox7", QStringLiteral("Элементы ответвления трассы"));
    combovid3 = named(new LookupCombo, "combovid3");
    Panel8 =
        prompt(combovid3, "Panel8", QStringLiteral("Выберите вид товара!(для ручного режима)"));
    DBGridEh3 = named(new DataGrid, "DBGridEh3");
    catalogueGridLook(DBGridEh3);
    DBGridEh3->setColumns({
        col(ListColumn::Article, QStringLiteral("Артикул"), 53),
        col(ListColumn::Name, QStringLiteral("Наименование"), 172),
        figure(
            col(ListColumn::Price, QStringLiteral("Цена, руб./шт."), 45, true, right, moneyGreen)),
    });
    DBGridEh3->takeRoomFrom(columnName(ListColumn::Name));
    {
        auto* box = new QVBoxLayout(GroupBox7);
        box->setContentsMargins(4, 4, 4, 4);
        box->setSpacing(3);
        box->addWidget(combovid3);
        box->addWidget(DBGridEh3, 1);
    }

    // Accessory column.
    GroupBox5 = mainGroup("GroupBox5", QStringLiteral("Элементы крепления (аксессуары)"));
    combovid2 = named(new LookupCombo, "combovid2");
    GroupBox6 = named(new QGroupBox(QStringLiteral("Монтаж")), "GroupBox6");
    RadioButton8 = named(new QRadioButton(QStringLiteral("Потолок")), "RadioButton8");
    RadioButton9 = named(new QRadioButton(QStringLiteral("Стена")), "RadioButton9");
    RadioButton10 = named(new QRadioButton(QStringLiteral("Пол")), "RadioButton10");
    RadioButton8->setChecked(true);
    {
        auto* box = new QHBoxLayout(GroupBox6);
        box->setContentsMargins(4, 0, 4, 2);
        for (auto* b : {RadioButton8, RadioButton9, RadioButton10})
            box->addWidget(b);
    }
    DBGridEh4 = named(new DataGrid, "DBGridEh4");
    catalogueGridLook(DBGridEh4);
    DBGridEh4->setColumns({
        col(ListColumn::Article, QStringLiteral("Артикул"), 52),
        col(ListColumn::Name, QStringLiteral("Наименование"), 168),
        figure(
            col(ListColumn::Price, QStringLiteral("Цена, руб./шт."), 46, true, right, moneyGreen)),
    });
    DBGridEh4->takeRoomFrom(columnName(ListColumn::Name));
    {
        auto* box = new QVBoxLayout(GroupBox5);
        box->setContentsMargins(4, 4, 4, 4);
        box->setSpacing(3);
        box->addWidget(combovid2);
        box->addWidget(GroupBox6);
        box->addWidget(DBGridEh4, 1);
    }

    Splitter2 = named(new QSplitter(Qt::Horizontal), "Splitter2");
    Splitter2->addWidget(GroupBox7);
    Splitter2->addWidget(GroupBox5);
    Splitter2->setStretchFactor(0, 0);
    Splitter2->setStretchFactor(1, 1);
    Splitter2->setSizes({297, 305});
    Splitter1 = named(new QSplitter(Qt::Horizontal), "Splitter1");
    Splitter1->addWidget(catalogue);
    Splitter1->addWidget(Splitter2);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({392, 604});

    // Bottom band: the specification and the picture panel.
    // Its caption names the open project, of any length.
    GroupBox4 = mainGroup<ElidedGroupBox>("GroupBox4", QStringLiteral("Выбранные товары"));
    DBGridEh2 = named(new DataGrid, "DBGridEh2");
    DBGridEh2->setColumns({
        col(SpecColumn::Article, QStringLiteral("Артикул"), 89),
        col(SpecColumn::Name, QStringLiteral("Наименование"), 213),
        col(SpecColumn::CoatingName, QStringLiteral("Покрытие"), 69, true, right),
        figure(col(SpecColumn::Kol, QStringLiteral("Кол-во заказ"), 47, true, centre)),
        figure(col(SpecColumn::Kolm, QStringLiteral("Кол-во проект"), 47, true, right)),
        col(SpecColumn::Unit, QStringLiteral("Ед. изм."), 50),
        figure(col(SpecColumn::Price, QStringLiteral("Цена, руб."), 57, true, right)),
        figure(col(SpecColumn::Sum, QStringLiteral("Сумма, руб."), 78, true, right, moneyGreen)),
        col(SpecColumn::Id, QString(), 40, false),
        col(SpecColumn::ParentId, QString(), 40, false),
    });
    DBGridEh2->setTreeFields(columnName(SpecColumn::Id), columnName(SpecColumn::ParentId));
    DBGridEh2->takeRoomFrom(columnName(SpecColumn::Name));
    DBGridEh2->setFooter(columnName(SpecColumn::LineSum), columnName(SpecColumn::Sum));
    {
        QLabel* footer = DBGridEh2->footer();
        QFont bold = footer->font();
        bold.setBold(true);
        footer->setFont(bold);
        QPalette palette = footer->palette();
        palette.setColor(QPalette::Window, moneyGreen);
        palette.setColor(QPalette::WindowText, Qt::red);
        footer->setPalette(palette);
    }
    specMenu = named(new QMenu(DBGridEh2), "specMenu");
    repriceItem =
        named(specMenu->addAction(QStringLiteral("Обновить цены по каталогу")), "repriceItem");
    DBGridEh2->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGridEh2->view(), &QWidget::customContextMenuRequested, specMenu,
            [this](const QPoint& at) {
                specMenu->popup(DBGridEh2->view()->viewport()->mapToGlobal(at));
            });
    BitBtn6 = sideButton("BitBtn6", QStringLiteral("Добавить"), QStyle::SP_FileDialogNewFolder);
    BitBtn3 = sideButton("BitBtn3", QStringLiteral("Обновить"), QStyle::SP_BrowserReload);
    BitBtn4 = sideButton("BitBtn4", QStringLiteral("Изменить"), QStyle::SP_FileDialogDetailedView);
    BitBtn1 = sideButton("BitBtn1", QStringLiteral("Удалить"), QStyle::SP_DialogDiscardButton);
    BitBtn2 = sideButton("BitBtn2", QStringLiteral("Очистить"), QStyle::SP_TrashIcon);
    BitBtn7 = sideButton("BitBtn7", QStringLiteral("Проекты"), QStyle::SP_DirOpenIcon);
    BitBtn8 = sideButton("BitBtn8", QStringLiteral("Сохранить"), QStyle::SP_DialogSaveButton);
    BitBtn5 = sideButton("BitBtn5", QStringLiteral("Экспорт"), QStyle::SP_ArrowRight);
    BitBtn10 = sideButton("BitBtn10", QStringLiteral("Печать"), QStyle::SP_FileIcon);
    BitBtn6->setEnabled(false);
    {
        auto* box = new QHBoxLayout(GroupBox4);
        box->setContentsMargins(4, 4, 4, 4);
        box->addWidget(DBGridEh2, 1);
        auto* buttons = new QVBoxLayout;
        buttons->setSpacing(1);
        for (auto* b : {BitBtn6, BitBtn3, BitBtn4, BitBtn1, BitBtn2, BitBtn7, BitBtn8})
            buttons->addWidget(b);
        buttons->addSpacing(8);
        buttons->addWidget(BitBtn5);
        buttons->addWidget(BitBtn10);
        buttons->addStretch(1);
        box->addLayout(buttons);
    }
    auto* picturePanel = named(new QWidget, "Panel5");
    picturePanel->setMinimumWidth(120);
    nametovarm = named(new QPlainTextEdit, "nametovarm");
    nametovarm->setReadOnly(true);
    nametovarm->setFixedHeight(32);
    // Two lines have no room for a scroll bar; a longer name scrolls with the wheel.
    nametovarm->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    {
        QPalette palette = nametovarm->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        nametovarm->setPalette(palette);
    }
    GroupBox1 = named(new QGroupBox(QStringLiteral("Изображение")), "GroupBox1");
    imgG = named(new PhotoBox, "imgG");
    {
        auto* box = new QVBoxLayout(GroupBox1);
        box->setContentsMargins(4, 4, 4, 4);
        box->addWidget(imgG);
        auto* panel = new QVBoxLayout(picturePanel);
        panel->setContentsMargins(2, 2, 2, 2);
        panel->addWidget(nametovarm);
        panel->addWidget(GroupBox1, 1);
    }
    Splitter4 = named(new QSplitter(Qt::Horizontal), "Splitter4");
    Splitter4->addWidget(GroupBox4);
    Splitter4->addWidget(picturePanel);
    Splitter4->setStretchFactor(0, 1);
    Splitter4->setStretchFactor(1, 0);
    Splitter4->setSizes({786, 204});

    Splitter3 = named(new UpperKeepsHeight(428), "Splitter3");
    Splitter3->addWidget(Splitter1);
    Splitter3->addWidget(Splitter4);
    Splitter3->setSizes({428, 242});
    Splitter3->setHandleWidth(7);
    for (QSplitter* s : {Splitter1, Splitter2, Splitter4})
        s->setHandleWidth(6);
    for (QSplitter* s : {Splitter1, Splitter2, Splitter3, Splitter4}) {
        s->setChildrenCollapsible(false);
        s->setStyleSheet(QStringLiteral("QSplitter::handle { background: white; }"));
    }
    outer->addWidget(Splitter3, 1);
}
