// ulmar-tool import-mdb: a maker's Access catalogue brought into the program's store.
#include "app/StartFailure.h"
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/Fixed4.h"
#include "store/Jpeg.h"
#include "store/Query.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"
#include "tests/TestSupport.h"
#include "tools/JetDecode.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <memory>

namespace {

constexpr qint64 pageSize = 4096;  // of the Jet 4 fixture

QString fixturePath() {
    return fixturesDir() + QStringLiteral("/catalogue-jet4.mdb");
}

QJsonObject manifest() {
    return QJsonDocument::fromJson(readFile(fixturesDir() + "/catalogue-jet4.json")).object();
}

ToolRun importMdb(const QStringList& args, const QStringList& environment = {}) {
    return runTool(QStringList{QStringLiteral("import-mdb")} + args, environment);
}

// One import of the fixture, shared by the checks of its content.
class ImportedCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = std::make_unique<QTemporaryDir>();
        s_run = importMdb({fixturePath(), s_dir->path()});
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override {
        ASSERT_FALSE(s_run.crashed) << describe(s_run);
        ASSERT_EQ(s_run.exitCode, 0) << describe(s_run);
        m_db = Database::open(s_dir->filePath("base.mdb"));
    }

    std::unique_ptr<Query> select(const QString& sql) {
        auto q = std::make_unique<Query>(*m_db, QStringLiteral("check"));
        q->setSql(sql);
        q->open();
        return q;
    }
    QString scalar(const QString& sql) {
        auto q = select(sql);
        return q->recordCount() > 0 ? q->value(0, 0).toText() : QString();
    }

    static std::unique_ptr<QTemporaryDir> s_dir;
    static ToolRun s_run;
    std::unique_ptr<Database> m_db;
};

std::unique_ptr<QTemporaryDir> ImportedCatalogue::s_dir;
ToolRun ImportedCatalogue::s_run;

TEST_F(ImportedCatalogue, EveryTableHasTheRowsOfTheSource) {
    const QJsonObject counts = manifest().value("row_counts").toObject();
    ASSERT_EQ(counts.size(), 9);
    for (auto it = counts.begin(); it != counts.end(); ++it)
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from [%1]").arg(it.key())),
                  QString::number(it.value().toInt()))
            << it.key().toStdString();
    // Nothing but the source's tables, the engine's key counters, the (empty) project
    // properties, the planner statistics and the search index, which is ready to use.
    EXPECT_EQ(scalar("select count(*) from sqlite_master where type = 'table' and "
                     "name not like 'sqlite_stat%' and name not like 'product_search%'"),
              "11");
    EXPECT_EQ(scalar("select count(*) from project_properties"), "0");
    EXPECT_EQ(scalar("select count(*) from product_search_ready"), "1");
}

