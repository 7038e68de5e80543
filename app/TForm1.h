#pragma once

#include "catalogue/CatalogueBrowser.h"
#include "projects/ProjectSession.h"
#include "store/Database.h"
#include "store/Query.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class DataGrid;
class LookupCombo;
class NumberEdit;
class PhotoBox;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
struct RepriceTotals;
class TEditkol;
class TProekt;
class Tproekti;
class Tproektedit;

// The main window: the catalogue browser, the specification of the open project and the
// project commands. It lays out the controls, forwards each handler to the project session or
// the catalogue browser, shows what they return and answers their questions with dialogs.
class TForm1 : public QMainWindow, private SessionQuestions {
    Q_OBJECT
public:
    // Opens base.mdb in the current folder; throws StoreError when it can not or when the file
    // lacks the program's tables.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Created once, hidden, and reused.
    void createDialogs();
    // Fills the lists and the specification, then shows the window; throws StoreError, with the
    // window never shown, when they can not be read or the store's pages are damaged.
    void start();

    Database& ADOConn() { return *m_db; }
    // The open project and its commands; what the catalogue grids show.
    ProjectSession& session() { return *m_session; }
    ProjectStore& store() { return *m_store; }
    CatalogueBrowser& browser() { return m_browser; }

    // --- controls, named as in the window layout ---
    // Top band.
    QLabel* Image1;
    QLabel* Label1;
    // Catalogue column.
    QGroupBox* GroupBox8;
    LookupCombo* combovid;
    QLabel* Panel2;
    DataGrid* DBGridEh1;
    QLabel* Label4;
    QLineEdit* findedit;
    QPushButton* BitBtn9;
    QGroupBox* GroupBox2;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QRadioButton* RadioButton5;
    QGroupBox* GroupBox3;
    QRadioButton* RadioButton6;
    QRadioButton* RadioButton7;
    QLineEdit* namekr;
    QLabel* Label2;
    NumberEdit* dlinaus;
    QLabel* Label3;
    NumberEdit* kolshtuk;
    QGroupBox* GroupBox9;
    QRadioButton* RBclick;
    QRadioButton* RBbutton;
    // Branch-element column.
    QGroupBox* GroupBox7;
    LookupCombo* combovid3;
    QLabel* Panel8;
    DataGrid* DBGridEh3;
    // Accessory column.
    QGroupBox* GroupBox5;
    LookupCombo* combovid2;
    QGroupBox* GroupBox6;
    QRadioButton* RadioButton8;
    QRadioButton* RadioButton9;
    QRadioButton* RadioButton10;
    DataGrid* DBGridEh4;
    // Bottom band.
    QGroupBox* GroupBox4;
    DataGrid* DBGridEh2;
    QMenu* specMenu;  // the grid's context menu
    QAction* repriceItem;
    QPushButton* BitBtn6;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn7;
    QPushButton* BitBtn8;
    QPushButton* BitBtn5;
    QPushButton* BitBtn10;  // "Печать", also Ctrl+P
    QPushButton* BitBtn11;  // "Каталог": new price list, the previous one back, projects' prices
    QAction* updateCatalogueItem;
    QAction* restoreCatalogueItem;
    QAction* requoteItem;
    QPlainTextEdit* nametovarm;
    QGroupBox* GroupBox1;
    PhotoBox* imgG;
    QSplitter* Splitter1;  // catalogue | branch elements
    QSplitter* Splitter2;  // branch elements | accessories
    QSplitter* Splitter3;  // columns / bottom band
    QSplitter* Splitter4;  // specification | picture panel

    // --- the dialogs ---
    TEditkol* Editkol = nullptr;
    TProekt* Proekt = nullptr;
    Tproekti* proekti = nullptr;
    Tproektedit* proektedit = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();

public:
    // --- the handlers, each a few lines: they forward to the session or the browser and show
    // what comes back. Tests and the benchmark call them as the controls do. ---

    // --- window: app/TForm1.cpp ---
    void FormCreate();
    void FormShow();
    void DBGridEh1Enter();
    void DBGridEh1Exit();
    void DBGridEh3Enter();
    void DBGridEh3Exit();
    void DBGridEh4Enter();
    void DBGridEh4Exit();
    void combovidEnter();
    void combovidExit();
    void combovid3Enter();
    void combovid3Exit();
    void combovid2Enter();
    void combovid2Exit();
    void DBGridEh2Enter();
    void DBGridEh2Exit();
    void RBclickClick();
    void RBbuttonClick();

