#pragma once

#include "app/TForm1.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

class DataGrid;
class QDialog;
class QWidget;

// Failures show texts as text.
void PrintTo(const QString& text, std::ostream* os);

// The folder of the test data: an Access catalogue and the manifest of what it holds.
QString fixturesDir();

// A file's bytes, empty when it can not be read.
QByteArray readFile(const QString& path);
// Writes the bytes as the whole file.
void writeFile(const QString& path, const QByteArray& bytes);

// A text as an SQL literal, for fixtures whose texts hold quotes of their own.
QString sqlQuoted(const char* text);

// One catalogue item with every coating's columns: k<N> = cover + N (null without a cover),
// t<N>k = code + N, p<N> = price + 10 N.
QString catalogueItem(int key, const char* name, const char* article, int type, int subtype,
                      int width, int height, int length, const char* unit, int baseCode, int cover,
                      int code, int price);

// A tray (101) with its cover (102) in coating 2, a branch element (103) and an accessory (104).
const QStringList& fourProducts();

// Creates the store file at path with the program's schema and indexes, then runs statements.
void createStore(const QString& path, const QStringList& statements = {});

// One run of ulmar-tool: how it ended and what it wrote.
struct ToolRun {
    bool crashed = false;
    int exitCode = -1;  // -1 when it crashed
    QString out;
    QString err;
};
// Runs ulmar-tool with these arguments in the current folder and waits for its end;
// environment: further "NAME=value" settings for the run.
ToolRun runTool(const QStringList& args, const QStringList& environment = {});
// The run's exit and output, for a failed expectation.
std::string describe(const ToolRun& run);

class ServerStore;

// A fresh store with the program's schema in a temporary folder, which becomes the current
// folder while the object lives (the program opens its store from there). On the server
// engine (see testEngine) the file is copied onto a fresh database of the test server and the
// folder's ulmar.store names it, so the window and the tool started there work on the server.
class TempStore {
public:
    explicit TempStore(const QStringList& statements = {});
    ~TempStore();
    QString dir() const { return m_dir.path(); }
    // The file the store was made as; on the server engine only the seed of the server's copy.
    QString path() const { return m_dir.filePath(QStringLiteral("base.mdb")); }
    // The store on a connection of its own (not the window's).
    std::unique_ptr<Database> open() const;
    // Runs statements on a connection of its own.
    void run(const QStringList& statements) const;
    // The first field of the first row, as text ("" when there is no row). The statement is
    // SQLite's: a server store is read through a file copy of it, so a test's reading
    // statements and the texts of their figures are the same on both engines.
    QString scalar(const QString& sql) const;
    // A trigger that refuses the event ("before insert on buy") with the message, where the
    // condition holds ("new.TMC = 201"; always when empty), in the engine's own language.
    void addRefusal(const QString& event, const QString& message,
                    const QString& condition = {}) const;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<ServerStore> m_server;
};

// Stands a session on a project, changed or not, without running a command: the state a
// window is in after steps a test does not need to repeat.
struct SessionAccess {
    static int& project(ProjectSession& s) { return s.m_project; }
    static bool& modified(ProjectSession& s) { return s.m_modified; }
};

// Reads the main window's state and calls its handlers in tests.
struct TForm1Access {
    static int curPokr(TForm1& f) { return f.browser().coating(); }
    static int treeRecNo(TForm1& f) { return f.browser().treeRow(); }
    static int accRecNo(TForm1& f) { return f.browser().accessoryRow(); }
    static int krepMode(TForm1& f) { return f.browser().mounting(); }
    static int manualBranch(TForm1& f) { return f.browser().manualBranch() ? 1 : 0; }
    static int addSource(TForm1& f) { return f.browser().addSource(); }
    static int searchMode(TForm1& f) { return f.browser().searching() ? 1 : 0; }
    static int& curProject(TForm1& f) { return SessionAccess::project(f.session()); }
    static bool& modified(TForm1& f) { return SessionAccess::modified(f.session()); }
    static void FormShow(TForm1& f) { f.FormShow(); }
    static void LoadTypeProducts(TForm1& f) { f.LoadTypeProducts(); }
    static void RunSearch(TForm1& f) { f.RunSearch(); }
    static void reloadSpec(TForm1& f) { f.reloadSpec(); }
    static void addPosition(TForm1& f, int source) { f.addPosition(source); }
    static void takeSnapshot(TForm1& f) { f.session().takeSnapshot(); }
    static void dropSnapshot(TForm1& f) { f.session().dropSnapshot(); }
    static void restoreSnapshot(TForm1& f) { f.showSpec(f.session().restoreSnapshot()); }
    static bool FormClose(TForm1& f) { return f.FormClose(); }
    static void openProject(TForm1& f, int project) { f.showSpec(f.session().open(project)); }
    static void repriceItemClick(TForm1& f) { f.repriceItemClick(); }
    static void showSpec(TForm1& f, const std::optional<SpecChange>& c) { f.showSpec(c); }
};