TEST_F(ImportedCatalogue, NamesAndArticlesKeepTheirCyrillicText) {
    const QJsonArray rows = manifest().value("EXPORT_TMC").toObject().value("rows").toArray();
    auto q = select("select Ключ, Название, Номер from EXPORT_TMC order by Ключ");
    ASSERT_EQ(q->recordCount(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QJsonObject row = rows.at(i).toObject();
        EXPECT_EQ(q->value(i, 0).toInt(), row.value("Ключ").toInt());
        EXPECT_EQ(q->value(i, 1).toText(), row.value("Название").toString());
        EXPECT_EQ(q->value(i, 2).toText(), row.value("Номер").toString());
    }
    auto projects = select("select Ключ, Название from project order by Ключ");
    ASSERT_EQ(projects->recordCount(), 2);
    EXPECT_EQ(projects->value(0, 1).toText(), "Цех №1");
    EXPECT_EQ(projects->value(1, 1).toText(), "Склад 'Север'");
    EXPECT_EQ(scalar("select Название from EXPORT_PODVID where Ключ = 5"),
              "Ответвительные элементы");
}

TEST_F(ImportedCatalogue, MoneyIsExactToFourPlaces) {
    const QJsonObject tmc = manifest().value("EXPORT_TMC").toObject();
    auto prices = select("select p2 from EXPORT_TMC");
    Fixed4 sum;
    for (int i = 0; i < prices->recordCount(); ++i)
        sum += prices->value(i, 0).toFixed();
    EXPECT_EQ(sum, Fixed4::parse(tmc.value("sum_p2").toString()).value());

    const QJsonArray lines = manifest().value("buy").toArray();
    auto q = select(
        "select Ключ, project, TMC, Pokr, price, kol, kolm, izm, vid from buy "
        "order by Ключ");
    ASSERT_EQ(q->recordCount(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = lines.at(i).toObject();
        SCOPED_TRACE(line.value("Ключ").toInt());
        EXPECT_EQ(q->value(i, 0).toInt(), line.value("Ключ").toInt());
        EXPECT_EQ(q->value(i, 1).toInt(), line.value("project").toInt());
        EXPECT_EQ(q->value(i, 2).toInt(), line.value("TMC").toInt());
        EXPECT_EQ(q->value(i, 3).toInt(), line.value("Pokr").toInt());
        EXPECT_EQ(q->value(i, 4).toFixed(), Fixed4::parse(line.value("price").toString()).value());
        EXPECT_EQ(q->value(i, 5).toFixed(), Fixed4::parse(line.value("kol").toString()).value());
        EXPECT_EQ(q->value(i, 6).toFixed(), Fixed4::fromDouble(line.value("kolm").toDouble()));
        EXPECT_EQ(q->value(i, 7).toText(), line.value("izm").toString());
        EXPECT_EQ(q->value(i, 8).toInt(), line.value("vid").toInt());
    }
    // The program writes money back as Fixed4 text; these are the forms it reads.
    EXPECT_EQ(scalar("select price from buy where Ключ = 5"), "1192.207");
    EXPECT_EQ(scalar("select kol from buy where Ключ = 3"), "7.25");
    EXPECT_EQ(scalar("select typeof(kol) from buy where Ключ = 1"), "integer");
}

TEST_F(ImportedCatalogue, PhotosAreTheJpegBytesUnderTheSchemaName) {
    const QJsonArray photos = manifest().value("EXPORT_FOTO").toArray();
    auto q = select("select Ключ, Фото from EXPORT_FOTO order by Ключ");
    ASSERT_EQ(q->recordCount(), photos.size());
    for (int i = 0; i < photos.size(); ++i) {
        const QJsonObject photo = photos.at(i).toObject();
        SCOPED_TRACE(photo.value("Ключ").toInt());
        const QByteArray bytes = q->value(i, 1).toBlob();
        EXPECT_EQ(q->value(i, 0).toInt(), photo.value("Ключ").toInt());
        EXPECT_EQ(bytes.size(), photo.value("bytes").toInt());
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                  photo.value("sha256").toString().toLatin1());
        EXPECT_TRUE(decodeJpeg(bytes).has_value());
    }
}

TEST_F(ImportedCatalogue, TheIndexesOfTheStatementsAreThere) {
    for (const char* index :
         {"buy_project", "EXPORT_TMC_Вид", "Export_INFOTO_ТМЦ", "EXPORT_TMC_t5k"})
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from sqlite_master where type = 'index' "
                                        "and name = '%1'")
                             .arg(QString::fromUtf8(index))),
                  "1")
            << index;
}

// What a damaged or foreign source must never do: crash, say nothing, or leave a store.
void expectRefused(const ToolRun& run, const QTemporaryDir& target, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_FALSE(run.crashed) << describe(run);
    EXPECT_NE(run.exitCode, 0) << describe(run);
    EXPECT_FALSE(run.err.trimmed().isEmpty()) << describe(run);
    EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList())
        << describe(run);
}

QByteArray flipped(QByteArray bytes, qint64 offset, char mask) {
    bytes[qsizetype(offset)] = char(bytes[qsizetype(offset)] ^ mask);
    return bytes;
}

TEST(ImportMdb, KeysGivenLaterContinueAfterTheHighestImportedOne) {
    QTemporaryDir dir;
    ASSERT_EQ(importMdb({fixturePath(), dir.path()}).exitCode, 0);
    auto db = Database::open(dir.filePath("base.mdb"));
    struct Case {
        const char* insert;
        std::int64_t key;
    };
    const Case cases[] = {
        {"insert into project (Название) values ('Новый')", 3},
        {"insert into buy (project, TMC, Pokr) values (0, 1001, 2)", 10},
        {"insert into arh (project, TMC, Pokr) values (1, 1001, 2)", 5},
    };
    for (const Case& c : cases) {
        db->execute(QString::fromUtf8(c.insert));
        EXPECT_EQ(db->lastInsertKey(), c.key) << c.insert;
    }
}

