#include "tools/MdbImport.h"

#include "store/Database.h"
#include "store/Fixed4.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/Statement.h"
#include "store/StoreError.h"
#include "tools/JetDecode.h"
#include "tools/MdbReader.h"

#include <QStringList>
#include <memory>

namespace {

// Tables of the program that a delivered file may lack: it writes them itself.
const QStringList ownTables = {QStringLiteral("buy"), QStringLiteral("arh"),
                               QStringLiteral("project"), QStringLiteral("project_properties")};

QString quoted(const QString& name) {
    QString body = name;
    body.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + body + QLatin1Char('"');
}

bool sameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

qsizetype indexOfName(const QStringList& names, const QString& name) {
    for (qsizetype i = 0; i < names.size(); ++i)
        if (sameName(names.at(i), name))
            return i;
    return -1;
}

QStringList column0(Database& db, const QString& sql) {
    Query q(db, QStringLiteral("import"));
    q.setSql(sql);
    q.open();
    QStringList names;
    for (int row = 0; row < q.recordCount(); ++row)
        names << q.value(row, 0).toText();
    return names;
}

QStringList columnsOf(Database& db, const QString& table) {
    return column0(
        db, QStringLiteral("select name from pragma_table_info(%1)")
                .arg(QLatin1Char('\'') + QString(table).replace("'", "''") + QLatin1Char('\'')));
}

QString sqliteType(const MdbReader::Column& column) {
    if (MdbReader::isInteger(column.type))
        return QStringLiteral("integer");
    if (MdbReader::isMoney(column.type))
        return QStringLiteral("numeric");
    if (MdbReader::isReal(column.type))
        return QStringLiteral("real");
    if (MdbReader::isDate(column.type))
        return QStringLiteral("datetime");
    if (MdbReader::isText(column.type))
        return QStringLiteral("text");
    return QStringLiteral("blob");
}

QString createStatement(const MdbReader::Table& table) {
    QStringList parts;
    bool keyDone = false;
    for (const MdbReader::Column& column : table.columns) {
        QString part = quoted(column.name) + QLatin1Char(' ') + sqliteType(column);
        if (table.primaryKey.size() == 1 && sameName(column.name, table.primaryKey.first()) &&
            MdbReader::isInteger(column.type)) {
            part += QStringLiteral(" primary key");
            if (column.autoNumber)  // keys given later continue after the highest one
                part += QStringLiteral(" autoincrement");
            keyDone = true;
        }
        parts << part;
    }
    if (!table.primaryKey.isEmpty() && !keyDone) {
        QStringList keys;
        for (const QString& key : table.primaryKey)
            keys << quoted(key);
        parts << QStringLiteral("primary key (%1)").arg(keys.join(QStringLiteral(", ")));
    }
    return QStringLiteral("create table %1 (%2)")
        .arg(quoted(table.name), parts.join(QStringLiteral(", ")));
}

}  // namespace

