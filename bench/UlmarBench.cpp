// Measures the window's real actions end to end on a large catalogue and a large project:
// the handlers run through the same signals a user's clicks send, with the offscreen platform.
#include "app/TForm1.h"
#include "catalogue/CoatingRows.h"
#include "export/GostForm.h"
#include "export/gui/GostLayout.h"
#include "projects/WorkingSpecification.h"
#include "projects/gui/TProekt.h"
#include "projects/gui/Tproekti.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/PgDatabase.h"
#include "store/PgDialect.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/ServerSchema.h"
#include "store/SqliteDatabase.h"
#include "store/StoreCopy.h"
#include "store/StoreError.h"
#include "tools/DemoCatalogue.h"
#include "ui/DataGrid.h"
#include "ui/FileDialog.h"
#include "ui/LookupCombo.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <libpq-fe.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <valgrind/callgrind.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

QTextStream out(stdout);

struct Figures {
    double median = 0;
    double p95 = 0;
    double instructions = 0;  // per run, in millions; 0 when not run under callgrind
};

// Under callgrind (bench/run --callgrind) only the timed actions are counted: each action's
// runs are dumped on their own and the dump's total read back.
QString callgrindBase() {
    return qEnvironmentVariable("ULMAR_BENCH_CALLGRIND");
}

double dumpedInstructions() {
    static int dumps = 0;
    QFile dump(QStringLiteral("%1.%2").arg(callgrindBase()).arg(++dumps));
    if (!dump.open(QIODevice::ReadOnly))
        return 0;
    while (!dump.atEnd()) {
        const QByteArray line = dump.readLine();
        if (line.startsWith("totals:") || line.startsWith("summary:"))
            return line.mid(line.indexOf(':') + 1).trimmed().toDouble() / 1e6;
    }
    return 0;
}

Figures figuresOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    Figures f;
    f.median = ms[ms.size() / 2];
    f.p95 = ms[std::min(ms.size() - 1, std::size_t(double(ms.size()) * 0.95))];
    return f;
}

// Runs action reps times after one warm-up run; prepare runs untimed before each run.
Figures measure(int reps, const std::function<void()>& action,
                const std::function<void()>& prepare = {}) {
    std::vector<double> ms;
    const bool counting = !callgrindBase().isEmpty();
    for (int i = 0; i <= reps; ++i) {
        if (prepare)
            prepare();
        if (counting && i == 1)
            CALLGRIND_ZERO_STATS;  // the warm-up run is not counted
        QElapsedTimer timer;
        timer.start();
        if (counting)
            CALLGRIND_TOGGLE_COLLECT;
        action();
        QApplication::processEvents();  // the repaint belongs to the action
        if (counting)
            CALLGRIND_TOGGLE_COLLECT;
        if (i > 0)
            ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    Figures f = figuresOf(ms);
    if (counting) {
        CALLGRIND_DUMP_STATS;
        f.instructions = dumpedInstructions() / reps;
    }
    return f;
}

// The same statement straight on the engine, stepping through every row and column.
Figures bareEngine(Database& store, const QStringList& statements, int reps) {
    if (store.engine() == Database::Engine::Postgres) {
        PGconn* conn = static_cast<PgDatabase&>(store).handle();
        return measure(reps, [&] {
            for (const QString& sql : statements) {
                PGresult* result = PQexec(conn, pgStatementText(sql).toUtf8().constData());
                const int rows = PQntuples(result);
                const int columns = PQnfields(result);
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < columns; ++c)
                        PQgetvalue(result, r, c);
                PQclear(result);
            }
        });
    }
    sqlite3* db = static_cast<SqliteDatabase&>(store).handle();
    return measure(reps, [&] {
        for (const QString& sql : statements) {
            sqlite3_stmt* stmt = nullptr;
            const QByteArray utf8 = sql.toUtf8();
            sqlite3_prepare_v2(db, utf8.constData(), -1, &stmt, nullptr);
            const int columns = sqlite3_column_count(stmt);
            while (sqlite3_step(stmt) == SQLITE_ROW)
                for (int c = 0; c < columns; ++c)
                    if (sqlite3_column_type(stmt, c) == SQLITE_TEXT)
                        sqlite3_column_text(stmt, c);
                    else
                        sqlite3_column_double(stmt, c);
            sqlite3_finalize(stmt);
        }
    });
}

