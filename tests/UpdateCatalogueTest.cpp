// ulmar-tool update-catalogue and reprice: a new price list replaces the catalogue of a store,
// keeps every project, and says what it changes in them.
#include "catalogue/PriceListUpdate.h"
#include "export/PriceReportSheet.h"
#include "projects/ProjectRequote.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreLock.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

namespace {

void runOn(const QString& path, const QStringList& statements) {
    auto db = Database::open(path);
    for (const QString& sql : statements)
        db->execute(sql);
}

QByteArray hashOf(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

// The store in use: three products, the working specification and two projects, Север with a
// snapshot in arh.
const QStringList kOld = {
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3) values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 'м.п.', 5101, 6101, 120.5, 130), "
    "(102, 'Крышка 100', '200.1', 64, 2, 'м.п.', 5102, 6102, 40, 44), "
    "(103, 'Лоток 200x50', '100.2', 64, 1, 'м.п.', 5103, 6103, 200, 210)",
    "insert into EXPORT_FOTO values (1, x'FFD8FFD9')",
    "insert into Export_INFOTO values (5101, 1, 0)",
    "insert into EXPORT_KREP values (101, 1)",
    "insert into project (Ключ, Название) values (1, 'Север'), (2, 'Юг')",
    "insert into buy (Ключ, project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(1, 0, 101, 2, 5101, 120.5, 9, 7.5, 'м.п.', -1), "
    "(2, 1, 101, 2, 5101, 120.5, 6, 5.5, 'м.п.', -1), "
    "(3, 1, 102, 2, 5102, 40, 6, 5.5, 'м.п.', -2), "
    "(4, 1, 103, 3, 6103, 210, 3, 3, 'м.п.', -1), "
    "(5, 2, 102, 3, 6102, 44, 3, 3, 'м.п.', -2)",
    "insert into arh (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) "
    "select project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid from buy where project = 1",
};

// The new list: 101 dearer in zinc, 102 dearer in polymer, 103 withdrawn, 104 new; other
// subtypes and photos, and a column of the maker's own.
const QStringList kNew = {
    "alter table EXPORT_TMC add column Вес numeric",
    "insert into EXPORT_VIDTMC values (64, 'Лотки', '100.64'), (65, 'Короба', '100.65')",
    "insert into EXPORT_PODVID values (1, 'Лотки'), (2, 'Крышки'), (3, 'Короба')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ, t2k, t3k, p2, p3, Вес) "
    "values "
    "(101, 'Лоток 100x50', '100.1', 64, 1, 'м.п.', 5101, 6101, 125.75, 130, 1.5), "
    "(102, 'Крышка 100', '200.1', 64, 2, 'м.п.', 5102, 6102, 40, 46.2, 0.5), "
    "(104, 'Лоток 300x50', '100.4', 64, 1, 'м.п.', 5104, 6104, 300, 320, 2)",
    "insert into EXPORT_FOTO values (1, x'FFD8FFD9'), (2, x'FFD8FFD9')",
    "insert into Export_INFOTO values (5101, 1, 0), (5104, 2, 0)",
    "insert into EXPORT_KREP values (101, 1), (104, 2)",
};

const char* kReport =
    "Товаров в каталоге: было 3, стало 3; новых 1, снятых 1, с другой ценой 2.\n"
    "\n"
    "Рабочая спецификация\n"
    "  Меняется цена:\n"
    "    100.1-2  цена 120.5 → 125.75  сумма 1084.5 → 1131.75\n"
    "  Итого: 1084.5 → 1131.75\n"
    "\n"
    "Проект «Север» (ключ 1)\n"
    "  Нет в каталоге, цена оставлена прежней:\n"
    "    100.2-3  Лоток 200x50  3 м.п.\n"
    "  Меняется цена:\n"
    "    100.1-2  цена 120.5 → 125.75  сумма 723 → 754.5\n"
    "  Итого: 1593 → 1624.5\n"
    "\n"
    "Проект «Юг» (ключ 2)\n"
    "  Меняется цена:\n"
    "    200.1-3  цена 44 → 46.2  сумма 132 → 138.6\n"
    "  Итого: 132 → 138.6\n";