TEST(ImportMdb, RefusesForeignAndDamagedFilesWithAMessage) {
    const QByteArray good = readFile(fixturePath());
    ASSERT_EQ(good.size(), 79 * pageSize);
    QByteArray sqliteStore;
    {
        TempStore store;
        sqliteStore = readFile(store.path());
    }
    struct Case {
        const char* what;
        QByteArray bytes;
        const char* message;  // a piece of what the user is told
    };
    const Case cases[] = {
        {"a text file", "Это не база данных.\n", "не база Microsoft Access"},
        {"an empty file", QByteArray(), "не база Microsoft Access"},
        {"a store of this program", sqliteStore, "не база Microsoft Access"},
        {"cut in the middle of a page", good.left(100000), "обрезан"},
        {"cut after the catalogue pages", good.left(10 * pageSize), "обрезан"},
        {"cut before the last photo ends", good.left(50 * pageSize), "повреждён"},
        {"signature", flipped(good, 4, 0x01), "не база Microsoft Access"},
        {"row count of the catalogue", flipped(good, 2 * pageSize + 16, 0x01), "повреждён"},
        {"rows on a catalogue page", flipped(good, 14 * pageSize + 12, 0x01), "повреждён"},
        {"page type of the product table", flipped(good, 29 * pageSize, 0x01), "повреждён"},
        {"row count of the product table", flipped(good, 29 * pageSize + 16, 0x08), "EXPORT_TMC"},
        {"row count of the photo table", flipped(good, 40 * pageSize + 16, 0x04), "EXPORT_FOTO"},
    };
    QTemporaryDir work;
    for (const Case& c : cases) {
        const QString source = work.filePath("source.mdb");
        writeFile(source, c.bytes);
        QTemporaryDir target;
        const ToolRun run = importMdb({source, target.path()});
        expectRefused(run, target, c.what);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << c.what << describe(run);
    }
}

TEST(ImportMdb, NeverCrashesOnABitFlippedFile) {
    const QByteArray good = readFile(fixturePath());
    QTemporaryDir work;
    const QString source = work.filePath("source.mdb");
    // One flip in the head of every page, where its type, owner, row count and row
    // offsets lie; a flip in a value itself may pass unnoticed.
    for (qint64 page = 0; page < good.size() / pageSize; ++page) {
        const qint64 offset = page * pageSize + (page * 7) % 24;
        writeFile(source, flipped(good, offset, char(1 << (page % 8))));
        QTemporaryDir target;
        const ToolRun run = importMdb({source, target.path()});
        SCOPED_TRACE(QStringLiteral("byte %1").arg(offset).toStdString());
        ASSERT_FALSE(run.crashed) << describe(run);
        if (run.exitCode != 0)
            expectRefused(run, target, "flipped");
        else
            EXPECT_TRUE(QFile::exists(target.filePath("base.mdb")));
    }
}

TEST(ImportMdb, KeepsAnExistingStoreUnlessToldToReplaceIt) {
    QTemporaryDir target;
    const QString store = target.filePath("base.mdb");
    writeFile(store, "прежняя база");

    const ToolRun kept = importMdb({fixturePath(), target.path()});
    EXPECT_FALSE(kept.crashed);
    EXPECT_NE(kept.exitCode, 0) << describe(kept);
    EXPECT_TRUE(kept.err.contains("--replace")) << describe(kept);
    EXPECT_EQ(readFile(store), QByteArray("прежняя база"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"base.mdb"});

    const ToolRun replaced = importMdb({fixturePath(), target.path(), "--replace"});
    ASSERT_EQ(replaced.exitCode, 0) << describe(replaced);
    EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"base.mdb"});
    auto db = Database::open(store);
    Query q(*db, "check");
    q.setSql("select count(*) from EXPORT_TMC");
    q.open();
    EXPECT_EQ(q.value(0, 0).toInt(), 32);
}

