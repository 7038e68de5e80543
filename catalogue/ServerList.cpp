#include "catalogue/ServerList.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/ServerSchema.h"
#include "store/SqlLiteral.h"
#include "store/Statement.h"
#include "store/StoreError.h"

#include <algorithm>
#include <memory>

namespace serverList {
namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString quotedList(const QStringList& names) {
    QStringList quotedNames;
    for (const QString& name : names)
        quotedNames << quoted(name);
    return quotedNames.join(QStringLiteral(", "));
}

// The store's statement for the table, creating it among the connection's temporary tables.
QString createTemporary(const QString& table) {
    const QString create = QStringLiteral("create table ");
    for (const QString& sql : schema::createServerTables())
        if (sql.startsWith(create + table + QStringLiteral(" (")))
            return create + QStringLiteral("pg_temp.") + sql.mid(create.size());
    throw StoreError(QStringLiteral("Нет описания таблицы %1.").arg(table));
}

void bindValue(Statement& insert, int slot, const Value& value) {
    if (value.isNull())
        insert.bindNull(slot);
    else if (value.isBlob())
        insert.bind(slot, value.toBlob());
    else if (!value.isNumber())
        insert.bind(slot, value.toText());
    else if (value.toText().contains(QLatin1Char('.')))
        // A price as the file's store reads it: four places, exact on the server.
        insert.bind(slot, value.toFixed());
    else
        insert.bind(slot, value.toInt());
}

// Many rows a statement: one round trip to the server for each row would make a maker's
// catalogue of a million link rows take minutes.
constexpr int rowsPerInsert = 500;

void copyRows(Database& server, Database& list, const PriceListUpdate::TableCopy& copy) {
    Query rows(list, QStringLiteral("list rows"));
    rows.open(QStringLiteral("select %1 from main.%2")
                  .arg(quotedList(copy.sourceColumns), quoted(copy.source)));
    const int columns = rows.columnCount();
    const auto insertOf = [&](int count) {
        QStringList marks;
        for (int c = 0; c < columns; ++c)
            marks << QStringLiteral("?");
        const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
        QStringList values;
        for (int r = 0; r < count; ++r)
            values << row;
        return std::make_unique<Statement>(server,
                                           QStringLiteral("insert into pg_temp.%1 (%2) values %3")
                                               .arg(copy.table, quotedList(copy.targetColumns),
                                                    values.join(QStringLiteral(", "))));
    };
    std::unique_ptr<Statement> full;
    for (int first = 0; first < rows.recordCount(); first += rowsPerInsert) {
        const int count = std::min(rowsPerInsert, rows.recordCount() - first);
        std::unique_ptr<Statement> tail;
        if (count < rowsPerInsert)
            tail = insertOf(count);
        else if (!full)
            full = insertOf(count);
        Statement& insert = tail ? *tail : *full;
        for (int r = 0; r < count; ++r)
            for (int c = 0; c < columns; ++c)
                bindValue(insert, r * columns + c + 1, rows.value(first + r, c));
        insert.run();
    }
}

// Drops those temporary tables of the list that are there: the server would note each missing
// one on the tool's output.
void dropPresent(Database& server, const std::vector<PriceListUpdate::TableCopy>& copies) {
    Query made(server, QStringLiteral("temporary tables"));
    made.open(
        QStringLiteral("select relname from pg_class where relnamespace = "
                       "pg_my_temp_schema() and relkind = 'r'"));
    QStringList present;
    for (int row = 0; row < made.recordCount(); ++row)
        present << made.value(row, 0).toText();
    made.close();
    for (const PriceListUpdate::TableCopy& copy : copies)
        if (present.contains(copy.table, Qt::CaseInsensitive))
            server.execute(QStringLiteral("drop table pg_temp.") + copy.table);
}

}  // namespace

QString serverType(const QString& declared) {
    const QString type = declared.toUpper();
    if (type.contains(QLatin1String("INT")))
        return QStringLiteral("bigint");
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) ||
        type.contains(QLatin1String("TEXT")) || type.isEmpty())
        return QStringLiteral("text");
    if (type.contains(QLatin1String("BLOB")))
        return QStringLiteral("bytea");
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")))
        return QStringLiteral("double precision");
    return QStringLiteral("numeric");
}

QString load(Database& server, Database& list, std::vector<PriceListUpdate::TableCopy>& copies) {
    Query path(server, QStringLiteral("search path"));
    path.open(QStringLiteral("select current_setting('search_path')"));
    const QString searchPath = path.value(0, 0).toText();
    path.close();
    try {
        // Named last, the temporary tables no longer hide the store's tables of the same names.
        if (!searchPath.endsWith(QLatin1String(", pg_temp")))
            server.execute(QStringLiteral("select set_config('search_path', %1, false)")
                               .arg(sqlText(searchPath + QStringLiteral(", pg_temp"))));
        // Left by an earlier update on this connection that could not drop them.
        dropPresent(server, copies);
        Database::Transaction transaction(server);
        for (PriceListUpdate::TableCopy& copy : copies) {
            server.execute(createTemporary(copy.table));
            for (PriceListUpdate::Column& column : copy.extraColumns) {
                column.type = serverType(column.type);
                server.execute(QStringLiteral("alter table pg_temp.%1 add column %2 %3")
                                   .arg(copy.table, quoted(column.name), column.type));
            }
            copyRows(server, list, copy);
            copy.source = copy.table;
            copy.sourceColumns = copy.targetColumns;
        }
        transaction.commit();
    } catch (const StoreError&) {
        drop(server, copies, searchPath);
        throw;
    }
    return searchPath;
}

void drop(Database& server, const std::vector<PriceListUpdate::TableCopy>& copies,
          const QString& searchPath) noexcept {
    try {
        dropPresent(server, copies);
        server.execute(
            QStringLiteral("select set_config('search_path', %1, false)").arg(sqlText(searchPath)));
    } catch (const StoreError&) {
        // A lost connection took them with it.
    }
}

}  // namespace serverList
