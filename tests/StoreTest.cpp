#include "app/StartFailure.h"
#include "store/Fixed4.h"
#include "store/Query.h"
#include "store/SqlFunctions.h"
#include "store/SqlLiteral.h"
#include "store/SqliteDatabase.h"
#include "store/Statement.h"
#include "store/StoreError.h"
#include "store/StoreLock.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <cmath>
#include <csignal>
#include <functional>

TEST(Fixed4, ShortestTextWithAPoint) {
    const struct {
        std::int64_t raw;
        const char* text;
    } cases[] = {{30000, "3"},
                 {75000, "7.5"},
                 {1234500, "123.45"},
                 {-5000, "-0.5"},
                 {1250, "0.125"},
                 {1, "0.0001"},
                 {0, "0"},
                 {-30000, "-3"},
                 {1000000, "100"},
                 {10, "0.001"},
                 {-10001, "-1.0001"},
                 {INT64_MAX, "922337203685477.5807"},
                 {INT64_MIN, "-922337203685477.5808"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Fixed4::fromRaw(c.raw).toString(), QString::fromLatin1(c.text)) << c.raw;
        char chars[Fixed4::CharsMax];
        EXPECT_EQ(std::string(chars, Fixed4::fromRaw(c.raw).toChars(chars)), c.text) << c.raw;
    }
}

TEST(Fixed4, ReadingRoundsToFourPlacesTiesToEven) {
    const struct {
        double value;
        std::int64_t raw;
    } cases[] = {{0.12345, 1234},
                 {0.12355, 1236},
                 {2.00005, 20000},
                 {-0.00015, -2},
                 {566.6156, 5666156},
                 {4.166666666666667, 41667},
                 {1e-9, 0},
                 {0.30000000000000004, 3000},
                 {-1234.5678, -12345678},
                 {4294967295.9999, 42949672959999},
                 {5000000000.25, 50000000002500}};
    for (const auto& c : cases)
        EXPECT_EQ(Fixed4::fromDouble(c.value).raw(), c.raw) << c.value;
}

TEST(Fixed4, ParseArithmeticAndPieces) {
    EXPECT_EQ(Fixed4::parse(u"7,5")->raw(), 75000);
    EXPECT_EQ(Fixed4::parse(u" -0.125 ")->raw(), -1250);
    EXPECT_FALSE(Fixed4::parse(u"abc"));
    EXPECT_EQ((Fixed4::fromInt(3) * Fixed4::fromDouble(12.5)).toString(), "37.5");
    EXPECT_EQ((Fixed4::fromDouble(0.00005) * Fixed4::fromInt(1)).raw(), 0);  // 0.00005 -> 0
    // 7.5 m of 3000 mm stock: 3 pieces; exactly 3 m: 1; 3.001 m: 2.
    EXPECT_EQ(Fixed4::fromInt(7500).ceilDiv(Fixed4::fromInt(3000)), 3);
    EXPECT_EQ(Fixed4::fromInt(3000).ceilDiv(Fixed4::fromInt(3000)), 1);
    EXPECT_EQ(Fixed4::fromInt(3001).ceilDiv(Fixed4::fromInt(3000)), 2);
    EXPECT_EQ(Fixed4::fromInt(-500).ceilDiv(Fixed4::fromInt(3000)), 0);
}

TEST(Fixed4, EveryOperationRefusesToLeaveTheRangeInOneSentence) {
    const Fixed4 big = Fixed4::parse(u"99999999.9999").value();
    const Fixed4 max = Fixed4::fromRaw(INT64_MAX);
    const Fixed4 min = Fixed4::fromRaw(INT64_MIN);
    const Fixed4 tenth = Fixed4::fromRaw(1000);
    const struct {
        const char* name;
        std::function<Fixed4()> operation;
    } cases[] = {
        {"big * big", [&] { return big * big; }},  // would wrap to 776 627 963 125 224,192
        {"max + tenth", [&] { return max + tenth; }},
        {"min - tenth", [&] { return min - tenth; }},
        {"-min", [&] { return -min; }},
        {"+=",
         [&] {
             Fixed4 f = max;
             return f += tenth;
         }},
        {"-=",
         [&] {
             Fixed4 f = min;
             return f -= tenth;
         }},
        {"max / tenth", [&] { return max / tenth; }},
        {"fromInt", [] { return Fixed4::fromInt(INT64_MAX / 1000); }},
        {"fromDouble 1e20", [] { return Fixed4::fromDouble(1e20); }},
        {"fromDouble -1e16", [] { return Fixed4::fromDouble(-1e16); }},
        {"fromDouble inf", [] { return Fixed4::fromDouble(HUGE_VAL); }},
    };
    for (const auto& c : cases) {
        try {
            ADD_FAILURE() << c.name << " gave " << c.operation().toString().toStdString();
        } catch (const AmountTooLarge& e) {
            EXPECT_EQ(e.message(), Fixed4::tooLargeMessage()) << c.name;
        }
    }
    // The edges themselves are amounts.
    EXPECT_EQ((max - tenth + tenth).raw(), INT64_MAX);
    EXPECT_EQ(Fixed4::fromInt(922337203685477).toString(), "922337203685477");
    EXPECT_EQ((big * Fixed4::fromInt(1000)).toString(), "99999999999.9");
}