TEST(ImportMdb, AReaderThatNeverEndsIsStoppedAndTheFolderKept) {
    // The chain of a photo's pages leads from its first page back to itself: libmdb reads it
    // round and round, its memory growing.
    QByteArray endless = readFile(fixturePath());
    const qint64 firstPhotoRow = 47 * pageSize + 0x14;
    ASSERT_EQ(endless.mid(firstPhotoRow, 4).toHex(), "00300000");  // on to page 48
    endless.replace(firstPhotoRow, 4, QByteArray("\x00\x2f\x00\x00", 4));
    QTemporaryDir work;
    const QString source = work.filePath("endless.mdb");
    writeFile(source, endless);

    struct Case {
        const char* what;
        QStringList environment;
        const char* message;
    };
    const Case cases[] = {
        {"memory", {"ULMAR_IMPORT_MEGABYTES=256"}, "повреждён"},
        {"time", {"ULMAR_IMPORT_SECONDS=1", "ULMAR_IMPORT_MEGABYTES=4096"}, "не прочитан за 1 с"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir target;
        const QString store = target.filePath("base.mdb");
        writeFile(store, "прежняя база");
        const ToolRun run = importMdb({source, target.path(), "--replace"}, c.environment);
        EXPECT_FALSE(run.crashed) << describe(run);
        EXPECT_NE(run.exitCode, 0) << describe(run);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << describe(run);
        EXPECT_EQ(QDir(target.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"base.mdb"});
        EXPECT_EQ(readFile(store), QByteArray("прежняя база"));
    }
}

TEST(ImportMdb, TheProgramNamesTheCommandThatConvertsAnAccessStore) {
    QTemporaryDir dir;
    const QString store = dir.filePath("base.mdb");
    ASSERT_TRUE(QFile::copy(fixturePath(), store));
    QString message;
    try {
        Database::open(store);
    } catch (const StoreError& e) {
        message = startFailureText(store, e.message(), true);
    }
    ASSERT_TRUE(message.contains("Microsoft Access")) << message.toStdString();

    // The line it names, run as it stands, converts the file in its place.
    const QString command =
        QStringLiteral("ulmar-tool import-mdb %1 %2 --replace").arg(store, dir.path());
    ASSERT_TRUE(message.contains(command)) << message.toStdString();
    const ToolRun run = importMdb(command.split(' ').mid(2));
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    auto db = Database::open(store);
    Query q(*db, "check");
    q.setSql("select count(*) from buy");
    q.open();
    EXPECT_EQ(q.value(0, 0).toInt(), 9);
}

TEST(ImportMdb, TellsHowItIsCalled) {
    struct Case {
        QStringList args;
        int exitCode;
    };
    const Case cases[] = {
        {{}, 2},
        {{"only-source.mdb"}, 2},
        {{"a.mdb", "dir", "--overwrite"}, 2},
        {{"/nonexistent/катало́г.mdb", "dir"}, 1},
        // A server's store is filled, never replaced; a file is named by its folder.
        {{"a.mdb", "--store", "postgresql://office@server/ulmar", "--replace"}, 2},
        {{"a.mdb", "--store", "elsewhere/base.mdb"}, 2},
    };
    for (const Case& c : cases) {
        const ToolRun run = importMdb(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString() << describe(run);
        EXPECT_FALSE(run.err.isEmpty());
    }
}

// An empty database on the test cluster that server-init prepared, as an office sets one up;
// dropped at the end.
class PreparedServerStore {
public:
    PreparedServerStore() {
        static int made = 0;
        m_name = QStringLiteral("ulmar_import_%1_%2")
                     .arg(QCoreApplication::applicationPid())
                     .arg(++made);
        Database::connect(testServerAddress())
            ->execute(QStringLiteral("create database %1 template template0 encoding 'UTF8' "
                                     "locale 'C.UTF-8'")
                          .arg(m_name));
        m_address = testServerAddress().replace(QStringLiteral("/postgres?"),
                                                QStringLiteral("/%1?").arg(m_name));
        const ToolRun init = runTool({"server-init", m_address});
        EXPECT_EQ(init.exitCode, 0) << describe(init);
    }
    ~PreparedServerStore() {
        Database::connect(testServerAddress())
            ->execute(QStringLiteral("drop database %1 with (force)").arg(m_name));
    }
    const QString& address() const { return m_address; }

private:
    QString m_name;
    QString m_address;
};

// Every row of the program's tables as text, in key order: amounts to four places, photos by
// their hash. The working specification, which a server keeps under the login's own key, is
// shown under 0 as a file keeps it.
QStringList storeContents(Database& db) {
    const int working = storedProjectKey(db, 0);
    QStringList tables = programTableNames();
    tables << QStringLiteral("project_properties");
    QStringList rows;
    for (const QString& table : tables) {
        Query q(db, QStringLiteral("contents"));
        q.open(QStringLiteral("select * from %1 order by 1").arg(table));
        for (int r = 0; r < q.recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < q.columnCount(); ++c) {
                const Value v = q.value(r, c);
                const QString column = q.columnName(c).toLower();
                QString cell = v.isNull() ? QStringLiteral("null")
                               : v.isBlob()
                                   ? QString::fromLatin1(QCryptographicHash::hash(
                                                             v.toBlob(), QCryptographicHash::Sha256)
                                                             .toHex())
                               : v.isNumber() ? v.toFixed().toString()
                                              : v.toText();
                if (column == QLatin1String("project") && table != QLatin1String("project") &&
                    v.isNumber() && v.toInt() == working)
                    cell = QStringLiteral("0");
                cells << column + QLatin1Char('=') + cell;
            }
            cells.sort();  // the engines may order a table's columns otherwise
            rows << table + QStringLiteral(": ") + cells.join(QStringLiteral(" | "));
        }
    }
    return rows;
}

TEST(ImportMdbOnServer, FillsAnEmptyStoreWithWhatAFileImportGivesAndOnlyOnce) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    QTemporaryDir dir;
    ASSERT_EQ(importMdb({fixturePath(), dir.path()}).exitCode, 0);
    const PreparedServerStore server;

    const ToolRun run = importMdb({fixturePath(), "--store", server.address()});
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_TRUE(
        run.out.endsWith(QStringLiteral("База на сервере заполнена: %1\n").arg(server.address())))
        << describe(run);
    auto file = Database::open(dir.filePath("base.mdb"));
    const QStringList expected = storeContents(*file);
    EXPECT_EQ(expected.filter(QRegularExpression("^EXPORT_TMC: ")).size(), 32);
    EXPECT_EQ(expected.filter(QRegularExpression("^buy: .*project=0 ")).size(), 3);
    auto onServer = Database::connect(server.address());
    EXPECT_EQ(storeContents(*onServer), expected);

    // The importing designer's working specification is the one the Access file holds.
    const QString fromFile = dir.filePath("file.xml");
    const QString fromServer = dir.filePath("server.xml");
    EXPECT_EQ(runTool({"export", fromFile, "--store", dir.filePath("base.mdb")}).exitCode, 0);
    EXPECT_EQ(runTool({"export", fromServer, "--store", server.address()}).exitCode, 0);
    EXPECT_FALSE(readFile(fromServer).isEmpty());
    EXPECT_EQ(readFile(fromServer), readFile(fromFile));

    // A store holding a catalogue is the office's: a second import, with the store named as
    // the designers name it, changes nothing.
    const ToolRun again =
        importMdb({fixturePath()}, {QStringLiteral("ULMAR_STORE=") + server.address()});
    EXPECT_EQ(again.exitCode, 1) << describe(again);
    EXPECT_TRUE(again.err.contains("уже есть каталог или проекты")) << describe(again);
    EXPECT_EQ(storeContents(*onServer), expected);
}

