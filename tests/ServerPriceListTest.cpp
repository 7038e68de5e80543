// A new price list on a server's store: the same report and the same catalogue as on the file,
// one transaction while a designer adds lines on another connection.
#include "catalogue/CatalogueArchive.h"
#include "catalogue/PriceListUpdate.h"
#include "catalogue/ServerList.h"
#include "projects/ProjectSession.h"
#include "projects/SqlProjectStore.h"
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/PgDialect.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <QThread>
#include <functional>
#include <future>
#include <optional>
#include <thread>

namespace {

// Two projects and the working specification; 101 is a tray whose zinc cover is 102.
const QStringList kOld = {
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Длина, ЕИ, k2, t2k, t3k, p2, "
    "p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 3000, 'м.п.', 5102, 5101, 6101, 120.5, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 3000, 'м.п.', null, 5102, 6102, 40, 44), "
    "(103, 'Лоток 200x50', '100.2', 64, 1, 3000, 'м.п.', null, 5103, 6103, 200, 210)",
    "insert into EXPORT_FOTO values (1, x'FFD8FFD9')",
    "insert into Export_INFOTO values (5101, 1, 0)",
    "insert into EXPORT_KREP values (101, 1)",
    "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(2, 1, 103, 3, 6103, 210, 3, 3, 'м.п.', -1), "
    "(3, 2, 102, 3, 6102, 44, 3, 3, 'м.п.', -2)",
};

// 101 dearer, its cover 102 dearer in both coatings, 103 withdrawn, 104 new, a column of the
// maker's own.
const QStringList kNew = {
    "alter table EXPORT_TMC add column Вес numeric",
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64'), (65, 'Короба', '100.65')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки'), (3, 'Короба')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, Длина, ЕИ, k2, t2k, t3k, p2, "
    "p3, Вес) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 3000, 'м.п.', 5102, 5101, 6101, 125.75, 130, 1.5), "
    "(102, 'Крышка 100', '200.1', 64, 2, 3000, 'м.п.', null, 5102, 6102, 42.1, 46.2, 0.5), "
    "(104, 'Лоток 300x50', '100.4', 64, 1, 3000, 'м.п.', null, 5104, 6104, 300, 320, 2)",
    "insert into EXPORT_FOTO values (1, x'FFD8FFD9'), (2, x'FFD8FFD9')",
    "insert into Export_INFOTO values (5101, 1, 0), (5104, 2, 0)",
    // Rows enough to go onto the server in several statements.
    "insert into Export_INFOTO with recursive n(code) as (select 9001 union all select code + 1 "
    "from n where code < 10200) select code, 2, 0 from n",
    "insert into EXPORT_KREP values (101, 1), (104, 2)",
};

// Every row of the statement, its values as the program reads them, one row a line.
QString rowsOf(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("rows"));
    q.open(sql);
    QString text;
    for (int row = 0; row < q.recordCount(); ++row) {
        for (int column = 0; column < q.columnCount(); ++column)
            text += q.value(row, column).toText() + QLatin1Char('|');
        text += QLatin1Char('\n');
    }
    return text;
}

QString catalogueOf(Database& db) {
    QString text;
    for (const QString& table : catalogueArchive::catalogueTables())
        text += table + QLatin1Char('\n') +
                rowsOf(db, QStringLiteral("select * from %1 order by 1, 2").arg(table));
    return text;
}

// Lines of the working specification under key 0, whichever key the store keeps them under.
QString projectsOf(Database& db) {
    const int working = storedProjectKey(db, 0);
    return rowsOf(db, QStringLiteral("select * from project order by Ключ")) +
           rowsOf(db, QStringLiteral("select Ключ, case when project = %1 then 0 else project "
                                     "end, TMC, Pokr, TMC2, price, kol, kolm, izm, vid from buy "
                                     "order by Ключ")
                          .arg(working));
}

// A tool's output with the store's name, which differs between the engines, taken out.
QString withoutStore(const ToolRun& run, const QString& store) {
    return QString(run.out).replace(store, QStringLiteral("БАЗА"));
}

class ServerPriceList : public ::testing::Test {
protected:
    void SetUp() override {
        if (testServerAddress().isEmpty())
            return;
        file.emplace(kOld);
        server.emplace(file->path());
        createStore(list(), kNew);
        db = Database::connect(server->address());
        before = catalogueOf(*db);
    }
    QString list() const { return file->dir() + QStringLiteral("/new.mdb"); }
    ToolRun onServer(const QStringList& args) const {
        return runTool(args + QStringList{"--store", server->address()});
    }

