// The demo catalogue written by ulmar-tool demo-db, checked through the program's own
// statements.
#include "catalogue/CatalogueSql.h"
#include "catalogue/TypeLists.h"
#include "store/Database.h"
#include "store/Jpeg.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <memory>

namespace {

// Rows of a select as texts, one list per row.
QList<QStringList> rows(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("test"));
    q.setSql(sql);
    q.open();
    QList<QStringList> result;
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList row;
        for (int c = 0; c < q.columnCount(); ++c)
            row << q.value(r, c).toText();
        result << row;
    }
    return result;
}

QStringList column(Database& db, const QString& sql, int c = 0) {
    QStringList result;
    for (const QStringList& row : rows(db, sql))
        result << row.value(c);
    return result;
}

qint64 count(Database& db, const QString& sql) {
    return rows(db, sql).value(0).value(0).toLongLong();
}

// One demo catalogue for all the read-only checks.
class DemoCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        const ToolRun r = runTool({QStringLiteral("demo-db"), s_dir->path()});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
    static void TearDownTestSuite() {
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(s_dir);
        m_db = Database::open(s_dir->filePath(QStringLiteral("base.mdb")));
    }
    Database& db() { return *m_db; }

    static QTemporaryDir* s_dir;
    std::unique_ptr<Database> m_db;
};

QTemporaryDir* DemoCatalogue::s_dir = nullptr;

const QString trayTypes = QStringLiteral("(64,65,66,67,68,69,70,71,75,76)");

TEST_F(DemoCatalogue, TypeListsHoldTheTenTrayTypesAndTheThreeAccessoryTypes) {
    // Sorted by name, as the lists show them.
    EXPECT_EQ(column(db(), trayTypeListSql()),
              QStringList({"68", "76", "69", "75", "66", "65", "64", "67", "71", "70"}));
    EXPECT_EQ(column(db(), accessoryTypeListSql()), QStringList({"72", "79", "80"}));
    EXPECT_EQ(column(db(), accessoryTypeListSql(), 1).last(), schema::generalHardware);
    // Types that must stay out of the lists: one by its key, one by its number.
    EXPECT_GE(count(db(),
                    "select count(*) from EXPORT_VIDTMC where Номер like '100.%' and "
                    "Ключ not in (64,65,66,67,68,69,70,71,72,75,76,79,80)"),
              1);
    EXPECT_GE(count(db(), "select count(*) from EXPORT_VIDTMC where Номер not like '100.%'"), 1);
}

TEST_F(DemoCatalogue, ProductsAreCompleteAndTheirCodesUnique) {
    EXPECT_GE(count(db(), "select count(*) from EXPORT_TMC"), 300);
    EXPECT_EQ(count(db(),
                    "select count(*) from EXPORT_TMC where Номер is null or Название is null "
                    "or Ключ <= 0 or Подвид <= 0 or ЕИ is null or ТМЦ is null"),
              0);
    EXPECT_EQ(count(db(),
                    "select count(*) from EXPORT_TMC where Подвид not in "
                    "(select Ключ from EXPORT_PODVID) or Вид not in "
                    "(select Ключ from EXPORT_VIDTMC)"),
              0);
    // Photos and covers are found by item code, so no code may stand for two things.
    const QString allCodes = QStringLiteral(
        "select ТМЦ c from EXPORT_TMC union all select t1k from EXPORT_TMC union all "
        "select t2k from EXPORT_TMC union all select t3k from EXPORT_TMC union all "
        "select t4k from EXPORT_TMC union all select t5k from EXPORT_TMC");
    EXPECT_EQ(count(db(), "select count(*) from (" + allCodes + ")"),
              count(db(), "select count(distinct c) from (" + allCodes + ")"));
    EXPECT_EQ(count(db(), "select count(*) from (" + allCodes + ") where c is null"), 0);
}

