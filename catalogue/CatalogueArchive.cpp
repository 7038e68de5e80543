#include "catalogue/CatalogueArchive.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/SqlLiteral.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"

#include <QDateTime>

namespace catalogueArchive {
namespace {

const QStringList ownTables = {
    QStringLiteral("create table if not exists catalogue_origin (source text not null, "
                   "taken text not null)"),
    QStringLiteral("create table if not exists catalogue_kept (id integer primary key, "
                   "source text not null, taken text not null, replaced text not null)"),
    QStringLiteral("create table if not exists catalogue_kept_table (kept integer not null, "
                   "name text not null, sql text not null)"),
};

QString identifier(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

QString keptTable(int id, const QString& table) {
    return identifier(QStringLiteral("catalogue_kept_%1_%2").arg(id).arg(table));
}

void dropKept(Database& db, Query& q, int id) {
    q.open(QStringLiteral("select name from catalogue_kept_table where kept = %1").arg(sqlInt(id)));
    QStringList names;
    for (int row = 0; row < q.recordCount(); ++row)
        names << q.value(row, 0).toText();
    q.close();
    for (const QString& name : names)
        db.execute(QStringLiteral("drop table if exists main.") + keptTable(id, name));
    db.execute(QStringLiteral("delete from catalogue_kept_table where kept = %1").arg(sqlInt(id)));
    db.execute(QStringLiteral("delete from catalogue_kept where id = %1").arg(sqlInt(id)));
}

void setOrigin(Database& db, const Origin& origin) {
    db.execute(QStringLiteral("delete from catalogue_origin"));
    if (!origin.source.isEmpty())
        db.execute(QStringLiteral("insert into catalogue_origin values (%1, %2)")
                       .arg(sqlText(origin.source), sqlText(origin.taken)));
}

}  // namespace

bool hasTable(Query& q, const QString& table) {
    // Asked through the engine's own catalogue: a server has no sqlite_master.
    return storeTables(q.database()).contains(table, Qt::CaseInsensitive);
}

const QStringList& catalogueTables() {
    static const QStringList tables = {
        QStringLiteral("EXPORT_VIDTMC"), QStringLiteral("EXPORT_TMC"),
        QStringLiteral("EXPORT_PODVID"), QStringLiteral("EXPORT_FOTO"),
        QStringLiteral("Export_INFOTO"), QStringLiteral("EXPORT_KREP"),
    };
    return tables;
}

Origin currentOrigin(Query& q) {
    if (!hasTable(q, QStringLiteral("catalogue_origin")))
        return {};
    q.open(QStringLiteral("select source, taken from catalogue_origin"));
    Origin origin;
    if (q.recordCount() > 0)
        origin = {q.value(0, 0).toText(), q.value(0, 1).toText()};
    q.close();
    return origin;
}

std::vector<KeptList> keptLists(Query& q) {
    std::vector<KeptList> lists;
    if (!hasTable(q, QStringLiteral("catalogue_kept")))
        return lists;
    q.open(
        QStringLiteral("select id, source, taken, replaced from catalogue_kept order by id desc"));
    for (int row = 0; row < q.recordCount(); ++row)
        lists.push_back({int(q.value(row, 0).toInt()),
                         {q.value(row, 1).toText(), q.value(row, 2).toText()},
                         q.value(row, 3).toText()});
    q.close();
    return lists;
}

QString originText(const Origin& origin) {
    if (origin.source.isEmpty())
        return QStringLiteral("каталог, с которым создана база");
    const QDateTime taken = QDateTime::fromString(origin.taken, QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("%1 от %2")
        .arg(origin.source,
             taken.isValid() ? taken.toString(QStringLiteral("dd.MM.yyyy")) : origin.taken);
}

QString now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

void keepCurrent(Database& db, Query& q, const Origin& next) {
    for (const QString& sql : ownTables)
        db.execute(sql);
    const Origin current = currentOrigin(q);
    db.execute(QStringLiteral("insert into catalogue_kept (source, taken, replaced) values "
                              "(%1, %2, %3)")
                   .arg(sqlText(current.source), sqlText(current.taken), sqlText(now())));
    const int id = int(db.lastInsertKey());
    for (const QString& table : catalogueTables()) {
        // The table as the store declares it, extra columns of a maker's list included, so the
        // values come back with the same types.
        q.open(QStringLiteral("select name, sql from main.sqlite_master where type = 'table' "
                              "and name = %1 collate nocase")
                   .arg(sqlText(table)));
        if (q.recordCount() == 0) {
            q.close();
            continue;
        }
        const QString name = q.value(0, 0).toText();
        const QString create = q.value(0, 1).toText();
        q.close();
        const qsizetype columns = create.indexOf(QLatin1Char('('));
        if (columns < 0)
            throw StoreError(QStringLiteral("Не прочитано описание таблицы %1.").arg(name));
        db.execute(QStringLiteral("create table main.%1 %2")
                       .arg(keptTable(id, name), create.mid(columns)));
        db.execute(QStringLiteral("insert into main.%1 select * from main.%2")
                       .arg(keptTable(id, name), identifier(name)));
        db.execute(QStringLiteral("insert into catalogue_kept_table values (%1, %2, %3)")
                       .arg(sqlInt(id), sqlText(name), sqlText(create)));
    }
    q.open(QStringLiteral("select id from catalogue_kept order by id desc limit -1 offset %1")
               .arg(sqlInt(keptCount)));
    std::vector<int> old;
    for (int row = 0; row < q.recordCount(); ++row)
        old.push_back(int(q.value(row, 0).toInt()));
    q.close();
    for (int oldId : old)
        dropKept(db, q, oldId);
    setOrigin(db, next);
}

KeptList restoreNewest(Database& db, Query& q) {
    const std::vector<KeptList> lists = keptLists(q);
    if (lists.empty())
        throw StoreError(
            QStringLiteral("В базе нет прежнего каталога: его хранит только "
                           "обновление каталога, сделанное этой версией программы."));
    const KeptList list = lists.front();
    q.open(QStringLiteral("select name, sql from catalogue_kept_table where kept = %1")
               .arg(sqlInt(list.id)));
    std::vector<std::pair<QString, QString>> tables;
    for (int row = 0; row < q.recordCount(); ++row)
        tables.emplace_back(q.value(row, 0).toText(), q.value(row, 1).toText());
    q.close();
    for (const auto& [name, create] : tables) {
        db.execute(QStringLiteral("drop table if exists main.") + identifier(name));
        db.execute(create);
        db.execute(QStringLiteral("insert into main.%1 select * from main.%2")
                       .arg(identifier(name), keptTable(list.id, name)));
    }
    dropKept(db, q, list.id);
    for (const QString& sql : schema::createIndexes())
        db.execute(sql == QLatin1String("analyze") ? QStringLiteral("analyze main") : sql);
    searchIndex::build(db);
    setOrigin(db, list.origin);
    return list;
}

}  // namespace catalogueArchive