TEST(SqlLiteral, ValuesEnterStatementsSafely) {
    EXPECT_EQ(sqlInt(-64), "-64");
    EXPECT_EQ(sqlFixed(Fixed4::fromDouble(12.5)), "12.5");
    EXPECT_EQ(sqlText("Проект 'Север'"), "'Проект ''Север'''");
    EXPECT_EQ(sqlTextBody("a'b"), "a''b");
}

TEST(Database, MissingOrForeignFileIsRefusedAndNeverCreated) {
    TempStore store;
    EXPECT_THROW(Database::open("absent.mdb"), StoreError);
    EXPECT_FALSE(QFile::exists("absent.mdb"));
    {
        QFile text("text.mdb");
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(QByteArray(4096, 'x'));
    }
    try {
        Database::open("text.mdb");
        FAIL() << "a text file opened as a database";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().contains("not a database")) << e.message().toStdString();
    }
    {
        QFile jet("jet.mdb");
        ASSERT_TRUE(jet.open(QIODevice::WriteOnly));
        jet.write(QByteArray("\0\1\0\0Standard Jet DB\0", 20) + QByteArray(2048, '\0'));
    }
    try {
        Database::open("jet.mdb");
        FAIL() << "an Access file opened";
    } catch (const StoreError& e) {
        // The store tells what the file is; the program adds how to convert it.
        EXPECT_TRUE(e.message().contains("Microsoft Access")) << e.message().toStdString();
        EXPECT_FALSE(e.message().contains("ulmar-tool")) << e.message().toStdString();
        EXPECT_TRUE(startFailureText("jet.mdb", e.message(), true).contains("import-mdb"));
    }
}

TEST(Query, StaticCursorAndCaseInsensitiveFields) {
    TempStore store({"insert into project (Название) values ('Север')",
                     "insert into project (Название) values ('Юг')"});
    auto db = Database::open(store.path());
    Query q(*db, "Q_all");
    q.setSql("select Ключ, Название, 1 as Pokr, 'x' as pokr from project");
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_EQ(q.field(u"название").toText(), "Север");
    EXPECT_EQ(q.field(u"POKR").toText(), "x");  // the later, aliased column
    q.setRecNo(2);
    EXPECT_EQ(q.field(u"Название").toText(), "Юг");
    q.next();
    EXPECT_TRUE(q.eof());
    EXPECT_THROW(q.setSql("select 1"), StoreError);  // only while closed
    EXPECT_THROW(q.field(u"nope"), StoreError);
    q.close();
    q.setSql("select * from nowhere");
    EXPECT_THROW(q.open(), StoreError);
    EXPECT_FALSE(q.isOpen());
}

TEST(SqlFunctions, StrAndCaseInsensitiveLike) {
    TempStore store;
    auto db = Database::open(store.path());
    Query q(*db, "Q_all");
    q.setSql(
        "select str(2), str(-3), str(7.5), 'Лоток ЛП' like '%лоток%', 'лоток' like 'ЛОТ%', "
        "'Ёж' like 'ё_', 'ab' like 'a', 'S0,7' like '%0,7%', 'x' like '%%'");
    q.open();
    EXPECT_EQ(q.value(0, 0).toText(), " 2");
    EXPECT_EQ(q.value(0, 1).toText(), "-3");
    EXPECT_EQ(q.value(0, 2).toText(), " 7.5");
    for (int c = 3; c <= 5; ++c)
        EXPECT_EQ(q.value(0, c).toInt(), 1) << c;
    EXPECT_EQ(q.value(0, 6).toInt(), 0);
    EXPECT_EQ(q.value(0, 7).toInt(), 1);
    EXPECT_EQ(q.value(0, 8).toInt(), 1);
}

