// The search index and the one pass over the products only make the search faster: every
// search finds the rows, in the order, that the three statements find without the index.
#include "catalogue/CatalogueSql.h"
#include "catalogue/CoatingRows.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/SearchIndex.h"
#include "store/StoreError.h"
#include "tests/TestSupport.h"
#include "tools/DemoCatalogue.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

using namespace catalogue;

namespace {

// Names a catalogue may hold that test the folding and the pattern characters.
const QStringList awkwardItems = {
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, t1k, p1) values "
    "(900001, 'Лоток ''Север'' 100%', 'Л''С-1', 64, 1, 1, 10), "
    "(900002, 'ЛОТОК_ЁЖИК ёжик', 'ЛЁ-2', 64, 5, 2, 10), "
    "(900003, 'Шпилька \"Ёлка\" m8', 'Шп-M8', 72, 7, 3, 10), "
    "(900004, 'Lotok LaTiN ЛоТоК', 'LT-4', 79, 7, 4, 10), "
    "(900005, 'Лоток без номера', null, 64, 1, 5, 10), "
    "(900006, 'Лоток без подвида', 'ЛБ-6', 64, null, 6, 10), "
    "(900007, 'Поворот без размеров', 'ПБ-7', 65, 5, 7, 10)",
};

// The search texts: letter case of both alphabets, quotes, wildcards, runs shorter than three
// characters, a text across the space between article and name.
const char* const searches[] = {
    "ЛОТОК",          "лоток",    "ЛоТоК", "лот", "ло",  "Л",     "",         "'",      "''Север''",
    "'Север' 1",      "100%",     "%%%",   "1_0", "___", "ло%ок", "ЛО_ОК",    "ёжик",   "ЁЖИК",
    "Ёлка",           "\"Ёлка\"", "\"",    "m8",  "M8",  "шп-m",  "-1 Лоток", "Крышка", "КРЫШ",
    "x' or 1=1 or '", "lotok",    "ок_ё",
};

// The column names, then each row's fields.
QStringList rowsOf(const Query& q) {
    QStringList result;
    QStringList names;
    for (int c = 0; c < q.columnCount(); ++c)
        names << q.columnName(c);
    result << names.join(QLatin1Char('|'));
    for (int r = 0; r < q.recordCount(); ++r) {
        QStringList fields;
        for (int c = 0; c < q.columnCount(); ++c)
            fields << q.value(r, c).toText();
        result << fields.join(QLatin1Char('|'));
    }
    return result;
}

QStringList rows(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("q"));
    q.setSql(sql);
    q.open();
    return rowsOf(q);
}

QStringList rows(Database& db, std::shared_ptr<const RowSource> read) {
    Query q(db, QStringLiteral("q"));
    q.openRows(std::move(read));
    return rowsOf(q);
}

void expectSameRowsAsTheScan(const DemoOptions& options) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("base.mdb"));
    QFile(path).open(QIODevice::WriteOnly);
    auto db = Database::open(path);
    buildDemoStore(*db, options);
    ASSERT_TRUE(searchIndex::ready(*db));
    for (const QString& sql : awkwardItems)
        db->execute(sql);
    EXPECT_FALSE(searchIndex::ready(*db));  // products changed behind its back
    searchIndex::buildWhenMissing(*db);
    ASSERT_TRUE(searchIndex::ready(*db));

    int found = 0;
    for (const char* search : searches) {
        const QString text = QString::fromUtf8(search);
        for (int coating : {1, 3}) {
            const QStringList tree = rows(*db, searchTreeSql(coating, text));
            found += int(tree.size());
            // The one pass that feeds all three lists, with the index and without it.
            for (bool indexed : {true, false}) {
                const SearchRows read = SearchRows::read(*db, text, true, indexed);
                EXPECT_EQ(rows(*db, read.tree.inCoating(coating)), tree) << search;
                EXPECT_EQ(rows(*db, read.branches.inCoating(coating)),
                          rows(*db, searchBranchSql(coating, text)))
                    << search;
                EXPECT_EQ(rows(*db, read.accessories.inCoating(coating)),
                          rows(*db, searchAccessoriesSql(coating, text)))
                    << search;
            }
        }
    }
    // The tree of each type read once gives every coating's statement's rows, in their order.
    for (int type : {64, 65, 66, 67, 68, 69, 70, 71, 75, 76}) {
        const CoatingRows read = CoatingRows::readTypeTree(*db, type);
        for (int coating = 1; coating <= 5; ++coating)
            EXPECT_EQ(rows(*db, read.inCoating(coating)), rows(*db, productTreeSql(coating, type)))
                << type << " " << coating;
    }
    EXPECT_GT(found, 1000);  // the texts do find things
}

}  // namespace

