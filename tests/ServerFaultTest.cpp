// Faults of the server under a project session and under the window: a server stopped, a
// connection cut in the middle of a command, a statement or a lock that takes too long, a full
// disk. The command fails with a sentence that says which, the server rolls its transaction
// back, what was shown stays, and once the fault is gone the same command works on the same
// session or window.
#include "projects/ProjectSession.h"
#include "projects/SqlProjectStore.h"
#include "specification/gui/TEditkol.h"
#include "store/Database.h"
#include "store/PgDatabase.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "ui/DataGrid.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <QGroupBox>
#include <QProcess>
#include <QUrl>

namespace {

// A tray and a working specification of one line.
const QStringList kStore = {
    "insert into EXPORT_PODVID values (1, 'Лотки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Ширина, Высота, Длина, ЕИ, "
    "ТМЦ, t2k, p2) values (101, 'Лоток 100x50', '100.1', 64, 1, 100, 50, 3000, 'м.п.', 11, "
    "5101, 120.5)",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1)",
};

// A cluster of the test's own (the shared one serves other tests meanwhile), stopped and
// started again under the test.
class OwnCluster {
public:
    OwnCluster() {
        run("start");
        address = QString::fromUtf8(readFile(m_dir.filePath("address"))).trimmed();
    }
    ~OwnCluster() { run("stop"); }
    void pause() { run("pause"); }
    void resume() { run("resume"); }

    QString address;  // empty without the server's programs

private:
    void run(const char* command) {
        EXPECT_EQ(QProcess::execute(ULMAR_CLUSTER_SCRIPT, {command, m_dir.path()}), 0) << command;
    }
    QTemporaryDir m_dir;
};

// The store's lines as text, read on a connection of its own.
QString lines(const QString& address) {
    auto db = Database::connect(address);
    Query q(*db, "lines");
    q.open("select Ключ, kol, kolm from buy order by Ключ");
    QStringList rows;
    for (int r = 0; r < q.recordCount(); ++r)
        rows << q.value(r, 0).toText() + ":" + q.value(r, 1).toText() + ":" +
                    q.value(r, 2).toText();
    return rows.join(' ');
}

// The server, the store on it, and a second connection that brings faults on.
struct Server {
    OwnCluster cluster;
    std::unique_ptr<ServerStore> store;
    std::unique_ptr<Database> other;

    explicit Server(const TempStore& file) {
        if (cluster.address.isEmpty())
            return;
        store = std::make_unique<ServerStore>(file.path(), cluster.address);
        other = Database::connect(store->address());
    }
};

// A fault: what the failed command's message says (nothing: the command works), the libpq
// options of the program's connection, how the fault comes and goes.
struct Fault {
    const char* name;
    const char* told;
    const char* options;
    std::function<void(Server&, Database& program)> make;
    std::function<void(Server&, Database& program)> clear;
};

void nothing(Server&, Database&) {}

// The server cuts the program's own connection at the first statement inside the command's
// transaction.
void cutMidCommand(Server& server, Database& program) {
    const int pid = PQbackendPID(static_cast<PgDatabase&>(program).handle());
    program.setStatementHook([&server, &program, pid, cut = false](const QString&) mutable {
        if (cut || !program.inTransaction())
            return;
        cut = true;
        server.other->execute(QStringLiteral("select pg_terminate_backend(%1, 10000)").arg(pid));
    });
}

const Fault kFaults[] = {
    {"server stopped", "недоступен: он остановлен", "",
     [](Server& s, Database&) { s.cluster.pause(); },
     [](Server& s, Database&) { s.cluster.resume(); }},
    {"server restarted between two commands", nullptr, "",
     [](Server& s, Database&) {
         s.cluster.pause();
         s.cluster.resume();
     },
     nothing},
    {"connection cut in the middle of a command", "Связь с сервером базы данных прервалась", "",
     cutMidCommand, [](Server&, Database& program) { program.setStatementHook({}); }},
    {"statement timeout", "не выполнил запрос за отведённое время", "-c statement_timeout=300",
     [](Server& s, Database&) {
         s.other->execute(
             "create function slow() returns trigger language plpgsql as $$ begin "
             "perform pg_sleep(5); return new; end $$");
         s.other->execute(
             "create trigger slow before update on buy for each row execute "
             "function slow()");
     },
     [](Server& s, Database&) { s.other->execute("drop trigger slow on buy"); }},
    {"lock timeout", "заняты другим пользователем", "-c lock_timeout=300",
     [](Server& s, Database&) {
         s.other->execute("begin");
         s.other->execute("lock table buy in access exclusive mode");
     },
     [](Server& s, Database&) { s.other->execute("rollback"); }},
    {"disk full", "На диске сервера базы данных нет места", "",
     [](Server& s, Database&) {
         s.other->execute(
             "create function full_disk() returns trigger language plpgsql as $$ begin "
             "raise exception 'could not extend file' using errcode = 'disk_full'; end $$");
         s.other->execute(
             "create trigger full_disk before update on buy for each row execute "
             "function full_disk()");
     },
     [](Server& s, Database&) { s.other->execute("drop trigger full_disk on buy"); }},
};