    std::optional<TempStore> file;
    std::optional<ServerStore> server;
    std::unique_ptr<Database> db;
    QString before;
};

TEST_F(ServerPriceList, ReportsAndReplacesAsOnTheFileAndUndoes) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    for (const QStringList& options : {QStringList{"--dry-run"}, QStringList{}}) {
        const ToolRun fileRun =
            runTool(QStringList{"update-catalogue", list(), file->dir()} + options);
        const ToolRun serverRun = onServer(QStringList{"update-catalogue", list()} + options);
        ASSERT_EQ(fileRun.exitCode, 0) << describe(fileRun);
        ASSERT_EQ(serverRun.exitCode, 0) << describe(serverRun);
        EXPECT_EQ(withoutStore(serverRun, server->address()), withoutStore(fileRun, file->path()));
        EXPECT_EQ(serverRun.err, "");
    }
    auto fileDb = Database::open(file->path());
    const QString updated = catalogueOf(*db);
    EXPECT_NE(updated, before);
    EXPECT_EQ(updated, catalogueOf(*fileDb));
    EXPECT_TRUE(
        updated.contains("101|Лоток 100x50|100.1|64|1|||3000|м.п.|||5102|||||5101|6101||||"
                         "125.75|130|||1.5|\n"))
        << updated.toStdString();
    EXPECT_EQ(projectsOf(*db), projectsOf(*fileDb));
    EXPECT_EQ(rowsOf(*db, "select id, source from catalogue_kept"), "1||\n");

    const ToolRun undo = onServer({"update-catalogue", "--undo"});
    ASSERT_EQ(undo.exitCode, 0) << describe(undo);
    EXPECT_EQ(catalogueOf(*db), before);
    EXPECT_EQ(rowsOf(*db, "select count(*) from catalogue_kept"), "0|\n");
    EXPECT_EQ(rowsOf(*db, "select count(*) from pg_indexes where tablename = 'export_tmc'"),
              "8|\n");
    const ToolRun none = onServer({"update-catalogue", "--undo"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("нет прежнего каталога")) << describe(none);
}

// Each case spoils the list; the server's store is refused as the file is and stays as it was.
TEST_F(ServerPriceList, RefusesAWrongListAndChangesNothing) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    const struct {
        const char* spoil;
        const char* said;
    } cases[] = {
        {"drop table EXPORT_KREP", "нет таблиц каталога: EXPORT_KREP."},
        {"alter table EXPORT_TMC drop column p4", "нет столбцов: EXPORT_TMC.p4."},
        {"update EXPORT_TMC set p3 = 0", "нет ни одной цены в покрытии «Полимер»"},
        // Loaded into the server's types: a text is no number.
        {"update EXPORT_TMC set t2k = 'нет' where Ключ = 104", "не выполнила запрос"},
    };
    for (const auto& c : cases) {
        createStore(list(), kNew + QStringList{c.spoil});
        const ToolRun run = onServer({"update-catalogue", list()});
        EXPECT_EQ(run.exitCode, 1) << c.spoil;
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.said))) << describe(run);
        EXPECT_EQ(catalogueOf(*db), before) << c.spoil;
    }
}

// The update on a connection of its own, as ulmar-tool runs it; hook sees each statement.
void update(const QString& address, const QString& list,
            const std::function<void(const QString&)>& hook) {
    auto db = Database::connect(address);
    db->setStatementHook(hook);
    PriceListUpdate update(*db, list, list);
    Database::Transaction transaction(*db);
    update.apply({QStringLiteral("new.mdb"), catalogueArchive::now()});
    transaction.commit();
}

// A statement of the update fails, each in turn: the catalogue, the kept lists and the
// projects stay as they were, until the update runs through.
TEST_F(ServerPriceList, AFailureAnywhereLeavesTheStoreAsItWas) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    const QString projects = projectsOf(*db);
    int failAt = 0;
    bool done = false;
    while (!done) {
        ++failAt;
        int seen = 0;
        try {
            update(server->address(), list(), [&](const QString&) {
                if (++seen == failAt)
                    throw StoreError(QStringLiteral("Сбой посреди обновления."));
            });
            done = true;
        } catch (const StoreError& e) {
            ASSERT_EQ(e.message(), "Сбой посреди обновления.") << failAt;
            ASSERT_EQ(catalogueOf(*db), before) << "statement " << failAt;
            // Not even the tables of kept lists, which the first update makes.
            ASSERT_EQ(rowsOf(*db,
                             "select count(*) from information_schema.tables where "
                             "table_name like 'catalogue_kept%'"),
                      "0|\n");
        }
    }
    EXPECT_GT(failAt, 40);  // every statement up to the commit was failed once
    EXPECT_NE(catalogueOf(*db), before);
    EXPECT_EQ(projectsOf(*db), projects);
}