// One action's figures, kept for the comparison of the two engines at the end.
struct Measured {
    QString action;
    Figures figures;
    double target;
    std::optional<Figures> engine;
};
std::vector<Measured> measured;

void report(const QString& action, const Figures& f, double target, const Figures* bare = nullptr) {
    measured.push_back({action, f, target, bare ? std::optional<Figures>(*bare) : std::nullopt});
    out << QStringLiteral("%1 %2 %3 %4")
               .arg(action, -58)
               .arg(f.median, 9, 'f', 1)
               .arg(f.p95, 9, 'f', 1)
               .arg(target, 8, 'f', 0);
    if (bare)
        out << QStringLiteral(" %1 %2")
                   .arg(bare->median, 9, 'f', 1)
                   .arg(f.median / bare->median, 6, 'f', 2);
    else if (f.instructions > 0)
        out << QString(16, QLatin1Char(' '));
    if (f.instructions > 0) {
        out << QStringLiteral(" %1").arg(f.instructions, 9, 'f', 1);
        if (bare)
            out << QStringLiteral(" %1").arg(bare->instructions, 9, 'f', 1);
    }
    out << Qt::endl;
}

// The window's start as main() runs it, until it is shown; form keeps the last run's window.
Figures measureStartUp(int reps, std::unique_ptr<TForm1>& form) {
    return measure(
        reps,
        [&] {
            form = std::make_unique<TForm1>();
            form->createDialogs();
            form->start();
        },
        [&] { form.reset(); });
}

int scalarInt(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("bench"));
    q.setSql(sql);
    q.open();
    return q.recordCount() ? int(q.value(0, 0).toInt()) : 0;
}

// Puts `lines` lines, spread over the subtypes, into the project stored under key.
void addLines(Database& db, int key, int lines) {
    db.execute(QStringLiteral("insert into buy (project,TMC,Pokr,TMC2,price,kol,kolm,izm,vid) "
                              "select %1, Ключ, 2, t2k, p2, 3, 2.5, ЕИ, -Подвид from EXPORT_TMC "
                              "where p2 > 0 order by (Ключ * 7919) % 100003 limit %2")
                   .arg(key)
                   .arg(lines));
}

// A working specification and a named project of `lines` lines each.
void addProjects(Database& db, int lines) {
    addLines(db, 0, lines);
    db.execute(QStringLiteral("insert into project (Название) values ('Корпус А')"));
    const QString key = QString::number(db.lastInsertKey());
    db.execute(QStringLiteral("insert into buy (project,TMC,Pokr,TMC2,price,kol,kolm,izm,vid) "
                              "select %1, TMC,Pokr,TMC2,price,kol,kolm,izm,vid from buy "
                              "where project = 0")
                   .arg(key));
}

QWidget* child(QObject* parent, const char* name) {
    return parent->findChild<QWidget*>(QString::fromLatin1(name));
}

