#include "app/TForm1.h"

#include "catalogue/TypeLists.h"
#include "projects/ProjectProperties.h"
#include "projects/SqlProjectStore.h"
#include "projects/gui/TProekt.h"
#include "projects/gui/TProperties.h"
#include "projects/gui/Tproektedit.h"
#include "projects/gui/Tproekti.h"
#include "specification/gui/TEditkol.h"
#include "store/SearchIndex.h"
#include "store/StoreChoice.h"
#include "store/TableCheck.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/LookupCombo.h"
#include "ui/NumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTreeView>

namespace {

// Reports focus entering and leaving a widget that has no such signals of its own.
class FocusWatcher : public QObject {
public:
    FocusWatcher(QWidget* widget, std::function<void()> entered, std::function<void()> left)
        : QObject(widget), m_entered(std::move(entered)), m_left(std::move(left)) {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn)
            m_entered();
        else if (event->type() == QEvent::FocusOut)
            m_left();
        return false;
    }

private:
    std::function<void()> m_entered;
    std::function<void()> m_left;
};

// A focused catalogue list or grid is painted in the tooltip background colour. The style
// sheets of the main groups fix the palettes of the controls inside, so the colour is given
// as a style sheet of the control's own, on top of the one it was built with.
void highlight(QWidget* widget, bool on) {
    const char* plainSheet = "plainStyleSheet";
    if (!widget->property(plainSheet).isValid())
        widget->setProperty(plainSheet, widget->styleSheet());
    QString sheet = widget->property(plainSheet).toString();
    if (on) {
        const char* kind = qobject_cast<QComboBox*>(widget) ? "QComboBox" : "QAbstractScrollArea";
        sheet += QStringLiteral("\n%1 { background-color: %2; }")
                     .arg(QLatin1String(kind),
                          QApplication::palette(widget).color(QPalette::ToolTipBase).name());
    }
    widget->setStyleSheet(sheet);
}