TEST(SqlFunctions, LikeIgnoresLetterCaseInEveryForm) {
    TempStore store;
    auto db = Database::open(store.path());
    const struct {
        const char* text;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"ЛП-100x50 Лоток перфорированный", "%лоток%", true},
        {"ЛП-100x50 Лоток перфорированный", "%ЛОТОК ПЕРФ%", true},
        {"ЛП-100x50 Лоток перфорированный", "%лп-100X50 л%", true},  // across the space
        {"Ёрш ёлочный", "%ЁЛОЧ%", true},
        {"Ёрш ёлочный", "%елоч%", false},  // ё is a letter of its own
        {"Σχήμα ΣΤ", "%στ%", true},        // another alphabet: folded
        {"Лоток", "%лотк%", false},
        {"Лоток", "л_ток", true},
        {"Лоток", "%л%к", true},
        {"Лоток", "", false},
        {"100 цинк", "%0%к", true},  // a percent sign keeps its pattern meaning
    };
    for (const auto& c : cases) {
        Query q(*db, "Q_all");
        q.setSql(
            QStringLiteral("select %1 like %2")
                .arg(sqlText(QString::fromUtf8(c.text)), sqlText(QString::fromUtf8(c.pattern))));
        q.open();
        EXPECT_EQ(q.value(0, 0).toInt(), c.matches ? 1 : 0) << c.text << " like " << c.pattern;
    }
}

TEST(SqlFunctions, AmountsAreReckonedInFourPlacesAndRefuseAnOverflow) {
    TempStore store;
    auto db = Database::open(store.path());
    const struct {
        const char* expression;
        const char* value;  // null when the statement is refused
    } cases[] = {
        {"fixed_mul(558.5749, 1.5)", "837.8624"},  // a tie the double product rounds down
        {"fixed_mul(0.0003, 0.5)", "0.0002"},      // ties go to the even neighbour
        {"fixed_mul(0.0001, 0.5)", "0"},
        {"fixed_mul(123.45, 9)", "1111.05"},
        {"fixed_mul(-2.5, 3)", "-7.5"},
        {"fixed_mul('12,5', 2)", "25"},
        {"fixed_mul(null, 2)", ""},
        {"fixed_mul(100000000000, 10000)", nullptr},  // beyond the range: no wrap
        {"fixed_mul(1e15, 1)", nullptr},
        {"fixed_mul(99999999999.9999, 9)", "899999999999.9991"},
        {"fixed_sum(x) from (select 0.1 as x union all select 0.2 union all select null)", "0.3"},
        {"fixed_sum(x) from (select null as x)", ""},
        {"fixed_sum(x) from (select 900000000000000 as x union all select 90000000000000)",
         nullptr},
    };
    for (const auto& c : cases) {
        Query q(*db, "Q_all");
        q.setSql(QStringLiteral("select ") + QString::fromUtf8(c.expression));
        if (!c.value) {
            try {
                q.open();
                ADD_FAILURE() << c.expression << " gave " << q.value(0, 0).toText().toStdString();
            } catch (const StoreError& e) {
                EXPECT_TRUE(e.message().contains("Сумма слишком велика")) << c.expression;
            }
            continue;
        }
        q.open();
        EXPECT_EQ(q.value(0, 0).toText(), QString::fromUtf8(c.value)) << c.expression;
        EXPECT_EQ(q.value(0, 0).toFixed(),
                  Fixed4::parse(QString::fromUtf8(c.value)).value_or(Fixed4()))
            << c.expression;
    }
}

TEST(Database, AFileHeldByAnotherProgramIsToldInWords) {
    TempStore store;
    auto other = Database::open(store.path());
    other->execute("begin immediate");  // others may read, not write
    auto db = SqliteDatabase::open(store.path());
    sqlite3_busy_timeout(db->handle(), 0);  // no waiting in a test
    try {
        db->execute("insert into project (Название) values ('Север')");
        FAIL() << "wrote into a file another connection holds";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("База данных занята другой программой"))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains("locked")) << e.message().toStdString();
    }
    other->execute("rollback");
}