TEST(ImportMdbOnServer, AFailureLeavesTheServerStoreEmpty) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    struct Case {
        const char* what;
        QByteArray source;
        const char* refusal;  // a statement run on the store before the import, if any
        const char* message;
    };
    const QByteArray good = readFile(fixturePath());
    const Case cases[] = {
        {"a damaged file", good.left(50 * pageSize), nullptr, "повреждён"},
        {"the server refuses a line while copying", good,
         "create function refuse_line() returns trigger language plpgsql as $$ begin raise "
         "exception 'Строка отвергнута сервером'; end $$; create trigger refuse_line before "
         "insert on buy for each row execute function refuse_line()",
         "Строка отвергнута сервером"},
    };
    QTemporaryDir work;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString source = work.filePath("source.mdb");
        writeFile(source, c.source);
        const PreparedServerStore server;
        auto db = Database::connect(server.address());
        if (c.refusal)
            db->execute(QString::fromUtf8(c.refusal));
        const ToolRun run = importMdb({source, "--store", server.address()});
        EXPECT_EQ(run.exitCode, 1) << describe(run);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << describe(run);
        EXPECT_EQ(storeContents(*db), QStringList());
    }
}

// A tiny JPEG of the marker structure the walk follows: SOI, one segment, a scan with a
// stuffed byte and a restart marker, EOI.
const QByteArray tinyJpeg(
    "\xFF\xD8"
    "\xFF\xE0\x00\x04JF"
    "\xFF\xDA\x00\x03\x01"
    "\x12\xFF\x00\x34\xFF\xD0\x56"
    "\xFF\xD9",
    22);