std::vector<ImportedTable> importTables(MdbReader& reader, const QString& storePath) {
    const std::vector<MdbReader::Table>& tables = reader.tables();

    auto db = Database::open(storePath);
    Database::Transaction transaction(*db);
    for (const QString& sql : schema::createTables())
        db->execute(sql);
    const QStringList schemaTables =
        column0(*db, QStringLiteral("select name from sqlite_master where type = 'table' and "
                                    "substr(name, 1, 7) <> 'sqlite_'"));

    // A file without the catalogue is not a catalogue of this program.
    QStringList missing;
    for (const QString& name : schemaTables) {
        if (indexOfName(ownTables, name) >= 0)
            continue;
        bool found = false;
        for (const MdbReader::Table& t : tables)
            found = found || sameName(t.name, name);
        if (!found)
            missing << name;
    }
    if (!missing.isEmpty())
        throw StoreError(QStringLiteral("В файле нет таблиц каталога %1: это не каталог "
                                        "программы.")
                             .arg(missing.join(QStringLiteral(", "))));

    QStringList written;  // store names of the tables done, to refuse a second one alike
    std::vector<ImportedTable> result;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const MdbReader::Table& source = tables[t];
        if (source.name.startsWith(QStringLiteral("sqlite_"), Qt::CaseInsensitive))
            throw StoreError(QStringLiteral("Таблицу %1 нельзя перенести: такие имена "
                                            "занимает сама база.")
                                 .arg(source.name));
        const qsizetype schemaIndex = indexOfName(schemaTables, source.name);
        const QString target = schemaIndex >= 0 ? schemaTables.at(schemaIndex) : source.name;
        if (indexOfName(written, target) >= 0)
            throw StoreError(QStringLiteral("В файле две таблицы с именем %1.").arg(source.name));
        written << target;

        if (schemaIndex < 0)
            db->execute(createStatement(source));
        const QStringList targetColumns = columnsOf(*db, target);

        // Source columns go to the schema's column of the same name in the schema's spelling
        // (the statements name Фото, the file may say фото); the rest are added as they are.
        QStringList insertColumns;
        for (const MdbReader::Column& column : source.columns) {
            const qsizetype i = indexOfName(targetColumns, column.name);
            const QString name = i >= 0 ? targetColumns.at(i) : column.name;
            if (indexOfName(insertColumns, name) >= 0)
                throw StoreError(QStringLiteral("В таблице %1 два столбца с именем %2.")
                                     .arg(source.name, column.name));
            if (i < 0)
                db->execute(QStringLiteral("alter table %1 add column %2 %3")
                                .arg(quoted(target), quoted(name), sqliteType(column)));
            insertColumns << name;
        }
        const bool photos = sameName(target, QStringLiteral("EXPORT_FOTO"));

        QStringList names, marks;
        for (const QString& name : insertColumns) {
            names << quoted(name);
            marks << QStringLiteral("?");
        }
        Statement insert(*db, QStringLiteral("insert into %1 (%2) values (%3)")
                                  .arg(quoted(target), names.join(QStringLiteral(", ")),
                                       marks.join(QStringLiteral(", "))));
        const std::uint64_t rows = reader.readRows(t, [&](const std::vector<MdbCell>& cells) {
            try {
                for (std::size_t c = 0; c < cells.size(); ++c) {
                    const MdbCell& cell = cells[c];
                    const int slot = int(c) + 1;
                    switch (cell.kind) {
                        case MdbCell::Kind::Null:
                            insert.bindNull(slot);
                            break;
                        case MdbCell::Kind::Integer:
                            insert.bind(slot, cell.integer);
                            break;
                        case MdbCell::Kind::Money:
                            // Into NUMERIC columns, so that it reads back exactly to four places.
                            insert.bind(slot, Fixed4::fromRaw(cell.integer));
                            break;
                        case MdbCell::Kind::Real:
                            insert.bind(slot, cell.real);
                            break;
                        case MdbCell::Kind::Text:
                            insert.bind(slot, QString::fromUtf8(cell.bytes));
                            break;
                        case MdbCell::Kind::Blob: {
                            const bool photo =
                                photos && insertColumns.at(qsizetype(c)) == QStringLiteral("Фото");
                            insert.bind(slot, photo ? jet::bareJpeg(cell.bytes) : cell.bytes);
                            break;
                        }
                    }
                }
                insert.run();
            } catch (const StoreError& e) {
                throw StoreError(
                    QStringLiteral("Таблица %1 не записана: %2").arg(target, e.message()));
            }
        });
        const QString stored =
            column0(*db, QStringLiteral("select count(*) from %1").arg(quoted(target))).value(0);
        if (stored != QString::number(rows))
            throw StoreError(QStringLiteral("В таблицу %1 легло строк: %2 из %3.")
                                 .arg(target, stored)
                                 .arg(rows));
        result.push_back({target, rows});
    }
    for (const QString& sql : schema::createIndexes())
        db->execute(sql);
    searchIndex::build(*db);
    transaction.commit();
    return result;
}
