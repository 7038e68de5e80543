#include "store/StoreCopy.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/Statement.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"

namespace {

// The amounts of each table: the columns compared by their sums.
QStringList amountColumns(const QString& table) {
    if (table == QLatin1String("EXPORT_TMC"))
        return {QStringLiteral("Длина"), QStringLiteral("p1"), QStringLiteral("p2"),
                QStringLiteral("p3"),    QStringLiteral("p4"), QStringLiteral("p5")};
    if (table == QLatin1String("buy") || table == QLatin1String("arh"))
        return {QStringLiteral("price"), QStringLiteral("kol"), QStringLiteral("kolm")};
    return {};
}

// The row count and the amounts' sums, as one line of text to compare.
QString tableFigures(Database& db, const QString& table) {
    QString sql = QStringLiteral("select count(*)");
    for (const QString& column : amountColumns(table))
        sql += QStringLiteral(", fixed_sum(%1)").arg(column);
    Query figures(db, QStringLiteral("figures"));
    figures.open(sql + QStringLiteral(" from ") + table);
    QStringList values;
    for (int c = 0; c < figures.columnCount(); ++c)
        values << figures.value(0, c).toFixed().toString();
    return values.join(QStringLiteral(" / "));
}

void bindValue(Statement& insert, int slot, const Value& value, bool amount) {
    if (value.isNull())
        insert.bindNull(slot);
    else if (value.isBlob())
        insert.bind(slot, value.toBlob());
    else if (amount)
        insert.bind(slot, value.toFixed());
    else if (value.isNumber())
        insert.bind(slot, value.toInt());
    else
        insert.bind(slot, value.toText());
}

}  // namespace

QStringList copyStore(Database& from, Database& to, WorkingKeys working) {
    QStringList tables = programTableNames();
    // The projects' properties, where the source has them (an older store has none).
    if (storeTables(from).contains(QStringLiteral("project_properties"), Qt::CaseInsensitive))
        tables << QStringLiteral("project_properties");
    QStringList report;
    Database::Transaction transaction(to);
    for (const QString& table : tables) {
        Query target(to, QStringLiteral("target"));
        target.open(QStringLiteral("select count(*) from ") + table);
        if (target.value(0, 0).toInt() != 0)
            throw StoreError(QStringLiteral("В базе %1 таблица %2 не пуста: копия пишется только "
                                            "в пустую базу.")
                                 .arg(to.shownName(), table));
        Query rows(from, QStringLiteral("rows"));
        rows.open(QStringLiteral("select * from %1 order by 1").arg(table));
        QStringList columns, marks;
        std::vector<bool> amounts;
        const QStringList money = amountColumns(table);
        int projectColumn = -1;
        for (int c = 0; c < rows.columnCount(); ++c) {
            columns << rows.columnName(c);
            if (table != QLatin1String("project") &&
                rows.columnName(c).compare(QLatin1String("project"), Qt::CaseInsensitive) == 0)
                projectColumn = c;
            marks << QStringLiteral("?");
            amounts.push_back(money.contains(rows.columnName(c), Qt::CaseInsensitive));
        }
        Statement insert(to, QStringLiteral("insert into %1 (%2) values (%3)")
                                 .arg(table, columns.join(QStringLiteral(", ")),
                                      marks.join(QStringLiteral(", "))));
        for (int r = 0; r < rows.recordCount(); ++r) {
            for (int c = 0; c < rows.columnCount(); ++c) {
                const Value value = rows.value(r, c);
                if (c == projectColumn && !value.isNull() && value.toInt() == working.from)
                    insert.bind(c + 1, std::int64_t(working.to));
                else
                    bindValue(insert, c + 1, value, amounts[std::size_t(c)]);
            }
            insert.run();
        }
        const QString expected = tableFigures(from, table);
        const QString written = tableFigures(to, table);
        if (expected != written)
            throw StoreError(QStringLiteral("Копия таблицы %1 не сходится с исходной (строк и "
                                            "сумм: %2, а записано %3); ничего не записано.")
                                 .arg(table, expected, written));
        report << QStringLiteral("%1: %2").arg(table, written);
    }
    if (to.engine() == Database::Engine::Postgres)
        // New keys go on after the copied ones.
        for (const QString& table :
             {QStringLiteral("project"), QStringLiteral("buy"), QStringLiteral("arh")})
            to.execute(QStringLiteral("select setval(pg_get_serial_sequence('%1', 'Ключ'), "
                                      "coalesce(max(Ключ), 0) + 1, false) from %1")
                           .arg(table));
    transaction.commit();
    // Without statistics of the filled tables a server plans the first statements as for empty
    // ones. The copy stands committed whether or not they are taken.
    try {
        for (const QString& table : tables)
            to.execute(QStringLiteral("analyze ") + table);
    } catch (const StoreError& e) {
        report << QStringLiteral(
                      "Статистика таблиц не собрана (%1): запросы будут медленнее, "
                      "пока её не соберёт сервер или команда analyze.")
                      .arg(e.message());
    }
    return report;
}