// Access's object header and an OLE package around a picture, and a trailer after it.
QByteArray inOleObject(const QByteArray& picture) {
    QByteArray header(
        "\x15\x1C\x14\x00\x02\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00"
        "\xFF\xFF\xFF\xFF",
        20);
    QByteArray package(
        "\x01\x05\x00\x00\x02\x00\x00\x00\x08\x00\x00\x00Package\x00"
        "\x00\x00\x00\x00\x00\x00\x00\x00",
        28);
    const quint32 size = quint32(picture.size());
    package += QByteArray(reinterpret_cast<const char*>(&size), 4);
    return header + package + picture + QByteArray("\x01\x05\x00\x00\xFF\xD9\x00\x00", 8);
}

TEST(ImportMdb, PhotoInAnOleObjectBecomesTheBareJpeg) {
    struct Case {
        const char* what;
        QByteArray stored;
        QByteArray kept;
    };
    const QByteArray notJpeg("BM\x36\x00\x00\x00", 6);
    const QByteArray endless = tinyJpeg.left(15);
    const Case cases[] = {
        {"bare JPEG", tinyJpeg, tinyJpeg},
        {"JPEG in an OLE object", inOleObject(tinyJpeg), tinyJpeg},
        {"bitmap in an OLE object", inOleObject(notJpeg), inOleObject(notJpeg)},
        {"JPEG that never ends", inOleObject(endless), inOleObject(endless)},
        {"empty", QByteArray(), QByteArray()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jet::bareJpeg(c.stored).toHex(), c.kept.toHex()) << c.what;
}

TEST(ImportMdb, RealPhotoComesOutOfItsOleObjectWhole) {
    QTemporaryDir dir;
    ASSERT_EQ(importMdb({fixturePath(), dir.path()}).exitCode, 0);
    auto db = Database::open(dir.filePath("base.mdb"));
    Query q(*db, "photo");
    q.setSql("select Фото from EXPORT_FOTO where Ключ = 5");
    q.open();
    const QByteArray unwrapped = jet::bareJpeg(inOleObject(q.value(0, 0).toBlob()));
    EXPECT_EQ(QCryptographicHash::hash(unwrapped, QCryptographicHash::Sha256).toHex(),
              "26ec1fc920be48ce3b3626527ea53c4ec2789f2ea28070a83866fbecb3faa31c");
}

TEST(ImportMdb, DatesReadAsAccessShowsThem) {
    struct Case {
        double days;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "1899-12-30 00:00:00"},       {1.5, "1899-12-31 12:00:00"},
        {-1.25, "1899-12-29 06:00:00"},     {36526.0, "2000-01-01 00:00:00"},
        {45000.75, "2023-03-15 18:00:00"},  {45000.999999999, "2023-03-16 00:00:00"},
        {2958465.5, "9999-12-31 12:00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jet::dateText(c.days).value_or("none"), QString::fromUtf8(c.text)) << c.days;
    EXPECT_FALSE(jet::dateText(3e9).has_value());
    EXPECT_FALSE(jet::dateText(std::nan("")).has_value());
}

}  // namespace