class Answers : public SessionQuestions {
public:
    bool confirm(const QString&) override { return true; }
    void tell(const QString&) override {}
    QString newProjectName() override { return QStringLiteral("Новый"); }
};

// A designer adds the tray 101 in zinc with its cover while the update waits inside its
// transaction: the add waits for it, and its cover is priced by one list, the one in place when
// the update has ended, committed or failed.
TEST_F(ServerPriceList, ALineAddedMeanwhileIsPricedByOneListWhole) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    const struct {
        bool commits;
        const char* coverPrice;
    } cases[] = {{true, "42.1"}, {false, "40"}};
    auto designer = Database::connect(server->address());
    SqlProjectStore store(*designer);
    Answers answers;
    ProjectSession session(store, answers);
    auto watcher = Database::connect(server->address());
    const int working = storedProjectKey(*designer, 0);
    for (const auto& c : cases) {
        designer->execute(QStringLiteral("delete from buy where project = %1").arg(working));
        std::promise<void> inside;
        std::thread updating([&] {
            try {
                update(server->address(), list(), [&](const QString& sql) {
                    // The statistics are the last step before the commit.
                    if (!sql.startsWith(QLatin1String("analyze")))
                        return;
                    inside.set_value();
                    // Holds on until the designer's add waits for the catalogue.
                    for (int tries = 0; tries < 2000; ++tries) {
                        if (rowsOf(*watcher,
                                   "select count(*) from pg_stat_activity where "
                                   "wait_event_type = 'Lock' and datname = current_database()") !=
                            "0|\n")
                            break;
                        QThread::msleep(10);
                    }
                    if (!c.commits)
                        throw StoreError(QStringLiteral("Сбой в конце обновления."));
                });
            } catch (const StoreError&) {
            }
        });
        inside.get_future().wait();
        SourceRow tray;
        tray.product = 101;
        tray.price = Fixed4::fromDouble(120.5);  // as the window's grid showed it
        tray.itemCode = 5101;
        tray.parentId = -1;
        tray.unit = QStringLiteral("м.п.");
        tray.stockLength = Fixed4::fromInt(3000);
        tray.coverCode = 5102;
        Addition addition;
        addition.source = TreeSource;
        addition.row = tray;
        addition.coating = 2;
        addition.length = Fixed4::fromInt(6);
        addition.withCover = true;
        session.add(addition);
        updating.join();
        EXPECT_EQ(rowsOf(*designer, QStringLiteral("select TMC, price from buy where project = %1 "
                                                   "order by TMC")
                                        .arg(working)),
                  QStringLiteral("101|120.5|\n102|%1|\n").arg(c.coverPrice));
        EXPECT_EQ(catalogueOf(*designer) == before, !c.commits);
        if (c.commits) {
            const ToolRun undo =
                runTool({"update-catalogue", "--undo", "--store", server->address()});
            ASSERT_EQ(undo.exitCode, 0) << describe(undo);
        }
    }
}

TEST(ServerPriceListDialect, TheFilesNullSafeInequalityIsTheServersIsDistinctFrom) {
    const struct {
        const char* file;
        const char* server;
    } cases[] = {
        {"where n.p1 is not o.p1 or x is not null",
         "where n.p1 is distinct from o.p1 or x is not null"},
        {"a IS NOT TRUE and b is  not false and c is not distinct from d",
         "a IS NOT TRUE and b is  not false and c is not distinct from d"},
        {"'is not x' \"is not\"", "'is not x' \"is not\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pgStatementText(QString::fromUtf8(c.file)), QString::fromUtf8(c.server))
            << c.file;
}

TEST(ServerPriceListTypes, AMakersOwnColumnTakesTheServerTypeOfItsAffinity) {
    const struct {
        const char* declared;
        const char* server;
    } cases[] = {
        {"INTEGER", "bigint"},   {"varchar(40)", "text"},        {"", "text"},
        {"blob", "bytea"},       {"DOUBLE", "double precision"}, {"numeric", "numeric"},
        {"currency", "numeric"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serverList::serverType(QString::fromUtf8(c.declared)),
                  QString::fromUtf8(c.server))
            << c.declared;
}

}  // namespace