// Every action on the store at location (a file, or a server's database holding a copy of
// it), as the window runs it; the figures are printed and kept in `measured`.
void runActions(const QString& location, int largestType, int lines, int reps) {
    const bool server = Database::isServerAddress(location);
    const bool counting = !callgrindBase().isEmpty();
    qputenv("ULMAR_STORE", location.toUtf8());  // the window's choice of store
    auto db = Database::openStore(location);
    // The working specification's lines as the store keeps them: under a login's key on a server.
    const int working = storedProjectKey(*db, 0);
    out << QStringLiteral("%1 %2 %3 %4 %5 %6")
               .arg(server ? QStringLiteral("on the server (ms)") : QStringLiteral("action (ms)"),
                    -58)
               .arg(QStringLiteral("median"), 9)
               .arg(QStringLiteral("p95"), 9)
               .arg(QStringLiteral("target"), 8)
               .arg(QStringLiteral("engine"), 9)
               .arg(QStringLiteral("ratio"), 6);
    if (counting)  // millions of instructions a run, the action's and its statements'
        out << QStringLiteral(" %1 %2")
                   .arg(QStringLiteral("M instr"), 9)
                   .arg(QStringLiteral("engine"), 9);
    out << Qt::endl;

    // Part of the start-up: the store's pages are checked when it is opened.
    const Figures pageCheck = measure(reps, [&] { Database::openStore(location); });
    report(server ? QStringLiteral("connect to the store")
                  : QStringLiteral("open the store with its page check"),
           pageCheck, 300);

    std::unique_ptr<TForm1> form;
    report(QStringLiteral("start-up until the window is shown"), measureStartUp(reps, form), 300);
    TForm1& f = *form;

    const int typeIndex = f.combovid->findData(largestType);
    const Figures chooseType = measure(reps, [&] {
        f.combovid->setCurrentIndex(typeIndex);  // as the user's pick does before reporting it
        emit f.combovid->activated(typeIndex);
    });
    const Figures chooseBare = bareEngine(
        *db,
        CoatingRows::typeTreeStatements(largestType) + QStringList{f.Q_all.sql(), f.Q_FTovar.sql()},
        reps);
    report(QStringLiteral("choose the largest type"), chooseType, 30, &chooseBare);

    bool zinc = true;
    const Figures coating = measure(reps, [&] {
        zinc = !zinc;
        (zinc ? f.RadioButton1 : f.RadioButton3)->click();
    });
    report(QStringLiteral("coating change"), coating, 50);
    f.RadioButton1->click();

    int row = 0;
    const int treeRows = std::max(1, f.Q_tovar.recordCount());
    const Figures treeMove = measure(reps, [&] {
        row = (row + 97) % treeRows;
        f.DBGridEh1->view()->setCurrentIndex(f.DBGridEh1->model()->indexOfRecNo(row + 1));
    });
    report(QStringLiteral("tree row change with its photo"), treeMove, 10);

    // A tray with a cover and a price stands current for the add.
    const auto standOnTray = [&] {
        for (int r = 1; r <= f.Q_tovar.recordCount(); ++r) {
            f.Q_tovar.setRecNo(r);
            if (f.Q_tovar.field(u"kk").toInt() > 0 && f.Q_tovar.field(u"pp").toFixed() > Fixed4() &&
                f.Q_tovar.field(u"Длина").toFixed() > Fixed4()) {
                f.DBGridEh1->view()->setCurrentIndex(f.DBGridEh1->model()->indexOfRecNo(r));
                return;
            }
        }
    };
    standOnTray();
    const Figures add = measure(reps, [&] { emit f.DBGridEh1->doubleClicked(); });
    report(QStringLiteral("add a tray with its cover, refresh included"), add, 40);

    const Figures reload = measure(reps, [&] { f.BitBtn3->click(); });
    const Figures reloadBare = bareEngine(
        *db, {specCaptionSql(working), specLinesSql(working), specGroupOrderSql(working)}, reps);
    report(QStringLiteral("reloadSpec"), reload, 40, &reloadBare);

    const QString exportPath = QDir::current().filePath(QStringLiteral("export.xml"));
    const Figures exporting = measure(reps, [&] {
        FileDialog::setNextFileName(exportPath);
        f.BitBtn5->click();
    });
    report(QStringLiteral("export the working specification"), exporting, 50);

    // Form 1 of a project of 1 000 lines (its first lines), read and laid out into a PDF.
    db->execute(
        QStringLiteral("insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
                       "select 999, TMC, Pokr, TMC2, price, kol, kolm, izm, vid from buy where "
                       "project = %1 order by Ключ limit 1000")
            .arg(working));
    const Figures gostPdf =
        measure(reps, [&] { gostFormPdf(loadGostDocument(f.Q_all, 999), GostPaper::A3); });
    report(QStringLiteral("form 1 (ГОСТ 21.110) PDF of %1 lines").arg(std::min(lines, 1000)),
           gostPdf, 1000);
    db->execute(QStringLiteral("delete from buy where project = 999"));

    const QString searched = QStringLiteral("ЛОТОК");
    static_cast<QLineEdit*>(child(&f, "findedit"))->setText(searched);
    const Figures search = measure(reps, [&] { f.BitBtn9->click(); });
    const bool indexed = searchIndex::ready(*db);  // as the window searches
    const Figures searchBare =
        bareEngine(*db, SearchRows::statements(searched, true, indexed), reps);
    report(QStringLiteral("search for a common fragment in other letter case"), search, 80,
           &searchBare);

    // First save: the name dialog is answered, and the lines go back to the working
    // specification before the next run.
    int saved = 0;
    const Figures firstSave = measure(
        reps,
        [&] {
            setModalHandler([&](QDialog* dialog) {
                static_cast<QLineEdit*>(child(dialog, "namepro"))
                    ->setText(QStringLiteral("Замер %1").arg(++saved));
                static_cast<QPushButton*>(child(dialog, "BitBtn3"))->click();
                return dialog->result();
            });
            f.BitBtn8->click();
        },
        [&] {
            const int open = f.session().project();
            if (open != 0)
                db->execute(QStringLiteral("update buy set project = %1 where project = %2")
                                .arg(working)
                                .arg(open));
            f.showSpec(f.session().open(0));
        });
    report(QStringLiteral("first save of the working specification"), firstSave, 50);

    // Leaving a changed project with "Нет", as the user gets there: the named project is open,
    // a tray is added to it, "Проекты" asks the question, the list is shown and cancelled.
    const int named = scalarInt(*db, QStringLiteral("select min(Ключ) from project"));
    f.showSpec(f.session().open(named));
    standOnTray();
    const Figures restore = measure(
        reps,
        [&] {
            MessageBox::setNextAnswer(false);
            setModalHandler([&](QDialog* dialog) {
                dialog->show();
                QApplication::processEvents();
                static_cast<QPushButton*>(child(dialog, "BitBtn4"))->click();
                return dialog->result();
            });
            f.BitBtn7->click();
        },
        [&] { emit f.DBGridEh1->doubleClicked(); });
    report(QStringLiteral("leave a changed project with \"Нет\" (snapshot restore)"), restore, 50);
    setModalHandler({});
}