QString withOptions(const QString& address, const char* options) {
    return *options ? address + "&options=" + QUrl::toPercentEncoding(options) : address;
}

// The store on a cluster of the test's own; skips without the server's programs.
class ServerFaults : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.store)
            GTEST_SKIP() << "no PostgreSQL 15 server programs";
    }
    TempStore file{kStore};
    Server server{file};
};

class Answers : public SessionQuestions {
public:
    bool confirm(const QString&) override { return true; }
    void tell(const QString&) override {}
    QString newProjectName() override { return {}; }
};

}  // namespace

TEST_F(ServerFaults, TheSessionsCommandFailsWithASentenceAndWorksOnceTheFaultIsGone) {
    int kol = 12;
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        auto db = Database::connect(withOptions(server.store->address(), fault.options));
        SqlProjectStore projects(*db);
        Answers answers;
        ProjectSession session(projects, answers);
        session.view();
        const QString before = lines(server.store->address());

        fault.make(server, *db);
        if (fault.told) {
            try {
                session.setQuantities(1, Fixed4::fromInt(kol), Fixed4::fromInt(kol));
                ADD_FAILURE() << "the command went through";
            } catch (const StoreError& e) {
                EXPECT_TRUE(e.message().contains(QString::fromUtf8(fault.told)))
                    << e.message().toStdString();
            }
            EXPECT_FALSE(session.modified());
            fault.clear(server, *db);
            EXPECT_EQ(lines(server.store->address()), before) << "the server rolled it back";
        }
        const SpecChange change =
            session.setQuantities(1, Fixed4::fromInt(kol), Fixed4::fromInt(kol));
        EXPECT_EQ(lines(server.store->address()), QStringLiteral("1:%1:%1").arg(kol));
        EXPECT_EQ(change.rows.recordCount(), 2) << "the line and its group";
        kol += 3;  // whole stock lengths of 3 m
    }
}

TEST_F(ServerFaults, AConnectionKeepsItsLimitsToTheServersTimeOrThoseItsAddressGives) {
    const struct {
        const char* options;
        const char* statementTimeout;
        const char* lockTimeout;
    } cases[] = {
        {"", "30s", "10s"},
        {"-c statement_timeout=5min", "5min", "10s"},
        {"-c lock_timeout=0", "30s", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        auto db = Database::connect(withOptions(server.store->address(), c.options));
        Query q(*db, "limits");
        q.open("select current_setting('statement_timeout'), current_setting('lock_timeout')");
        EXPECT_EQ(q.value(0, 0).toText(), c.statementTimeout);
        EXPECT_EQ(q.value(0, 1).toText(), c.lockTimeout);
    }
}

namespace {

// Edits the quantity of the working specification's line in the window, as the user does.
void editLine(TForm1& form, DialogScript& script, int kol) {
    form.Q_buy.setRecNo(2);  // the line under its group's row
    form.DBGridEh2->syncToQuery();
    script.on("Editkol", [kol](QDialog* d) {
        d->findChild<NumberEdit*>(QStringLiteral("koltovm"))->setFixedValue(Fixed4::fromInt(kol));
        static_cast<TEditkol*>(d)->BitBtn3Click();
        if (d->isVisible())
            d->close();
    });
    click(&form, "BitBtn4");
}

// What the window shows of the specification.
QString shownRows(TForm1& form) {
    QStringList rows;
    const Query& q = form.Q_buy;
    for (int r = 0; r < q.recordCount(); ++r)
        rows << q.value(r, q.columnIndex(u"Ключ")).toText() + ":" +
                    q.value(r, q.columnIndex(u"kol")).toText();
    return form.GroupBox4->title() + " " + rows.join(' ');
}

}  // namespace

TEST_F(ServerFaults, TheWindowTellsTheFaultKeepsWhatItShowedAndWorksOnceItIsGone) {
    int kol = 12;
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.name);
        writeFile(file.dir() + "/ulmar.store",
                  withOptions(server.store->address(), fault.options).toUtf8());
        auto form = openMainWindow();
        ASSERT_EQ(form->Q_buy.recordCount(), 2) << "a group row and the line";
        const QString shown = shownRows(*form);
        const QString before = lines(server.store->address());
        MessageBox::clearShown();
        DialogScript script;

        fault.make(server, form->ADOConn());
        if (fault.told) {
            editLine(*form, script, kol);
            EXPECT_TRUE(MessageBox::shown().join('|').contains(QString::fromUtf8(fault.told)))
                << MessageBox::shown().join('|').toStdString();
            EXPECT_EQ(shownRows(*form), shown) << "the window keeps what it showed";
            fault.clear(server, form->ADOConn());
            EXPECT_EQ(lines(server.store->address()), before) << "the server rolled it back";
            MessageBox::clearShown();
        }
        editLine(*form, script, kol);
        EXPECT_TRUE(MessageBox::shown().isEmpty()) << MessageBox::shown().join('|').toStdString();
        EXPECT_EQ(lines(server.store->address()), QStringLiteral("1:%1:%1").arg(kol));
        EXPECT_NE(shownRows(*form), shown) << "the window shows the edit";
        kol += 3;  // whole stock lengths of 3 m
    }
}