void highlight(DataGrid* grid, bool on) {
    highlight(grid->view(), on);
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      m_db(Database::openStore(chosenStore(), Database::PageCheck::Beside)),
      m_store(std::make_unique<SqlProjectStore>(*m_db)),
      m_session(std::make_unique<ProjectSession>(*m_store, static_cast<SessionQuestions&>(*this))),
      QV(*m_db, QStringLiteral("QV")),
      Q_v2(*m_db, QStringLiteral("Q_v2")),
      Q_tovar(*m_db, QStringLiteral("Q_tovar")),
      Q_FTovar(*m_db, QStringLiteral("Q_FTovar")),
      Q_tovar2(*m_db, QStringLiteral("Q_tovar2")),
      Q_foto(*m_db, QStringLiteral("Q_foto")),
      Q_buy(*m_db, QStringLiteral("Q_buy")),
      Q_all(*m_db, QStringLiteral("Q_all")) {
    try {
        requireProgramTables(*m_db, chosenStore());
    } catch (...) {
        m_db->awaitPageCheck();  // a damaged file is told as such first
        throw;
    }
    buildLayout();
    // A store named for this window (an office's server, another file) is told in the title.
    if (storeNamed())
        setWindowTitle(QStringLiteral("Улмар — %1").arg(m_db->shownName()));
    combovid->setFields(QStringLiteral("Ключ"), QStringLiteral("Название"));
    combovid3->setFields(QStringLiteral("Ключ"), QStringLiteral("Название"));
    combovid2->setFields(QStringLiteral("Ключ"), QStringLiteral("Название"));
    DBGridEh1->setQuery(&Q_tovar);
    DBGridEh3->setQuery(&Q_FTovar);
    DBGridEh4->setQuery(&Q_tovar2);
    DBGridEh2->setQuery(&Q_buy);
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    // The query objects go before the controls that show them: no handler runs from here on
    // (the controls losing the focus would repaint over rows that are gone).
    m_destroying = true;
}

void TForm1::createDialogs() {
    Editkol = new TEditkol(*m_store, this);
    Proekt = new TProekt(*m_store, this);
    proektedit = new Tproektedit(*m_store, this);
    proekti = new Tproekti(*m_store, this, proektedit);
}

void TForm1::connectHandlers() {
    // Every handler runs behind the guard: a failure shows its text and the window goes on.
    auto on = [this](void (TForm1::*handler)()) {
        return [this, handler] {
            if (!m_destroying)
                guarded(this, [&] { (this->*handler)(); });
        };
    };
    connect(combovid, &LookupCombo::chosen, this, on(&TForm1::combovidClick));
    connect(combovid, &LookupCombo::focusEntered, this, on(&TForm1::combovidEnter));
    connect(combovid, &LookupCombo::focusLeft, this, on(&TForm1::combovidExit));
    connect(combovid3, &LookupCombo::chosen, this, on(&TForm1::combovid3Click));
    connect(combovid3, &LookupCombo::focusEntered, this, on(&TForm1::combovid3Enter));
    connect(combovid3, &LookupCombo::focusLeft, this, on(&TForm1::combovid3Exit));
    connect(combovid2, &LookupCombo::chosen, this, on(&TForm1::combovid2Click));
    connect(combovid2, &LookupCombo::focusEntered, this, on(&TForm1::combovid2Enter));
    connect(combovid2, &LookupCombo::focusLeft, this, on(&TForm1::combovid2Exit));

    connect(RadioButton1, &QRadioButton::clicked, this, on(&TForm1::RadioButton1Click));
    connect(RadioButton2, &QRadioButton::clicked, this, on(&TForm1::RadioButton2Click));
    connect(RadioButton3, &QRadioButton::clicked, this, on(&TForm1::RadioButton3Click));
    connect(RadioButton4, &QRadioButton::clicked, this, on(&TForm1::RadioButton4Click));
    connect(RadioButton5, &QRadioButton::clicked, this, on(&TForm1::RadioButton5Click));
    connect(RadioButton8, &QRadioButton::clicked, this, on(&TForm1::RadioButton8Click));
    connect(RadioButton9, &QRadioButton::clicked, this, on(&TForm1::RadioButton9Click));
    connect(RadioButton10, &QRadioButton::clicked, this, on(&TForm1::RadioButton10Click));
    for (QRadioButton* b : {RadioButton8, RadioButton9, RadioButton10})
        new FocusWatcher(b, on(&TForm1::DBGridEh4Enter), on(&TForm1::DBGridEh4Exit));
    connect(RBclick, &QRadioButton::clicked, this, on(&TForm1::RBclickClick));
    connect(RBbutton, &QRadioButton::clicked, this, on(&TForm1::RBbuttonClick));

    connect(DBGridEh1, &DataGrid::currentRowChanged, this, on(&TForm1::DBGridEh1ChangeNode));
    connect(DBGridEh1, &DataGrid::doubleClicked, this, on(&TForm1::DBGridEh1DblClick));
    // Enter on a catalogue row adds it as a double click does: the keyboard's road to an add.
    connect(DBGridEh1, &DataGrid::returnPressed, this, on(&TForm1::DBGridEh1DblClick));
    connect(DBGridEh1, &DataGrid::focusEntered, this, on(&TForm1::DBGridEh1Enter));
    connect(DBGridEh1, &DataGrid::focusLeft, this, on(&TForm1::DBGridEh1Exit));
    connect(DBGridEh3, &DataGrid::cellClicked, this, on(&TForm1::DBGridEh3CellClick));
    connect(DBGridEh3, &DataGrid::keyReleased, this, on(&TForm1::DBGridEh3KeyUp));
    connect(DBGridEh3, &DataGrid::doubleClicked, this, on(&TForm1::DBGridEh3DblClick));
    connect(DBGridEh3, &DataGrid::returnPressed, this, on(&TForm1::DBGridEh3DblClick));
    connect(DBGridEh3, &DataGrid::focusEntered, this, on(&TForm1::DBGridEh3Enter));
    connect(DBGridEh3, &DataGrid::focusLeft, this, on(&TForm1::DBGridEh3Exit));
    connect(DBGridEh4, &DataGrid::cellClicked, this, on(&TForm1::DBGridEh4CellClick));
    connect(DBGridEh4, &DataGrid::keyReleased, this, on(&TForm1::DBGridEh4KeyUp));
    connect(DBGridEh4, &DataGrid::doubleClicked, this, on(&TForm1::DBGridEh4DblClick));
    connect(DBGridEh4, &DataGrid::returnPressed, this, on(&TForm1::DBGridEh4DblClick));
    connect(DBGridEh4, &DataGrid::focusEntered, this, on(&TForm1::DBGridEh4Enter));
    connect(DBGridEh4, &DataGrid::focusLeft, this, on(&TForm1::DBGridEh4Exit));
    connect(DBGridEh2, &DataGrid::cellClicked, this, on(&TForm1::DBGridEh2CellClick));
    connect(DBGridEh2, &DataGrid::keyReleased, this, on(&TForm1::DBGridEh2KeyUp));
    connect(DBGridEh2, &DataGrid::doubleClicked, this, on(&TForm1::BitBtn4Click));
    connect(DBGridEh2, &DataGrid::returnPressed, this, on(&TForm1::BitBtn4Click));
    connect(DBGridEh2, &DataGrid::deletePressed, this, on(&TForm1::DBGridEh2DeleteKey));
    connect(DBGridEh2, &DataGrid::focusEntered, this, on(&TForm1::DBGridEh2Enter));
    connect(DBGridEh2, &DataGrid::focusLeft, this, on(&TForm1::DBGridEh2Exit));
    connect(repriceItem, &QAction::triggered, this, on(&TForm1::repriceItemClick));
    QAction* properties = specMenu->addAction(QStringLiteral("Свойства проекта…"));
    properties->setObjectName(QStringLiteral("propertiesItem"));
    connect(properties, &QAction::triggered, this, [this] {
        if (!m_destroying)
            guarded(this, [this] { editProjectProperties(this, *m_store, m_session->project()); });
    });
    connect(dlinaus, &NumberEdit::focusLeft, this, on(&TForm1::dlinausExit));

    connect(BitBtn9, &QPushButton::clicked, this, on(&TForm1::BitBtn9Click));
    connect(findedit, &QLineEdit::returnPressed, this, on(&TForm1::BitBtn9Click));
    connect(BitBtn6, &QPushButton::clicked, this, on(&TForm1::BitBtn6Click));
    connect(BitBtn3, &QPushButton::clicked, this, on(&TForm1::BitBtn3Click));
    connect(BitBtn4, &QPushButton::clicked, this, on(&TForm1::BitBtn4Click));
    connect(BitBtn1, &QPushButton::clicked, this, on(&TForm1::BitBtn1Click));
    connect(BitBtn2, &QPushButton::clicked, this, on(&TForm1::BitBtn2Click));
    connect(BitBtn7, &QPushButton::clicked, this, on(&TForm1::BitBtn7Click));
    connect(BitBtn8, &QPushButton::clicked, this, on(&TForm1::BitBtn8Click));
    connect(BitBtn5, &QPushButton::clicked, this, on(&TForm1::BitBtn5Click));
    connect(BitBtn10, &QPushButton::clicked, this, on(&TForm1::BitBtn10Click));
    connect(updateCatalogueItem, &QAction::triggered, this, on(&TForm1::updateCatalogueClick));
    connect(restoreCatalogueItem, &QAction::triggered, this, on(&TForm1::restoreCatalogueClick));
    connect(requoteItem, &QAction::triggered, this, on(&TForm1::requoteClick));
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this,
            on(&TForm1::BitBtn10Click));
}