TEST(Database, EveryEngineErrorIsToldInRussianFirst) {
    TempStore store;
    auto db = Database::open(store.path());
    const struct {
        const char* sql;
        const char* sentence;
        const char* engine;
    } cases[] = {
        {"select * from nowhere", "В базе данных нет нужной таблицы или столбца", "no such table"},
        {"select nix from buy", "В базе данных нет нужной таблицы или столбца", "no such column"},
        {"select from", "База данных не выполнила запрос", "syntax error"},
        {"insert into project (Ключ) values (1); insert into project (Ключ) values (1)",
         "База данных не приняла изменение", "UNIQUE"},
    };
    for (const auto& c : cases) {
        try {
            db->execute(QString::fromUtf8(c.sql));
            ADD_FAILURE() << c.sql;
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().startsWith(QString::fromUtf8(c.sentence)))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(c.engine)) << e.message().toStdString();
        }
    }
}

TEST(Database, TransactionRollsBackUnlessCommitted) {
    TempStore store;
    auto db = Database::open(store.path());
    {
        Database::Transaction t(*db);
        db->execute("insert into project (Название) values ('a')");
    }
    EXPECT_EQ(store.scalar("select count(*) from project"), "0");
    {
        Database::Transaction t(*db);
        db->execute("insert into project (Название) values ('a')");
        t.commit();
    }
    EXPECT_EQ(store.scalar("select count(*) from project"), "1");
}

TEST(Statement, BoundValuesReadBackAsTheyWere) {
    TempStore store({"create table t (v numeric)"});
    auto db = Database::open(store.path());
    struct Case {
        const char* what;
        std::function<void(Statement&)> bind;
        const char* stored;  // quote(v)
    };
    const Case cases[] = {
        {"integer", [](Statement& s) { s.bind(1, std::int64_t(-42)); }, "-42"},
        {"real", [](Statement& s) { s.bind(1, 0.5); }, "0.5"},
        {"amount", [](Statement& s) { s.bind(1, Fixed4::fromRaw(12072)); }, "1.2072"},
        {"whole amount", [](Statement& s) { s.bind(1, Fixed4::fromInt(3)); }, "3"},
        {"text", [](Statement& s) { s.bind(1, QStringLiteral("Склад 'Север'")); },
         "'Склад ''Север'''"},
        {"blob", [](Statement& s) { s.bind(1, QByteArray("\x00\xff", 2)); }, "X'00FF'"},
        {"empty blob", [](Statement& s) { s.bind(1, QByteArray()); }, "X''"},
        {"null", [](Statement& s) { s.bindNull(1); }, "NULL"},
    };
    Statement insert(*db, "insert into t (v) values (?)");
    for (const Case& c : cases) {
        c.bind(insert);
        insert.run();
    }
    Query q(*db, "check");
    q.open("select quote(v) from t order by rowid");
    ASSERT_EQ(q.recordCount(), int(std::size(cases)));
    for (int i = 0; i < q.recordCount(); ++i)
        EXPECT_EQ(q.value(i, 0).toText(), QString::fromUtf8(cases[i].stored)) << cases[i].what;

    // An amount a double can not carry to the last place is refused, not rounded.
    EXPECT_THROW(insert.bind(1, Fixed4::fromRaw(1234567890123456789)), StoreError);
}

TEST(Statement, AFailureIsToldInTheWordsOfTheStore) {
    TempStore store;
    auto other = Database::open(store.path());
    other->execute("begin immediate");
    auto db = SqliteDatabase::open(store.path());
    sqlite3_busy_timeout(db->handle(), 0);
    Statement insert(*db, "insert into project (Название) values (?)");
    insert.bind(1, QStringLiteral("Север"));
    try {
        insert.run();
        FAIL() << "wrote into a file another connection holds";
    } catch (const StoreError& e) {
        EXPECT_TRUE(e.message().startsWith("База данных занята другой программой"))
            << e.message().toStdString();
    }
    other->execute("rollback");
    EXPECT_THROW(Statement(*db, "select * from nowhere"), StoreError);
    EXPECT_THROW(Statement(*db, " "), StoreError);
}

TEST(SqlFunctions, ARegistrationTheEngineRefusesIsAFailure) {
    TempStore store;
    auto db = SqliteDatabase::open(store.path());
    // The engine refuses to replace a function while a statement is under way.
    Statement running(*db, "select 1 union all select 2");
    ASSERT_TRUE(running.step());
    EXPECT_THROW(registerSqlFunctions(db->handle()), StoreError);
}