// Start-up with a working specification of 50 000 lines (as many as the catalogue gives) in
// place of the working lines of the store at location, which are put aside meanwhile. Run last:
// the peak memory it reaches is not the other actions'.
void largeStartUp(const QString& location, int reps) {
    qputenv("ULMAR_STORE", location.toUtf8());
    auto db = Database::openStore(location);
    const int working = storedProjectKey(*db, 0);
    const int aside = 997;
    db->execute(
        QStringLiteral("update buy set project = %1 where project = %2").arg(aside).arg(working));
    addLines(*db, working, 50000);
    const int lines =
        scalarInt(*db, QStringLiteral("select count(*) from buy where project = %1").arg(working));
    std::unique_ptr<TForm1> form;
    const Figures startUp = measureStartUp(reps, form);
    form.reset();
    report(QStringLiteral("start-up with a working specification of %1 lines").arg(lines), startUp,
           300);
    db->execute(QStringLiteral("delete from buy where project = %1").arg(working));
    db->execute(
        QStringLiteral("update buy set project = %1 where project = %2").arg(working).arg(aside));
}

// A fresh database on the server at maintenance (a libpq address of its maintenance
// database), prepared as server-init does and filled with a copy of the store file; returns
// its address.
QString serverCopy(const QString& maintenance, const QString& file) {
    const QString name = QStringLiteral("ulmar_bench");
    {
        auto admin = Database::connect(maintenance);
        if (scalarInt(
                *admin,
                QStringLiteral("select count(*) from pg_database where datname = '%1'").arg(name)) >
            0)
            admin->execute(QStringLiteral("drop database %1 with (force)").arg(name));
        admin->execute(QStringLiteral("create database %1 template template0 encoding 'UTF8' "
                                      "locale 'C.UTF-8'")
                           .arg(name));
    }
    QString address = maintenance;
    address.replace(QStringLiteral("/postgres?"), QStringLiteral("/%1?").arg(name));
    auto db = Database::connect(address);
    schema::initServerStore(*db);
    auto source = Database::open(file);
    // The working specification goes to the login the benchmark runs as, as copy-store gives it.
    copyStore(*source, *db, {0, storedProjectKey(*db, 0)});
    return address;
}