TEST(SearchIndex, FindsWhatTheScanFinds) {
    expectSameRowsAsTheScan(DemoOptions());
    DemoOptions generated;
    generated.traysPerType = 60;
    generated.subtypeCount = 25;
    generated.accessorySeries = 4;
    generated.photoCount = 0;
    expectSameRowsAsTheScan(generated);
}

// A search's tree holds its products by key and reads the rest of their rows, a block at a
// time, as they are shown: in any order they are read, they are the statement's rows.
TEST(SearchIndex, TheTreeReadsItsProductsAsTheyAreShown) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("base.mdb"));
    QFile(path).open(QIODevice::WriteOnly);
    auto db = Database::open(path);
    DemoOptions generated;
    generated.traysPerType = 60;
    generated.photoCount = 0;
    buildDemoStore(*db, generated);
    const SearchRows found = SearchRows::read(*db, QStringLiteral("ЛОТОК"), true, true);
    const QStringList statement = rows(*db, searchTreeSql(3, QStringLiteral("ЛОТОК")));
    ASSERT_GT(statement.size(), 500);  // several blocks

    Query shown(*db, QStringLiteral("q"));
    shown.openRows(found.tree.inCoating(3));
    ASSERT_EQ(shown.recordCount(), statement.size() - 1);
    for (int r = shown.recordCount() - 1; r >= 0; --r) {  // the last block first
        QStringList fields;
        for (int c = 0; c < shown.columnCount(); ++c)
            fields << shown.value(r, c).toText();
        EXPECT_EQ(fields.join(QLatin1Char('|')), statement[r + 1]) << r;
    }

    // A product removed from the catalogue after the search keeps the key and group it was
    // found with and shows no figure; the rows around it are as they were.
    const int gone = 300;
    db->execute(
        QStringLiteral("delete from EXPORT_TMC where Ключ = %1").arg(shown.value(gone, 0).toInt()));
    shown.openRows(found.tree.inCoating(3));
    EXPECT_EQ(shown.value(gone, shown.columnIndex(u"Название")).toText(), QString());
    EXPECT_TRUE(shown.isNull(gone, shown.columnIndex(u"pp")));
    EXPECT_FALSE(shown.isNull(gone, shown.columnIndex(u"parentid")));
    for (int r : {gone - 1, gone + 1}) {
        QStringList fields;
        for (int c = 0; c < shown.columnCount(); ++c)
            fields << shown.value(r, c).toText();
        EXPECT_EQ(fields.join(QLatin1Char('|')), statement[r + 1]) << r;
    }

    // A block that can not be read fails as a statement does, for the handler that asked.
    db->execute(QStringLiteral("alter table EXPORT_TMC rename to EXPORT_TMC_gone"));
    shown.openRows(found.tree.inCoating(2));
    shown.setRecNo(shown.recordCount());
    EXPECT_THROW(shown.field(u"Название"), StoreError);
}