// Every row of the program's own tables, in one text.
const char* kOwnRows =
    "select (select group_concat(Ключ || ':' || Название, ';') from project) || '|' || "
    "(select group_concat(Ключ || ':' || project || ':' || TMC || ':' || Pokr || ':' || TMC2 "
    "|| ':' || price || ':' || kol || ':' || kolm || ':' || izm || ':' || vid, ';') from buy) "
    "|| '|' || (select group_concat(project || ':' || TMC || ':' || price, ';') from arh)";

class UpdateCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        createStore(store(), kOld);
        createStore(list(), kNew);
        ownRows = scalar(store(), kOwnRows);
        ASSERT_FALSE(ownRows.isEmpty());
        storeHash = hashOf(store());
        listHash = hashOf(list());
    }
    QString store() const { return m_dir.filePath("base.mdb"); }
    QString list() const { return m_dir.filePath("new.mdb"); }
    QString dir() const { return m_dir.path(); }
    static QString scalar(const QString& path, const QString& sql) {
        auto db = Database::open(path);
        Query q(*db, QStringLiteral("check"));
        q.open(sql);
        return q.recordCount() > 0 ? q.value(0, 0).toText() : QString();
    }

    QTemporaryDir m_dir;
    QString ownRows;
    QByteArray storeHash;
    QByteArray listHash;
};