// A main window on the current folder's base.mdb, with its dialogs, shown offscreen.
std::unique_ptr<TForm1> openMainWindow();

// The rows shown follow a change to a few lines as the window's grid follows it, without a
// model; false when the change does not fit them.
bool followChange(Query& shown, const SpecChange& change);
// The specification grid as the user sees it: every cell of a row, a group's rows indented
// under it, a closed group marked.
QStringList gridText(const DataGrid& grid);
// The same grid over a full read of the open project, as a reload builds it.
QStringList fullReadGridText(TForm1& form);

// Works the dialogs that the program shows modally: every showing of a dialog takes the next
// step queued under its objectName. A dialog without a step is closed with its close box.
class DialogScript {
public:
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    void on(const QString& dialog, std::function<void(QDialog*)> step);
    QStringList shown;  // objectNames, in the order the dialogs were shown

private:
    int run(QDialog* dialog);
    std::map<QString, std::deque<std::function<void(QDialog*)>>> m_steps;
};

// Clicks a button (push or radio) of a window or dialog by its objectName.
void click(QWidget* window, const char* button);
// Types into the dialog's field namepro key by key, as a person does.
void type(QWidget* dialog, const QString& text);
// Clicks the project list's row of that project, as the user picks it.
void pick(QDialog* list, const QString& name);
// Clicks the grid's row of that row number (from 1) as the user does.
void clickRow(DataGrid* grid, int recNo);
// Double-clicks it, after the click that makes it current, as a person's double click arrives.
void doubleClickRow(DataGrid* grid, int recNo);

// The engines the store-level tests run on: the SQLite file and a PostgreSQL server.
enum class Engine { File, Server };
std::string engineName(const testing::TestParamInfo<Engine>& info);
// The engine of every TempStore of this run: the server when ULMAR_TEST_ENGINE is "server"
// (CTest runs the session- and window-level suites so a second time), otherwise the file.
Engine testEngine();

// The address of the test cluster's maintenance database (started by tests/pg/cluster.sh as a
// CTest fixture); empty when there is none.
QString testServerAddress();

// A fresh database on the test cluster (or the cluster of that maintenance address) prepared as
// server-init does and filled with a copy of a store file; dropped at the end.
class ServerStore {
public:
    explicit ServerStore(const QString& sourceFile,
                         const QString& maintenance = testServerAddress());
    ~ServerStore();
    ServerStore(const ServerStore&) = delete;
    ServerStore& operator=(const ServerStore&) = delete;
    const QString& address() const { return m_address; }

private:
    QString m_maintenance;
    QString m_name;
    QString m_address;
};

// A store of the statements on the engine: the TempStore's file itself, or a server copy of it
// kept in server. Skips the test when the server's programs are missing.
std::unique_ptr<Database> openOn(Engine engine, const TempStore& file,
                                 std::unique_ptr<ServerStore>& server);
#define SKIP_WITHOUT_SERVER(engine)                                                                         \
    if ((engine) == Engine::Server && testServerAddress().isEmpty())                                        \
    GTEST_SKIP() << "Нет тестового сервера PostgreSQL: его запускает ctest " \
                    "(tests/pg/cluster.sh), и только когда есть /usr/lib/postgresql/"       \
                    "15/bin; вариант теста на сервере пропущен"