// On a server, server-init gives the search a trigram index of its own; the rows it picks are
// tested by the same like, so the search finds what a scan of every product finds.
TEST(SearchIndex, TheServerIndexFindsWhatTheScanFinds) {
    SKIP_WITHOUT_SERVER(Engine::Server);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("base.mdb"));
    QFile(path).open(QIODevice::WriteOnly);
    {
        auto file = Database::open(path);
        DemoOptions generated;
        generated.traysPerType = 60;
        generated.photoCount = 0;
        buildDemoStore(*file, generated);
        for (const QString& sql : awkwardItems)
            file->execute(sql);
    }
    ServerStore server(path);
    auto db = Database::connect(server.address());
    // The two lists have no order of their own on a server; the rows are what counts.
    const auto found = [&](const char* search) {
        QStringList lists =
            rows(*db, searchBranchSql(2, search)) + rows(*db, searchAccessoriesSql(2, search));
        lists.sort();
        return rows(*db, searchTreeSql(2, search)) + lists;
    };
    const auto plan = [&](const QString& sql) { return rows(*db, "explain " + sql).join('\n'); };
    QList<QStringList> indexed;
    {
        // A catalogue this small is read by type; without that index the search's is taken.
        Database::Transaction t(*db);
        db->execute("drop index EXPORT_TMC_Вид");
        db->execute("drop index EXPORT_TMC_Подвид");
        db->execute("set local enable_seqscan = off");
        EXPECT_TRUE(plan(searchTreeSql(2, "ЛОТОК")).contains("export_tmc_trigrams"))
            << plan(searchTreeSql(2, "ЛОТОК")).toStdString();
        for (const char* search : searches)
            indexed << found(search);
    }
    db->execute("drop index EXPORT_TMC_trigrams");
    int at = 0, count = 0;
    for (const char* search : searches) {
        const QStringList scanned = found(search);
        EXPECT_EQ(indexed[at++], scanned) << search;
        count += int(scanned.size());
    }
    EXPECT_GT(count, 1000);
}

TEST(SearchIndex, OnlyRunsOfThreeCharactersAreLookedUp) {
    const struct {
        const char* text;
        const char* match;  // "" when the index has nothing to look up
    } cases[] = {
        {"ЛОТОК", "'\"лоток\"'"},
        {"ло", ""},
        {"%л_т%", ""},
        {"ЛО%ТОК_Ёжик", "'\"ток\" AND \"ёжик\"'"},
        {"a\"b'c", "'\"a\"\"b''c\"'"},
    };
    for (const auto& c : cases) {
        const QString narrowed = searchIndex::narrowing(QString::fromUtf8(c.text));
        if (*c.match)
            EXPECT_TRUE(
                narrowed.endsWith(QStringLiteral("match %1)").arg(QString::fromUtf8(c.match))))
                << c.text << " " << narrowed.toStdString();
        else
            EXPECT_EQ(narrowed, QString()) << c.text;
    }
}

TEST(SearchIndex, AStoreThatRefusesTheIndexStaysAsItWas) {
    TempStore store({"insert into EXPORT_PODVID values (1, 'Лотки')",
                     catalogueItem(101, "Лоток ЛП 100x50", "ЛП-100", 64, 1, 100, 50, 3000, "м.п.",
                                   1001, 0, 10100, 100)});
    auto bytes = [&] {
        QFile file(store.path());
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    };
    const QByteArray before = bytes();
    {
        auto db = Database::open(store.path());
        db->setStatementHook([](const QString& sql) {
            if (sql.contains(QLatin1String("product_search_ready values")))
                throw StoreError(QStringLiteral("Нет места на диске для базы данных."));
        });
        EXPECT_NO_THROW(searchIndex::buildWhenMissing(*db));
        EXPECT_FALSE(searchIndex::ready(*db));
        // Without the index the search still finds the tray: the names, its group and it.
        EXPECT_EQ(rows(*db, searchTreeSql(1, QStringLiteral("лоток"))).size(), 3);
    }
    EXPECT_EQ(bytes(), before);
}
