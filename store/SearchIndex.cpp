#include "store/SearchIndex.h"

#include "store/Database.h"
#include "store/SqlFunctions.h"
#include "store/SqlLiteral.h"
#include "store/SqliteDatabase.h"
#include "store/StoreError.h"

#include <sqlite3.h>
#include <QRegularExpression>
#include <QStringList>

namespace searchIndex {

namespace {

// The index holds no copy of the texts (contentless): a search only needs the row numbers.
// Case-sensitive trigrams of the folded text match exactly the folded substrings.
const char* const createIndex =
    "create virtual table main.product_search using fts5(text, content='', "
    "tokenize='trigram case_sensitive 1')";

// Every name is the store's own (main): update-catalogue has the new list attached beside it,
// read-only, with an index of its own.
// Any change to the products clears the mark, so an index another program left behind is
// never trusted; the triggers use nothing but the engine itself.
const char* const staleTriggers[] = {"product_search_insert", "product_search_update",
                                     "product_search_delete"};

QStringList buildSql() {
    QStringList sql;
    for (const char* trigger : staleTriggers)
        sql << QStringLiteral("drop trigger if exists main.%1").arg(QLatin1String(trigger));
    sql << QStringLiteral("drop table if exists main.product_search")
        << QStringLiteral("drop table if exists main.product_search_ready")
        << QString::fromLatin1(createIndex)
        << QStringLiteral(
               "insert into main.product_search (rowid, text) select rowid, "
               "foldcase(Номер||' '||Название) from main.EXPORT_TMC "
               "where Номер||' '||Название is not null")
        << QStringLiteral("create table main.product_search_ready (built integer)")
        << QStringLiteral("insert into main.product_search_ready values (1)")
        << QStringLiteral(
               "create trigger main.product_search_insert after insert on EXPORT_TMC "
               "begin delete from product_search_ready; end")
        << QStringLiteral(
               "create trigger main.product_search_update after update on EXPORT_TMC "
               "begin delete from product_search_ready; end")
        << QStringLiteral(
               "create trigger main.product_search_delete after delete on EXPORT_TMC "
               "begin delete from product_search_ready; end");
    return sql;
}

// The first column of the first row as a whole number; 0 for no row or a failure.
std::int64_t scalar(SqliteDatabase& db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    std::int64_t result = 0;
    if (sqlite3_prepare_v2(db.handle(), sql, -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        result = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return result;
}

}  // namespace

void build(Database& db) {
    for (const QString& sql : buildSql())
        db.execute(sql);
}

bool ready(Database& store) {
    // A server searches by its own means; the trigram index is the file store's.
    if (store.engine() != Database::Engine::Sqlite)
        return false;
    auto& db = static_cast<SqliteDatabase&>(store);
    return scalar(db,
                  "select count(*) from main.sqlite_master where name in ('product_search', "
                  "'product_search_ready', 'product_search_insert', 'product_search_update', "
                  "'product_search_delete')") == 5 &&
           scalar(db, "select count(*) from main.product_search_ready") == 1;
}

void buildWhenMissing(Database& db) {
    if (db.engine() != Database::Engine::Sqlite || ready(db))
        return;
    try {
        Database::Transaction transaction(db);
        build(db);
        transaction.commit();
    } catch (const StoreError&) {
        // The search scans the products instead, as fast as it always did.
    }
}

QString narrowing(const QString& text) {
    // "%" and "_" stand for characters the index can not know; the runs between them must
    // each stand in the text as they are.
    static const QRegularExpression wildcards(QStringLiteral("[%_]"));
    QStringList phrases;
    for (const QString& run : foldedCase(text).split(wildcards, Qt::SkipEmptyParts)) {
        if (run.toUcs4().size() < 3)
            continue;  // shorter than one trigram
        QString phrase = run;
        phrase.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        phrases << QLatin1Char('"') + phrase + QLatin1Char('"');
    }
    if (phrases.isEmpty())
        return {};
    return QStringLiteral("(select rowid from product_search where product_search match %1)")
        .arg(sqlText(phrases.join(QStringLiteral(" AND "))));
}

}  // namespace searchIndex
