// The tool's commands that write a whole store: the new store takes the old one's place whole,
// whatever a crashed writer or a killed run of the tool left in the folder.
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreLock.h"
#include "tests/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QString scalar(const QString& store, const QString& sql) {
    auto db = Database::open(store);
    Query q(*db, QStringLiteral("check"));
    q.setSql(sql);
    q.open();
    return q.recordCount() > 0 ? q.value(0, 0).toText() : QString();
}

// Puts dir/base.mdb with the files named beside it as a writer killed after statements leaves
// them; the engine reads such files as part of whatever store it finds beside them.
void leaveAsKilled(const QString& dir, const QString& statements, const QStringList& names) {
    QTemporaryDir scratch;
    const QString path = scratch.filePath(QStringLiteral("base.mdb"));
    QFile(path).open(QIODevice::WriteOnly);
    auto db = Database::open(path);
    db->execute(statements);
    for (const QString& name : QStringList{QStringLiteral("base.mdb")} + names) {
        QFile::remove(QDir(dir).filePath(name));
        ASSERT_TRUE(QFile::copy(scratch.filePath(name), QDir(dir).filePath(name)))
            << name.toStdString();
    }
}

const QString kRows = QStringLiteral(
    "create table t (k integer primary key, b blob);"
    "with recursive n(i) as (select 1 union all select i + 1 from n where i < 400) "
    "insert into t select i, randomblob(1000) from n;");

// Killed in the middle of a transaction: the store already holds some of the transaction's
// pages, the journal the pages they replaced.
void leaveHotJournal(const QString& dir) {
    // A tiny cache makes the change spill into the store before the commit.
    leaveAsKilled(dir, kRows + "pragma cache_size = 2; begin; update t set b = randomblob(1000)",
                  {QStringLiteral("base.mdb-journal")});
}

// Another program switched the store to write-ahead logging and was killed: committed steps
// are still in the log.
void leaveLiveWal(const QString& dir) {
    leaveAsKilled(dir, "pragma journal_mode = wal; pragma wal_autocheckpoint = 0;" + kRows,
                  {QStringLiteral("base.mdb-wal"), QStringLiteral("base.mdb-shm")});
}

TEST(StoreReplacement, ANewStoreIsWholeWhateverTheOldOneLeftBeside) {
    enum class Old { CrashedStore, AccessFile, StoreWithLiveWal };
    struct Case {
        const char* what;
        QStringList command;  // the folder is appended
        const char* products;
        Old old;
    };
    const QString access = fixturesDir() + QStringLiteral("/catalogue-jet4.mdb");
    const Case cases[] = {
        {"demo-db over a crashed store", {"demo-db", "--replace"}, "512", Old::CrashedStore},
        {"import-mdb over a crashed store",
         {"import-mdb", access, "--replace"},
         "32",
         Old::CrashedStore},
        {"import-mdb over an Access file",
         {"import-mdb", access, "--replace"},
         "32",
         Old::AccessFile},
        {"demo-db over a store with a live write-ahead log",
         {"demo-db", "--replace"},
         "512",
         Old::StoreWithLiveWal},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("base.mdb"));
        if (c.old == Old::StoreWithLiveWal)
            leaveLiveWal(dir.path());
        else
            leaveHotJournal(dir.path());
        if (c.old == Old::AccessFile) {
            QFile::remove(store);
            ASSERT_TRUE(QFile::copy(access, store));
        }
        const ToolRun run = runTool(c.command + QStringList{dir.path()});
        ASSERT_EQ(run.exitCode, 0) << describe(run);
        EXPECT_EQ(entries(dir.path()), QStringList{"base.mdb"});
        EXPECT_EQ(scalar(store, QStringLiteral("pragma integrity_check")), "ok");
        EXPECT_EQ(scalar(store, QStringLiteral("select count(*) from EXPORT_TMC")),
                  QString::fromUtf8(c.products));
        EXPECT_EQ(scalar(store, QStringLiteral("pragma journal_mode")), "delete");
    }
}

TEST(StoreReplacement, AStoreOpenInAWindowIsNotReplaced) {
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("base.mdb"));
    ASSERT_EQ(runTool({"demo-db", dir.path()}).exitCode, 0);
    const QString before = scalar(store, QStringLiteral("select count(*) from EXPORT_TMC"));
    {
        const StoreLock window(store);
        const ToolRun run =
            runTool({"import-mdb", fixturesDir() + QStringLiteral("/catalogue-jet4.mdb"),
                     dir.path(), "--replace"});
        EXPECT_NE(run.exitCode, 0) << describe(run);
        EXPECT_TRUE(run.err.contains(QStringLiteral("открыта в окне программы"))) << describe(run);
    }
    EXPECT_EQ(entries(dir.path()), QStringList{"base.mdb"});
    EXPECT_EQ(scalar(store, QStringLiteral("select count(*) from EXPORT_TMC")), before);
}

TEST(StoreReplacement, WhatAKilledRunLeftGoesOnTheNextRun) {
    QTemporaryDir dir;
    const auto file = [&](const char* name) { return dir.filePath(QString::fromUtf8(name)); };
    const char* const left[] = {".base.mdb.import-AbC123", ".base.mdb.import-AbC123-journal",
                                ".base.mdb.demo-x1Y2z3-journal"};
    const char* const kept[] = {".base.mdb.import-Held00", ".base.mdb.backup",
                                ".base.mdb.import-Held00-journal"};
    for (const char* name : left)
        QFile(file(name)).open(QIODevice::WriteOnly);
    for (const char* name : kept)
        QFile(file(name)).open(QIODevice::WriteOnly);
    // A run that is still writing holds its file locked.
    const int held = ::open(QFile::encodeName(file(".base.mdb.import-Held00")).constData(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    const ToolRun run = runTool({"demo-db", dir.path()});
    ::close(held);
    ASSERT_EQ(run.exitCode, 0) << describe(run);
    EXPECT_EQ(entries(dir.path()), QStringList({".base.mdb.backup", ".base.mdb.import-Held00",
                                                ".base.mdb.import-Held00-journal", "base.mdb"}));
}

}  // namespace