TEST(StoreLock, OneWindowPerStoreWhileOtherProgramsShareIt) {
    TempStore store;
    {
        StoreLock first(store.path());
        EXPECT_TRUE(StoreLock::isHeld(store.path()));
        try {
            StoreLock second(store.path());
            ADD_FAILURE() << "a second window took the store";
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("уже открыта в другом окне")))
                << e.message().toStdString();
        }
        // The engine's own locks are untouched: another connection still writes.
        store.run({"insert into project (Название) values ('Север')"});
        EXPECT_EQ(store.scalar("select count(*) from project"), "1");
    }
    EXPECT_FALSE(StoreLock::isHeld(store.path()));
    StoreLock again(store.path());

    // A file that can not be opened is left to the connection to report.
    EXPECT_NO_THROW(StoreLock(store.dir() + QStringLiteral("/missing.mdb")));
}

TEST(StoreLock, AWindowThatDiedNeverBlocksAStart) {
    TempStore store;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        StoreLock held(store.path());
        const char byte = 1;
        (void)!write(ready[1], &byte, 1);
        pause();  // killed while it holds the lock
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_TRUE(StoreLock::isHeld(store.path()));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_FALSE(StoreLock::isHeld(store.path()));
    EXPECT_NO_THROW(StoreLock(store.path()));
}

// Damage inside the catalogue's pages, away from the schema that every open reads: before the
// check such a store opened without a word and failed in the middle of a later command.
TEST(Database, AStoreWithDamagedPagesIsRefusedAtOpen) {
    const struct {
        const char* what;
        std::function<void(QByteArray&)> damage;
    } cases[] = {
        {"a page header overwritten",
         [](QByteArray& b) { b.replace(b.size() / 2 / 4096 * 4096, 16, QByteArray(16, '\xff')); }},
        {"a page zeroed",
         [](QByteArray& b) { b.replace(b.size() / 2 / 4096 * 4096, 4096, QByteArray(4096, 0)); }},
        {"the file cut short", [](QByteArray& b) { b.truncate(b.size() / 2 / 4096 * 4096); }},
    };
    for (const auto& c : cases) {
        TempStore store;
        QStringList rows;
        for (int i = 0; i < 2000; ++i)
            rows << QStringLiteral("(%1, 'Лоток перфорированный %1 с длинным названием')").arg(i);
        store.run({"insert into EXPORT_TMC (Ключ, Название) values " + rows.join(',')});
        QByteArray bytes = readFile(store.path());
        ASSERT_GT(bytes.size(), 40 * 4096);
        c.damage(bytes);
        writeFile(store.path(), bytes);
        try {
            Database::open(store.path());
            ADD_FAILURE() << c.what << ": the damaged store opened";
        } catch (const StoreError& e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("повреждён")))
                << c.what << ": " << e.message().toStdString();
        }
    }
}

// Opening a named pipe waits for a writer and a device never ends: neither may hang the start,
// the lock or the message about what the file is.
TEST(Database, ANamedPipeOrADeviceIsNoStore) {
    TempStore store;
    const struct {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"named pipe", [] { ASSERT_EQ(mkfifo("base.mdb", 0600), 0); }},
        {"link to a device", [] { ASSERT_EQ(symlink("/dev/zero", "base.mdb"), 0); }},
    };
    for (const auto& c : cases) {
        QFile::remove("base.mdb");
        c.make();
        EXPECT_FALSE(isRegularFile("base.mdb")) << c.what;
        EXPECT_NO_THROW(StoreLock("base.mdb")) << c.what;
        try {
            Database::open("base.mdb");
            ADD_FAILURE() << c.what << ": opened";
        } catch (const StoreError& e) {
            const QString shown = startFailureText("base.mdb", e.message(), false);
            EXPECT_TRUE(shown.contains(QStringLiteral("не обычный файл")))
                << c.what << ": " << shown.toStdString();
        }
        for (const char* command : {"export", "pdf"}) {
            const ToolRun run = runTool({command, "out.file"});
            EXPECT_EQ(run.exitCode, 1) << c.what << ' ' << command << describe(run);
            EXPECT_TRUE(run.err.contains(QStringLiteral("не обычный файл")))
                << c.what << ' ' << command << describe(run);
        }
    }
    QFile::remove("base.mdb");
}