TEST_F(DemoCatalogue, TraysComeInSeveralSizesByTheRunningMetre) {
    const QString trays = "from EXPORT_TMC where Подвид = 1 and Вид in " + trayTypes;
    EXPECT_GE(count(db(), "select count(distinct Ширина) " + trays), 5);
    EXPECT_GE(count(db(), "select count(distinct Высота) " + trays), 3);
    EXPECT_EQ(column(db(), "select distinct Длина " + trays + " and ЕИ = 'м.п.' order by 1"),
              QStringList({"2000", "3000"}));
    EXPECT_GE(count(db(), "select count(*) " + trays + " and Название like '%S0.7%'"), 1);
    EXPECT_GE(count(db(), "select count(*) " + trays + " and Название like '%S1.0%'"), 1);
    // Branch elements and accessories are sold by the piece and have no stock length.
    EXPECT_EQ(count(db(), "select count(*) from EXPORT_TMC where Вид in " + trayTypes +
                              " and Подвид = 5 and (ЕИ <> 'шт.' or Длина <> 0)"),
              0);
    EXPECT_EQ(count(db(),
                    "select count(*) from EXPORT_TMC where Вид in (72,79,80) and "
                    "(ЕИ <> 'шт.' or Длина <> 0)"),
              0);
    // Some products are not made in every coating.
    EXPECT_GE(count(db(),
                    "select count(*) from EXPORT_TMC where p1 = 0 or p2 = 0 or p3 = 0 or "
                    "p4 = 0 or p5 = 0"),
              1);
    EXPECT_EQ(count(db(), "select count(*) from EXPORT_TMC where p1 <= 0 and p2 <= 0"), 0);
}

TEST_F(DemoCatalogue, MostTraysReachARealCoverInEveryCoating) {
    const qint64 trays =
        count(db(), "select count(*) from EXPORT_TMC where Подвид = 1 and Вид in " + trayTypes);
    int coatingsMostlyCovered = 0;
    for (int n = 1; n <= schema::coatingCount; ++n) {
        const QString k = QStringLiteral("k%1").arg(n), t = QStringLiteral("t%1k").arg(n);
        const QString withCover = "from EXPORT_TMC r where r.Подвид = 1 and r.Вид in " + trayTypes +
                                  " and r." + k + " > 0";
        // The cover: same type, width and stock length, in the subtype of covers.
        EXPECT_EQ(count(db(), "select count(*) " + withCover +
                                  " and not exists (select 1 from EXPORT_TMC c where c." + t +
                                  " = r." + k +
                                  " and c.Подвид = 2 and c.Вид = r.Вид and c.Ширина = r.Ширина "
                                  "and c.Длина = r.Длина)"),
                  0)
            << "coating " << n;
        if (2 * count(db(), "select count(*) " + withCover) > trays)
            ++coatingsMostlyCovered;
    }
    EXPECT_GE(coatingsMostlyCovered, 4);
    EXPECT_GE(count(db(), "select count(*) from EXPORT_TMC where Подвид = 1 and Вид in " +
                              trayTypes + " and (k1 is null or k5 is null)"),
              1);

    // The cover name of the first perforated tray, as the window shows it in coating 2.
    const QString k2 = rows(db(),
                            "select k2 from EXPORT_TMC where Название = 'Лоток "
                            "перфорированный ЛП 50х50 S0.7 L3000'")
                           .value(0)
                           .value(0);
    ASSERT_FALSE(k2.isEmpty());
    EXPECT_EQ(column(db(), catalogue::coverNameSql(2, k2.toLongLong())),
              QStringList({"КЛ-50-3-2 - Крышка лотка КЛ 50 L3000"}));
}

TEST_F(DemoCatalogue, EveryTrayOffersBranchElementsOfItsSizeAndThickness) {
    const QRegularExpression sValue(QStringLiteral("(?:^|\\D)(\\d)[.,](\\d)(?:\\D|$)"));
    const QList<QStringList> trays = rows(
        db(), "select Название, Вид, Высота, Ширина from EXPORT_TMC where Подвид = 1 and Вид in " +
                  trayTypes);
    ASSERT_FALSE(trays.isEmpty());
    for (const QStringList& tray : trays) {
        const QString s = catalogue::sValue(tray[0]);
        const QStringList found =
            column(db(),
                   catalogue::branchAutoSql(2, tray[0], tray[1].toInt(), tray[2].toLongLong(),
                                            tray[3].toLongLong()),
                   2);
        EXPECT_GE(found.size(), 4) << tray[0].toStdString();
        const QString size = tray[3] + QStringLiteral("х") + tray[2];
        for (const QString& name : found) {
            EXPECT_TRUE(name.contains(size)) << name.toStdString();
            if (!s.isEmpty()) {
                const QString comma = QString(s).replace(QLatin1Char('.'), QLatin1Char(','));
                EXPECT_TRUE(name.contains(s) || name.contains(comma)) << name.toStdString();
            } else {
                EXPECT_FALSE(name.contains(sValue)) << name.toStdString();
            }
        }
    }
    // And no branch element is left without a tray it fits.
    EXPECT_EQ(count(db(), "select count(*) from EXPORT_TMC b where b.Подвид = 5 and b.Вид in " +
                              trayTypes +
                              " and not exists (select 1 from EXPORT_TMC t where t.Подвид = 1 "
                              "and t.Вид = b.Вид and t.Ширина = b.Ширина and t.Высота = b.Высота)"),
              0);

    const QStringList first =
        column(db(),
               catalogue::branchAutoSql(
                   2, QStringLiteral("Лоток перфорированный ЛП 50х50 S0.7 L3000"), 64, 50, 50),
               2);
    EXPECT_EQ(QSet<QString>(first.begin(), first.end()),
              QSet<QString>({"Поворот 90° ПЛ 50х50 S0.7", "Тройник ТЛ 50х50 0,7",
                             "Крестовина КрЛ 50х50 0.7", "Поворот 45° П45Л 50х50 S0.7"}));
}