TEST_F(UpdateCatalogue, ReplacesTheCatalogueAndKeepsEveryProjectRowForRow) {
    const ToolRun run = runTool({"update-catalogue", list(), dir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(scalar(store(),
                     "select group_concat(Ключ || ':' || p2 || ':' || p3 || ':' || Вес, "
                     "' ') from (select * from EXPORT_TMC order by Ключ)"),
              "101:125.75:130:1.5 102:40:46.2:0.5 104:300:320:2");
    EXPECT_EQ(scalar(store(), "select group_concat(Ключ, ' ') from EXPORT_PODVID"), "1 2 3");
    EXPECT_EQ(scalar(store(), "select count(*) from EXPORT_FOTO"), "2");
    EXPECT_EQ(scalar(store(), "select count(*) from Export_INFOTO"), "2");
    EXPECT_EQ(scalar(store(), "select count(*) from EXPORT_KREP"), "2");
    EXPECT_EQ(scalar(store(), "select count(*) from EXPORT_VIDTMC"), "2");
    EXPECT_EQ(scalar(store(), kOwnRows), ownRows);
    EXPECT_EQ(scalar(store(),
                     "select count(*) from sqlite_master where type = 'index' and name "
                     "in ('EXPORT_TMC_Вид', 'EXPORT_TMC_t2k', 'Export_INFOTO_ТМЦ', "
                     "'EXPORT_KREP_Способ', 'buy_project')"),
              "5");
    EXPECT_EQ(scalar(store(), "select count(*) from sqlite_stat1 where tbl = 'EXPORT_TMC'"), "7");
    EXPECT_EQ(hashOf(list()), listHash);  // the source is only read
    EXPECT_TRUE(run.out.endsWith(
        QStringLiteral("Таблицы каталога заменены, строк в них:\n"
                       "  EXPORT_VIDTMC: 2\n  EXPORT_TMC: 3\n  EXPORT_PODVID: 3\n"
                       "  EXPORT_FOTO: 2\n  Export_INFOTO: 2\n  EXPORT_KREP: 2\n"
                       "Проекты, их строки и снимки сохранены; прежний каталог хранится в базе "
                       "(вернуть: ulmar-tool update-catalogue --undo). База обновлена: %1\n")
            .arg(store())))
        << run.out.toStdString();
}

TEST_F(UpdateCatalogue, KeepsProjectPropertiesAndGivesAnOldStoreTheirTable) {
    runOn(store(), {"insert into project_properties (project, code) values (1, '1234-ЭМ.С')"});
    ASSERT_EQ(runTool({"update-catalogue", list(), dir()}).exitCode, 0);
    EXPECT_EQ(scalar(store(), "select code from project_properties where project = 1"),
              "1234-ЭМ.С");

    runOn(store(), {"drop table project_properties"});
    const ToolRun run = runTool({"update-catalogue", list(), dir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(scalar(store(), "select count(*) from project_properties"), "0");
    EXPECT_EQ(scalar(store(), kOwnRows), ownRows);
}

TEST_F(UpdateCatalogue, ReportsWhatTheNewListChangesInEveryProject) {
    const ToolRun run = runTool({"update-catalogue", list(), dir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Новый каталог: %1\n").arg(list()) +
                                   QString::fromUtf8(kReport) + "\n"))
        << run.out.toStdString();
}

TEST_F(UpdateCatalogue, DryRunReportsAndChangesNothing) {
    const ToolRun run = runTool({"update-catalogue", list(), dir(), "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Новый каталог: %1\n").arg(list()) +
                           QString::fromUtf8(kReport) +
                           QStringLiteral("\nПробный прогон: база %1 не изменена.\n").arg(store()));
    EXPECT_EQ(hashOf(store()), storeHash);
}

TEST_F(UpdateCatalogue, RepriceGivesAProjectTheCataloguePricesAfterTheUpdate) {
    ASSERT_EQ(runTool({"update-catalogue", list(), dir()}).exitCode, 0);
    // Север's snapshot, with no window holding it, was left by a crash: opening the project
    // would ask about it, and «Нет» would bring the old prices back. Refused, nothing changed.
    const QByteArray updated = hashOf(store());
    const ToolRun leftByCrash = runTool({"reprice", "--project", "1", dir()});
    EXPECT_EQ(leftByCrash.exitCode, 1);
    EXPECT_EQ(leftByCrash.out, "");
    EXPECT_EQ(leftByCrash.err,
              "Проект «Север» (ключ 1) хранит изменения, оставшиеся после аварийного завершения "
              "программы: сначала откройте его в программе Улмар и ответьте на её вопрос, затем "
              "повторите команду. Цены не обновлены.\n");
    EXPECT_EQ(hashOf(store()), updated);

    // Opened in the window and left: no snapshot.
    runOn(store(), {"delete from arh"});
    const ToolRun run = runTool({"reprice", "--project", "1", dir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "Проект «Север» (ключ 1)\n"
              "  Нет в каталоге, цена оставлена прежней:\n"
              "    товар с ключом 103  3 м.п.\n"
              "  Меняется цена:\n"
              "    100.1-2  цена 120.5 → 125.75  сумма 723 → 754.5\n"
              "  Итого: 1593 → 1624.5\n"
              "Цены обновлены в строках: 1.\n");
    EXPECT_EQ(scalar(store(),
                     "select group_concat(price, ' ') from (select price from buy order "
                     "by Ключ)"),
              "120.5 125.75 40 210 44");

    const ToolRun working = runTool({"reprice", dir()});
    ASSERT_EQ(working.exitCode, 0) << working.err.toStdString();
    EXPECT_EQ(scalar(store(), "select price from buy where Ключ = 1"), "125.75");
    EXPECT_TRUE(runTool({"reprice", dir()}).out.endsWith("Цены не изменились.\n"));

    const ToolRun missing = runTool({"reprice", "--project", "7", dir()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, QStringLiteral("В базе %1 нет проекта с ключом 7.\n").arg(store()));
}

// A source that fails on purpose: each case spoils the new list, or points elsewhere.
struct Refusal {
    const char* name;
    std::function<void(const QString& list)> spoil;
    const char* source;  // null for the new list
    const char* folder;  // null for the store's folder
    const char* said;    // part of the message
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

void corruptCatalogueRoot(const QString& list) {
    int root = 0;
    {
        auto db = Database::open(list);
        Query q(*db, QStringLiteral("root"));
        q.open(QStringLiteral("select rootpage from sqlite_master where name = 'EXPORT_TMC'"));
        root = int(q.value(0, 0).toInt());
    }
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(qint64(root - 1) * 4096);
    file.write(QByteArray(16, '\xff'));
}

const Refusal kRefusals[] = {
    {"MissingTable", [](const QString& l) { runOn(l, {"drop table EXPORT_KREP"}); }, nullptr,
     nullptr, "нет таблиц каталога: EXPORT_KREP."},
    {"MissingColumn", [](const QString& l) { runOn(l, {"alter table EXPORT_TMC drop column p4"}); },
     nullptr, nullptr, "нет столбцов: EXPORT_TMC.p4."},
    {"Damaged", corruptCatalogueRoot, nullptr, nullptr, "повреждён"},
    {"NotADatabase", [](const QString& l) { writeFile(l, "Артикул;Цена\n100.1;125.75\n"); },
     nullptr, nullptr, "не база программы и не база Microsoft Access"},
    // Fails halfway through, after three tables were replaced: all of them come back.
    {"PhotoKeysTwice",
     [](const QString& l) {
         runOn(l, {"drop table EXPORT_FOTO", "create table EXPORT_FOTO (Ключ integer, Фото blob)",
                   "insert into EXPORT_FOTO values (1, x'FFD8'), (1, x'FFD9')"});
     },
     nullptr, nullptr, "UNIQUE constraint failed: EXPORT_FOTO.Ключ"},
    {"SourceIsTheStore", nullptr, "base.mdb", nullptr, "это сама база"},
    {"SourceIsAHardLinkToTheStore",
     [](const QString& l) {
         QFile::remove(l);
         ASSERT_EQ(::link(QFile::encodeName(QFileInfo(l).dir().filePath("base.mdb")).constData(),
                          QFile::encodeName(l).constData()),
                   0);
     },
     nullptr, nullptr, "это сама база"},
    {"FolderWithoutStore", nullptr, nullptr, "empty", "нет базы base.mdb"},
};

class UpdateCatalogueRefuses : public UpdateCatalogue,
                               public ::testing::WithParamInterface<Refusal> {};

TEST_P(UpdateCatalogueRefuses, ChangingNothing) {
    const Refusal& r = GetParam();
    if (r.spoil)
        r.spoil(list());
    const QString source = r.source ? m_dir.filePath(r.source) : list();
    QString folder = dir();
    if (r.folder) {
        folder = m_dir.filePath(r.folder);
        ASSERT_TRUE(QDir().mkpath(folder));
    }
    const ToolRun run = runTool({"update-catalogue", source, folder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(r.said))) << run.err.toStdString();
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(hashOf(store()), storeHash);
}

INSTANTIATE_TEST_SUITE_P(Sources, UpdateCatalogueRefuses, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCatalogue, ADryRunOnlyReadsSoItMayRunBesideTheWindow) {
    StoreLock window(store());
    const ToolRun run = runTool({"update-catalogue", list(), dir(), "--dry-run"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.endsWith(QStringLiteral("\nПробный прогон: база %1 не изменена.\n").arg(store())));
    EXPECT_EQ(hashOf(store()), storeHash);
}

// A product whose key now stands for a metre where it stood for a piece, or for another
// article: its price is no price for the line, which keeps its own and is named apart.
TEST_F(UpdateCatalogue, LinesWhoseProductChangedKeepTheirPriceAndAreNamedApart) {
    runOn(list(), {"update EXPORT_TMC set ЕИ = 'шт.' where Ключ = 101",
                   "update EXPORT_TMC set Номер = '900.1', t3k = 9102 where Ключ = 102"});
    const ToolRun run = runTool({"update-catalogue", list(), dir()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.out.contains("Проект «Юг» (ключ 2)\n"
                         "  Товар изменён, цена оставлена прежней:\n"
                         "    Товар изменён: 200.1-3, код 6102 (м.п.) → 900.1-3, код 9102 "
                         "(м.п.)  3 м.п.\n"
                         "  Итого: 132 → 132\n"))
        << run.out.toStdString();
    EXPECT_TRUE(
        run.out.contains("Рабочая спецификация\n"
                         "  Товар изменён, цена оставлена прежней:\n"
                         "    Товар изменён: 100.1-2 (м.п.) → 100.1-2 (шт.)  9 м.п.\n"
                         "  Итого: 1084.5 → 1084.5\n"))
        << run.out.toStdString();

    // Repriced after the update, when the old article is known no more: told by the unit and
    // the item code the line was added with.
    runOn(store(), {"delete from arh"});
    for (const QStringList& args :
         {QStringList{"reprice", dir()}, QStringList{"reprice", "--project", "1", dir()},
          QStringList{"reprice", "--project", "2", dir()}}) {
        const ToolRun reprice = runTool(args);
        EXPECT_EQ(reprice.exitCode, 0) << reprice.err.toStdString();
        EXPECT_TRUE(reprice.out.contains("Товар изменён: ")) << reprice.out.toStdString();
    }
    EXPECT_EQ(scalar(store(),
                     "select group_concat(price, ' ') from (select price from buy order "
                     "by Ключ)"),
              "120.5 120.5 40 210 44");
}

TEST_F(UpdateCatalogue, AStoreOpenInTheWindowIsLeftAlone) {
    StoreLock window(store());
    for (const QStringList& args :
         {QStringList{"update-catalogue", list(), dir()}, QStringList{"reprice", dir()}}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err,
                  QStringLiteral("База %1 открыта в окне программы Улмар: закройте программу и "
                                 "повторите команду.\n")
                      .arg(store()));
    }
    EXPECT_EQ(hashOf(store()), storeHash);
}

TEST_F(UpdateCatalogue, TakesAnAccessListAsImportMdbReadsIt) {
    if (fixturesDir().isEmpty())
        GTEST_SKIP() << "the shared test data (catalogue-jet4.mdb) is not on this machine";
    // Another catalogue than the store's, so none of the projects' products is in it.
    const ToolRun run =
        runTool({"update-catalogue", fixturesDir() + QStringLiteral("/catalogue-jet4.mdb"), dir(),
                 "--force"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(scalar(store(), "select count(*) from EXPORT_TMC"), "32");
    EXPECT_EQ(scalar(store(), "select count(*) from EXPORT_FOTO"), "5");
    // The projects saved in the Access file are not taken: the store's own stay.
    EXPECT_EQ(scalar(store(), kOwnRows), ownRows);

    // A cut-off Access file is refused as import-mdb refuses it.
    const QByteArray whole = readFile(fixturesDir() + QStringLiteral("/catalogue-jet4.mdb"));
    ASSERT_GT(whole.size(), 50000);
    const QString cut = m_dir.filePath("cut.mdb");
    writeFile(cut, whole.left(50000));
    const QByteArray updated = hashOf(store());
    const ToolRun refused = runTool({"update-catalogue", cut, dir()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("обрезан")) << refused.err.toStdString();
    EXPECT_EQ(hashOf(store()), updated);
}

// Every row of the six catalogue tables, values quoted as the engine holds them.
QString catalogueRows(const QString& path) {
    auto db = Database::open(path);
    Query q(*db, QStringLiteral("rows"));
    QString rows;
    for (const char* table : {"EXPORT_VIDTMC", "EXPORT_TMC", "EXPORT_PODVID", "EXPORT_FOTO",
                              "Export_INFOTO", "EXPORT_KREP"}) {
        q.open(QStringLiteral("select sql from sqlite_master where name = '%1'").arg(table));
        rows += q.value(0, 0).toText() + '\n';
        q.close();
        q.open(QStringLiteral("select 'quote(\"' || name || '\")' from pragma_table_info('%1')")
                   .arg(table));
        QStringList quoted;
        for (int row = 0; row < q.recordCount(); ++row)
            quoted << q.value(row, 0).toText();
        q.close();
        q.open(
            QStringLiteral("select %1 from %2 order by 1").arg(quoted.join(" || '|' || "), table));
        for (int row = 0; row < q.recordCount(); ++row)
            rows += q.value(row, 0).toText() + '\n';
        q.close();
    }
    return rows;
}

TEST_F(UpdateCatalogue, TheReportRowsAreTheToolsSpreadsheet) {
    const QString sheet = m_dir.filePath("report.xml");
    const ToolRun run =
        runTool({"update-catalogue", list(), dir(), "--dry-run", "--report", sheet});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    auto db = Database::open(store());
    PriceListUpdate update(*db, list(), list());
    const std::vector<ProjectLines> projects = update.projects();
    const std::vector<PriceReportRow> rows = priceReportRows(projects);
    QStringList seen;
    for (const PriceReportRow& row : rows)
        seen << QStringList{row.projectTitle,
                            row.article,
                            row.name,
                            row.kol.toString(),
                            row.oldPrice.toString(),
                            row.newPrice.toString(),
                            row.oldSum.toString(),
                            row.newSum.toString(),
                            row.reason}
                    .join('|');
    EXPECT_EQ(seen, QStringList({
                        "Рабочая спецификация|100.1-2|Лоток 100x50|9|120.5|125.75|1084.5|1131.75|"
                        "Цена изменилась",
                        "Проект «Север» (ключ 1)|100.1-2|Лоток 100x50|6|120.5|125.75|723|754.5|"
                        "Цена изменилась",
                        "Проект «Север» (ключ 1)|100.2-3|Лоток 200x50|3|210|210|630|630|"
                        "Нет в каталоге",
                        "Проект «Юг» (ключ 2)|200.1-3|Крышка 100|3|44|46.2|132|138.6|"
                        "Цена изменилась",
                    }));
    EXPECT_EQ(readFile(sheet),
              priceReportSpreadsheet(QStringLiteral("Новый прайс-лист: %1").arg(list()), rows,
                                     projectTotals(projects)));
    const QString text = QString::fromUtf8(readFile(sheet));
    EXPECT_TRUE(
        text.contains("<Data ss:Type=\"String\">Итого:</Data></Cell>\r\n"
                      "    <Cell ss:StyleID=\"head\"><Data ss:Type=\"Number\">1593</Data>"
                      "</Cell>\r\n    <Cell ss:StyleID=\"head\"><Data "
                      "ss:Type=\"Number\">1624.5</Data></Cell>"))
        << text.toStdString();
    EXPECT_EQ(hashOf(store()), storeHash);

    // Never written over a database.
    const ToolRun overList =
        runTool({"update-catalogue", list(), dir(), "--dry-run", "--report", list()});
    EXPECT_EQ(overList.exitCode, 1);
    EXPECT_EQ(hashOf(list()), listHash);
}

TEST_F(UpdateCatalogue, UndoBringsBackThePreviousListExactlyAndLeavesProjectsAlone) {
    const QString before = catalogueRows(store());
    ASSERT_EQ(runTool({"update-catalogue", list(), dir()}).exitCode, 0);
    ASSERT_NE(catalogueRows(store()), before);
    // Projects repriced after the update keep their new prices when the list goes back.
    runOn(store(), {"update buy set price = 125.75 where Ключ = 2"});
    const QString repriced = scalar(store(), kOwnRows);

    const ToolRun undo = runTool({"update-catalogue", "--undo", dir()});
    ASSERT_EQ(undo.exitCode, 0) << undo.err.toStdString();
    EXPECT_EQ(catalogueRows(store()), before);
    EXPECT_EQ(scalar(store(), kOwnRows), repriced);
    EXPECT_EQ(scalar(store(),
                     "select count(*) from sqlite_master where name like "
                     "'catalogue_kept_%\\_%' escape '\\'"),
              "0");
    EXPECT_EQ(scalar(store(),
                     "select count(*) from sqlite_master where type = 'index' and "
                     "tbl_name = 'EXPORT_TMC'"),
              "7");

    // Nothing more to go back to.
    const QByteArray undone = hashOf(store());
    const ToolRun none = runTool({"update-catalogue", "--undo", dir()});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("нет прежнего каталога")) << none.err.toStdString();
    EXPECT_EQ(hashOf(store()), undone);
}

TEST_F(UpdateCatalogue, KeepsTheLastThreeLists) {
    for (int update = 1; update <= 5; ++update) {
        runOn(list(),
              {QStringLiteral("update EXPORT_TMC set p2 = %1 where Ключ = 101").arg(100 + update)});
        ASSERT_EQ(runTool({"update-catalogue", list(), dir()}).exitCode, 0);
    }
    EXPECT_EQ(scalar(store(), "select group_concat(id, ' ') from catalogue_kept"), "3 4 5");
    EXPECT_EQ(scalar(store(),
                     "select count(*) from sqlite_master where name like "
                     "'catalogue_kept_%\\_%' escape '\\'"),
              "18");
    ASSERT_EQ(runTool({"update-catalogue", "--undo", dir()}).exitCode, 0);
    EXPECT_EQ(scalar(store(), "select p2 from EXPORT_TMC where Ключ = 101"), "104");
    EXPECT_EQ(scalar(store(), "select source from catalogue_origin"), "new.mdb");
}

// A list that takes away most of the products in use, or every price of a coating in use,
// is likely the wrong file.
TEST_F(UpdateCatalogue, AListThatLooksWrongIsRefusedWithoutForce) {
    const struct {
        const char* spoil;
        const char* said;
    } cases[] = {
        {"delete from EXPORT_TMC where Ключ in (101, 102)",
         "В новом каталоге нет 3 из 3 товаров, которые есть в проектах."},
        {"update EXPORT_TMC set p3 = 0",
         "В новом каталоге нет ни одной цены в покрытии «Полимер», а в проектах оно есть."},
    };
    for (const auto& c : cases) {
        createStore(list(), kNew);
        runOn(list(), {c.spoil});
        const ToolRun refused = runTool({"update-catalogue", list(), dir()});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.startsWith(QString::fromUtf8(c.said))) << refused.err.toStdString();
        EXPECT_TRUE(refused.err.contains("--force"));
        EXPECT_EQ(hashOf(store()), storeHash);
        const ToolRun dryRun = runTool({"update-catalogue", list(), dir(), "--dry-run"});
        EXPECT_TRUE(dryRun.out.contains(QString::fromUtf8(c.said)));
    }
    const ToolRun forced = runTool({"update-catalogue", list(), dir(), "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
}

TEST_F(UpdateCatalogue, SeveralProjectsAreRequotedEachInOneStep) {
    ASSERT_EQ(runTool({"update-catalogue", list(), dir()}).exitCode, 0);
    auto db = Database::open(store());
    Query q(*db, QStringLiteral("requote"));
    const std::map<int, PriceDrift> drift = priceDrift(q);
    ASSERT_EQ(drift.size(), 3u);
    EXPECT_EQ(drift.at(0).lines, 1);
    EXPECT_EQ(drift.at(1).lines, 1);
    EXPECT_EQ(drift.at(1).after - drift.at(1).before, Fixed4::fromDouble(31.5));
    EXPECT_EQ(drift.at(2).after.toString(), "138.6");

    // Север holds a snapshot no window has open: left as it is, Юг repriced.
    const RequoteOutcome north = requoteProject(*db, q, 1, "Север");
    EXPECT_FALSE(north.refusal.isEmpty());
    const RequoteOutcome south = requoteProject(*db, q, 2, "Юг");
    EXPECT_TRUE(south.refusal.isEmpty());
    EXPECT_EQ(south.totals.before.toString() + " → " + south.totals.after.toString(),
              "132 → 138.6");
    EXPECT_EQ(scalar(store(),
                     "select group_concat(price, ' ') from (select price from buy "
                     "order by Ключ)"),
              "120.5 120.5 40 210 46.2");
    EXPECT_EQ(catalogueArchive::originText(projectPriceOrigin(q, 2)).left(11), "new.mdb от ");
    EXPECT_EQ(projectPriceOrigin(q, 1).source, "");

    db->execute("delete from arh");
    EXPECT_TRUE(requoteProject(*db, q, 1, "Север").refusal.isEmpty());
    EXPECT_EQ(priceDrift(q).size(), 1u);  // the working specification
    EXPECT_EQ(scalar(store(),
                     "select group_concat(price, ' ') from (select price from buy "
                     "order by Ключ)"),
              "120.5 125.75 40 210 46.2");

    // A deleted project takes its record along: a new project under its key has none.
    db->execute("delete from project where Ключ = 2");
    db->execute("insert into project (Ключ, Название) values (2, 'Восток')");
    EXPECT_EQ(projectPriceOrigin(q, 2).source, "");
}

}  // namespace