// The highest resident memory of the process since it started or since forgetPeakMemory().
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

// Generating the store is no action of the window: its memory is given back and the peak is
// counted again from here.
void forgetPeakMemory() {
    malloc_trim(0);
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setSilent(true);
    const QStringList args = app.arguments();
    const bool quick = args.contains(QStringLiteral("--quick"));
    const bool counting = !callgrindBase().isEmpty();
    int reps = quick || counting ? 3 : 15;
    if (const int at = int(args.indexOf(QStringLiteral("--reps"))); at > 0 && at + 1 < args.size())
        reps = args[at + 1].toInt();

    // --products N and --lines N size the store; the default is about 100 000 products and
    // 5 000 lines a project, --quick the demo catalogue with 200.
    auto number = [&](const char* name, int fallback) {
        const int at = int(args.indexOf(QLatin1String(name)));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int wanted = number("--products", quick ? 0 : 100000);
    const int lines = number("--lines", quick ? 200 : 5000);
    DemoOptions options;  // the demo catalogue for a smoke run
    if (wanted > 0) {
        // At 100 000: 1 820 trays a type with 4 branch elements each, 130 accessory series,
        // 40 subtypes, 1 000 photos of 640 x 480; other sizes scale the trays and accessories.
        const double scale = double(wanted) / 100000;
        options.traysPerType = std::max(1, int(1820 * scale + 0.5));
        options.branchKindsPerTray = 4;
        options.subtypeCount = 40;
        options.accessorySeries = std::max(1, int(130 * scale + 0.5));
        options.photoCount = 1000;
        options.photoWidth = 640;
        options.photoHeight = 480;
    }
    // --dir DIR keeps the generated store there and reuses it on the next run (for profiling).
    // By default it is made in the system's temporary folder and removed at the end, never in
    // the source tree.
    QTemporaryDir temporary;
    QString folder = temporary.path();
    if (const int at = int(args.indexOf(QStringLiteral("--dir"))); at > 0 && at + 1 < args.size())
        folder = QDir(args[at + 1]).absolutePath();
    QDir().mkpath(folder);
    const QDir dir(folder);
    QElapsedTimer build;
    build.start();
    if (!QFile::exists(dir.filePath(QStringLiteral("base.mdb")))) {
        QFile(dir.filePath(QStringLiteral("base.mdb"))).open(QIODevice::WriteOnly);
        auto db = Database::open(dir.filePath(QStringLiteral("base.mdb")));
        buildDemoStore(*db, options);
        addProjects(*db, lines);
        db.reset();
        forgetPeakMemory();
    }
    QDir::setCurrent(dir.path());
    const QString file = dir.filePath(QStringLiteral("base.mdb"));
    int largestType = 0;
    {
        auto db = Database::open(file);
        const int products = scalarInt(*db, QStringLiteral("select count(*) from EXPORT_TMC"));
        largestType = scalarInt(
            *db, QStringLiteral("select Вид from EXPORT_TMC where Вид in (%1) group by Вид "
                                "order by count(*) desc limit 1")
                     .arg(schema::trayTypes));
        const int largestCount = scalarInt(
            *db, QStringLiteral("select count(*) from EXPORT_TMC where Вид = %1").arg(largestType));
        out << QStringLiteral(
                   "Catalogue: %1 products, largest type %2 with %3, %4 lines a project; "
                   "built in %5 s\n")
                   .arg(products)
                   .arg(largestType)
                   .arg(largestCount)
                   .arg(lines)
                   .arg(double(build.elapsed()) / 1000, 0, 'f', 1);
    }
    // --server ADDRESS (a libpq address of a server's maintenance database, as bench/run's
    // throwaway cluster gives) runs every action again on a copy of the store there.
    const int at = int(args.indexOf(QStringLiteral("--server")));
    const QString maintenance = at > 0 && at + 1 < args.size() ? args[at + 1] : QString();
    // The server gets the store as the file's run found it, copied after that run so that the
    // copy is not part of the file's peak memory.
    const QString source = dir.filePath(QStringLiteral("server-source.mdb"));
    QFile::remove(source);
    if (!maintenance.isEmpty() && !QFile::copy(file, source)) {
        out << QStringLiteral("The store could not be copied to %1\n").arg(source);
        return 1;
    }
    runActions(file, largestType, lines, reps);
    out << QStringLiteral("peak memory: %1 MB (target 200)\n").arg(peakMegabytes(), 0, 'f', 1);
    const std::vector<Measured> onFile = std::move(measured);
    measured.clear();
    if (!maintenance.isEmpty()) {
        QElapsedTimer copying;
        copying.start();
        QString server;
        try {
            server = serverCopy(maintenance, source);
        } catch (const StoreError& e) {
            out << QStringLiteral("The server's copy failed: %1\n").arg(e.message());
            return 1;
        }
        QFile::remove(source);
        out << QStringLiteral("\nCopied to the server in %1 s\n")
                   .arg(double(copying.elapsed()) / 1000, 0, 'f', 1);
        runActions(server, largestType, lines, reps);
        out << QStringLiteral("peak memory with the server's copy and run: %1 MB\n")
                   .arg(peakMegabytes(), 0, 'f', 1);
        // Each action's medians side by side; the engine figures are its statements alone.
        out << QStringLiteral("\n%1 %2 %3 %4 %5 %6\n")
                   .arg(QStringLiteral("medians (ms)"), -58)
                   .arg(QStringLiteral("file"), 9)
                   .arg(QStringLiteral("server"), 9)
                   .arg(QStringLiteral("ratio"), 6)
                   .arg(QStringLiteral("f.engine"), 9)
                   .arg(QStringLiteral("s.engine"), 9);
        for (std::size_t i = 0; i < onFile.size() && i < measured.size(); ++i) {
            const Measured& a = onFile[i];
            const Measured& b = measured[i];
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(a.action, -58)
                       .arg(a.figures.median, 9, 'f', 1)
                       .arg(b.figures.median, 9, 'f', 1)
                       .arg(b.figures.median / a.figures.median, 6, 'f', 2);
            if (a.engine && b.engine)
                out << QStringLiteral(" %1 %2")
                           .arg(a.engine->median, 9, 'f', 1)
                           .arg(b.engine->median, 9, 'f', 1);
            out << Qt::endl;
        }
    }
    if (lines < 50000) {
        out << Qt::endl;
        largeStartUp(file, reps);
        out << QStringLiteral("peak memory with it: %1 MB\n").arg(peakMegabytes(), 0, 'f', 1);
    }
    const QStringList shown = MessageBox::shown();
    for (const QString& text : shown)
        out << QStringLiteral("message shown: %1\n").arg(text);
    return 0;
}