void TForm1::start() {
    m_shown = true;
    setUpFromStore();
    // Stores made before the search index, or whose products another program changed, get it
    // here, once the window knows the store is its own.
    searchIndex::buildWhenMissing(*m_db);
    show();
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        guarded(this, [this] { setUpFromStore(); });
    }
}

void TForm1::setUpFromStore() {
    // The lists and the specification are read while the store's pages are checked beside
    // them. Damage is told before anything is shown or written, and rather than whatever it
    // made fail here meanwhile.
    try {
        FormShow();
    } catch (...) {
        m_db->awaitPageCheck();
        throw;
    }
    m_db->awaitPageCheck();
    // A store of an earlier version gains the project properties' table; a read-only one
    // still opens.
    bringPropertiesForward(*m_db);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The question on leaving a changed project offers no way to stay; only an answer the store
    // can not carry out keeps the window open, so the changes are neither lost nor kept unasked.
    bool closes = false;
    guarded(this, [&] { closes = FormClose(); });
    if (closes)
        event->accept();
    else
        event->ignore();
}

void TForm1::FormCreate() {
    m_browser.setSearching(false);
}

void TForm1::reloadTypeLists() {
    QV.close();
    QV.setSql(trayTypeListSql());
    QV.open();
    Q_v2.close();
    Q_v2.setSql(accessoryTypeListSql());
    Q_v2.open();
    combovid->reload(&QV);
    combovid3->reload(&QV);
    combovid2->reload(&Q_v2);
}

void TForm1::FormShow() {
    m_browser.start();
    reloadTypeLists();
    // Keys outside the lists: no type is shown as chosen.
    combovid2->setKeyValue(1);
    combovid->setKeyValue(-1);
    combovid3->setKeyValue(-1);
    reloadSpec();
}

void TForm1::DBGridEh1Enter() {
    highlight(DBGridEh1, true);
    highlight(combovid, true);
    m_browser.setAddSource(TreeSource);
}

void TForm1::DBGridEh1Exit() {
    highlight(DBGridEh1, false);
    highlight(combovid, false);
}

void TForm1::DBGridEh3Enter() {
    highlight(DBGridEh3, true);
    highlight(combovid3, true);
    m_browser.setAddSource(BranchSource);
}

void TForm1::DBGridEh3Exit() {
    highlight(DBGridEh3, false);
    highlight(combovid3, false);
}

void TForm1::DBGridEh4Enter() {
    highlight(DBGridEh4, true);
    highlight(combovid2, true);
    m_browser.setAddSource(AccessorySource);
}

void TForm1::DBGridEh4Exit() {
    highlight(DBGridEh4, false);
    highlight(combovid2, false);
}

void TForm1::combovidEnter() {
    highlight(combovid, true);
}
void TForm1::combovidExit() {
    highlight(combovid, false);
}
void TForm1::combovid3Enter() {
    highlight(combovid3, true);
}
void TForm1::combovid3Exit() {
    highlight(combovid3, false);
}

void TForm1::combovid2Enter() {
    highlight(DBGridEh4, true);
    highlight(combovid2, true);
}

void TForm1::combovid2Exit() {
    highlight(DBGridEh4, false);
    highlight(combovid2, false);
}

void TForm1::DBGridEh2Enter() {
    highlight(DBGridEh2, true);
}
void TForm1::DBGridEh2Exit() {
    highlight(DBGridEh2, false);
}

void TForm1::RBclickClick() {
    BitBtn6->setEnabled(false);
}
void TForm1::RBbuttonClick() {
    BitBtn6->setEnabled(true);
}