TEST_F(DemoCatalogue, AccessoriesFollowTheMountingMethod) {
    const struct {
        int type;
        int mounting;
        bool general;
        const char* listed;
        const char* notListed;
    } cases[] = {
        {72, 2, false, "Кронштейн настенный КН 200", "Консоль напольная КНП 200"},
        {72, 3, false, "Консоль напольная КНП 200", "Кронштейн настенный КН 200"},
        {72, 1, false, "Консоль потолочная КП 200", "Кронштейн настенный КН 200"},
        {79, 1, false, "Шпилька М8х1000", "Стойка кабельная СК 400"},
        {79, 3, false, "Стойка кабельная СК 400", "Шпилька М8х1000"},
        {80, 1, true, "Гайка М8", ""},
        {80, 3, true, "Гайка М8", ""},
    };
    for (const auto& c : cases) {
        const QStringList names =
            column(db(), catalogue::accessoriesSql(2, c.type, c.mounting, c.general), 2);
        EXPECT_TRUE(names.contains(QString::fromUtf8(c.listed)))
            << c.type << " " << c.mounting << " " << c.listed;
        EXPECT_FALSE(names.contains(QString::fromUtf8(c.notListed)))
            << c.type << " " << c.mounting << " " << c.notListed;
    }
    // The general hardware needs no mounting rows; every row names an accessory of the others.
    EXPECT_EQ(count(db(),
                    "select count(*) from EXPORT_KREP where [_Группа] not in (select Ключ "
                    "from EXPORT_TMC where Вид in (72,79))"),
              0);
    EXPECT_EQ(column(db(), "select distinct Способ from EXPORT_KREP order by 1"),
              QStringList({"1", "2", "3"}));
    EXPECT_GE(count(db(), "select count(*) from EXPORT_TMC where Вид = 80"), 5);
}

TEST_F(DemoCatalogue, PhotosDecodeAndAreLinkedByEveryCode) {
    const QList<QStringList> ids = rows(db(), "select Ключ from EXPORT_FOTO");
    ASSERT_GE(ids.size(), 10);
    {
        Query q(db(), QStringLiteral("photos"));
        q.setSql(QStringLiteral("select Фото from EXPORT_FOTO"));
        q.open();
        for (int r = 0; r < q.recordCount(); ++r) {
            const auto image = decodeJpeg(q.value(r, 0).toBlob());
            ASSERT_TRUE(image) << "photo row " << r;
            EXPECT_EQ(image->width, 320);
            EXPECT_EQ(image->height, 240);
        }
    }
    EXPECT_EQ(count(db(),
                    "select count(*) from Export_INFOTO where [_ГруппаФото] not in "
                    "(select Ключ from EXPORT_FOTO)"),
              0);

    // The tree finds a tray's photo by its base code, the other grids by the coating code.
    const QStringList tray = rows(db(),
                                  "select ТМЦ, t1k, t2k, t3k, t4k, t5k from EXPORT_TMC "
                                  "where Название = 'Лоток перфорированный ЛП 50х50 S0.7 "
                                  "L3000'")
                                 .value(0);
    ASSERT_EQ(tray.size(), 6);
    for (const QString& code : tray)
        EXPECT_EQ(rows(db(), catalogue::photoSql(code.toLongLong())).size(), 1)
            << code.toStdString();

    // A universal bracket looks different on the wall and on the floor; on the ceiling the plain
    // lookup still finds one of the two.
    const qint64 code = count(db(),
                              "select t2k from EXPORT_TMC where Название = 'Кронштейн "
                              "универсальный КУ 300'");
    Query onWall(db(), QStringLiteral("wall")), onFloor(db(), QStringLiteral("floor"));
    onWall.setSql(catalogue::photoSql(code, 2));
    onWall.open();
    onFloor.setSql(catalogue::photoSql(code, 3));
    onFloor.open();
    ASSERT_EQ(onWall.recordCount(), 1);
    ASSERT_EQ(onFloor.recordCount(), 1);
    EXPECT_NE(onWall.value(0, 0).toBlob(), onFloor.value(0, 0).toBlob());
    EXPECT_EQ(rows(db(), catalogue::photoSql(code, 1)).size(), 0);
    EXPECT_EQ(rows(db(), catalogue::photoSql(code)).size(), 1);
}