    // --- catalogue: app/Catalogue*.cpp ---
    void combovidClick();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void LoadTypeProducts();
    void BitBtn9Click();
    void RunSearch();
    void DBGridEh1ChangeNode();
    void dlinausExit();
    void DBGridEh3CellClick();
    void DBGridEh3KeyUp();
    void DBGridEh4CellClick();
    void DBGridEh4KeyUp();
    void DBGridEh2CellClick();
    void DBGridEh2KeyUp();
    void ShowCoverName();
    void ShowPieceCount();
    void LoadPhoto(const QString& sql);
    void FillBranchAuto();
    void FillBranchManual(int typeKey);
    void combovid3Click();
    void FillAccessories();
    void combovid2Click();
    void RadioButton8Click();
    void RadioButton9Click();
    void RadioButton10Click();
    void chooseCoating(int code);
    void chooseMounting(int code);
    // Name and photo of the current row of the branch, accessory or specification grid.
    void ShowItemDetails(DataGrid* grid);
    // Shows a grid's rows in the current coating and stands on the row it stood on: the rows
    // come back in the same order.
    void refillInCoating(DataGrid* grid, std::optional<CatalogueBrowser::Rows> rows);
    // Shows rows in a grid on its first row: made in memory, or read by a statement.
    void showRows(DataGrid* grid, CatalogueBrowser::Rows rows);
    // Refills the accessory grid for the current coating, on the row it stood on: the chosen
    // type's items, or without a type what the search found.
    void refillAccessoriesInCoating();

    // --- specification: app/SpecificationHandlers.cpp ---
    void reloadSpec();
    // Shows a view the session returned; the rows shown before go with it.
    void showSpec(SpecView view);
    void showSpec(std::optional<SpecView> view);
    // The rows a change to a few lines touched, in place: the others stay as they are shown.
    void showSpec(const SpecChange& change);
    void showSpec(const std::optional<SpecChange>& change);
    void BitBtn3Click();
    // source is an AddSource; any other value adds nothing.
    void addPosition(int source);
    void DBGridEh1DblClick();
    void DBGridEh3DblClick();
    void DBGridEh4DblClick();
    void BitBtn6Click();
    void BitBtn1Click();
    // Delete on a line: asks first, as a key is pressed by mistake more easily than a button.
    void DBGridEh2DeleteKey();
    void BitBtn2Click();
    void BitBtn4Click();
    void repriceItemClick();

    // --- projects: app/ProjectHandlers.cpp ---
    void BitBtn7Click();
    void BitBtn8Click();
    // False when the answer about unsaved changes could not be carried out: the window stays.
    bool FormClose();
    // The session's questions, as message boxes and the name dialog.
    bool confirm(const QString& question) override;
    void tell(const QString& message) override;
    QString newProjectName() override;

    // --- export: app/ExportHandlers.cpp, app/PrintHandlers.cpp ---
    void BitBtn5Click();
    void BitBtn10Click();

    // --- catalogue updates: app/CatalogueHandlers.cpp ---
    void updateCatalogueClick();
    void restoreCatalogueClick();
    void requoteClick();
    // Reprices the open project through the session, as a change to keep or not on leaving it.
    RepriceTotals requoteOpenProject();
    // Reads the type lists, the catalogue grids and the specification again from the store.
    void reloadCatalogue();

private:
    // --- the connection, the project session and the query objects ---
    std::unique_ptr<Database> m_db;
    std::unique_ptr<ProjectStore> m_store;
    std::unique_ptr<ProjectSession> m_session;
    CatalogueBrowser m_browser;
    QString m_lastExportPath;  // the save dialog offers the path chosen last

    // The three type lists, read again from the store.
    void reloadTypeLists();
    // What the window reads and writes before it is shown.
    void setUpFromStore();

public:
    Query QV;        // tray types
    Query Q_v2;      // accessory types
    Query Q_tovar;   // product tree
    Query Q_FTovar;  // branch elements
    Query Q_tovar2;  // accessories
    Query Q_foto;    // photos
    Query Q_buy;     // specification view; the grid holds its rows as the in-memory table
    Query Q_all;     // catalogue lookups: every use closes it, sets a statement, opens

private:
    bool m_shown = false;
    bool m_destroying = false;
};