TEST_F(DemoCatalogue, ProjectTablesAreEmptyAndIndexesExist) {
    for (const char* table : {"buy", "arh", "project"})
        EXPECT_EQ(count(db(), QStringLiteral("select count(*) from %1").arg(table)), 0) << table;
    for (const QString& sql : schema::createIndexes()) {
        if (!sql.startsWith(QLatin1String("create index")))
            continue;
        const QString name = sql.section(QLatin1Char(' '), 5, 5);
        EXPECT_EQ(count(db(),
                        "select count(*) from sqlite_master where type = 'index' and name "
                        "= '" +
                            name + "'"),
                  1)
            << name.toStdString();
    }
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray catalogueDigest(const QString& path) {
    auto db = Database::open(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const char* table : {"EXPORT_VIDTMC", "EXPORT_PODVID", "EXPORT_TMC", "EXPORT_FOTO",
                              "Export_INFOTO", "EXPORT_KREP"}) {
        Query q(*db, QStringLiteral("dump"));
        q.setSql(QStringLiteral("select * from %1 order by 1, 2").arg(table));
        q.open();
        for (int r = 0; r < q.recordCount(); ++r)
            for (int c = 0; c < q.columnCount(); ++c) {
                const Value& v = q.value(r, c);
                hash.addData(v.isBlob() ? v.toBlob() : v.toText().toUtf8());
                hash.addData("|");
            }
    }
    return hash.result();
}

TEST(DemoDbCommand, RefusesToOverwriteUnlessToldToReplace) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("base.mdb"));
    const QByteArray old("not a catalogue, but somebody's file");
    writeFile(target, old);

    const ToolRun refused = runTool({QStringLiteral("demo-db"), dir.path()});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("уже существует")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--replace"))) << refused.err.toStdString();
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(entries(dir.path()), QStringList({"base.mdb"}));

    // A journal of the old file would be played back into the new one: it goes too.
    writeFile(target + QStringLiteral("-journal"), QByteArray(512, '\x7f'));
    const ToolRun replaced =
        runTool({QStringLiteral("demo-db"), dir.path(), QStringLiteral("--replace")});
    ASSERT_EQ(replaced.exitCode, 0) << replaced.err.toStdString();
    EXPECT_EQ(entries(dir.path()), QStringList({"base.mdb"}));
    auto db = Database::open(target);
    EXPECT_GE(count(*db, "select count(*) from EXPORT_TMC"), 300);
}

TEST(DemoDbCommand, CreatesTheFolderAndWritesTheSameCatalogueEachTime) {
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("a/b"));
    const QString second = dir.filePath(QStringLiteral("c"));
    ASSERT_EQ(runTool({QStringLiteral("demo-db"), first}).exitCode, 0);
    ASSERT_EQ(runTool({QStringLiteral("demo-db"), second}).exitCode, 0);
    EXPECT_EQ(entries(first), QStringList({"base.mdb"}));
    EXPECT_EQ(catalogueDigest(first + QStringLiteral("/base.mdb")),
              catalogueDigest(second + QStringLiteral("/base.mdb")));
}

TEST(DemoDbCommand, WrongArgumentsWriteNothing) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("x"));
    const QList<QStringList> cases = {
        {QStringLiteral("demo-db")},
        {QStringLiteral("demo-db"), target, QStringLiteral("--force")},
        {QStringLiteral("demo-db"), target, dir.filePath(QStringLiteral("y"))},
    };
    for (const QStringList& args : cases) {
        const ToolRun r = runTool(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

}  // namespace
