#include "catalogue/PriceListUpdate.h"

#include "catalogue/ServerList.h"
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/ServerSchema.h"
#include "store/SqlLiteral.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"

#include <QUrl>

namespace {

const QStringList ownTables = {QStringLiteral("project"), QStringLiteral("buy"),
                               QStringLiteral("arh")};

QString identifier(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Names as the engine matches them: Latin letters in either case, every other letter exactly
// (the statements say Фото, so a column фото would not be found).
bool sameName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QChar x = a.at(i);
        const QChar y = b.at(i);
        if (x != y && !(x.unicode() < 128 && y.unicode() < 128 && x.toLower() == y.toLower()))
            return false;
    }
    return true;
}

QString findName(const QStringList& names, const QString& name) {
    for (const QString& n : names)
        if (sameName(n, name))
            return n;
    return QString();
}

// The list as a URI that the engine opens read-only: attached for reading, it takes no part in
// the store's transaction, so a kill mid-way leaves no journal that spans both files.
QString readOnlyUri(const QString& path) {
    return QStringLiteral("file:") +
           QString::fromLatin1(QUrl::toPercentEncoding(path, QByteArrayLiteral("/"))) +
           QStringLiteral("?mode=ro");
}

QStringList column0(Query& q, const QString& sql) {
    q.open(sql);
    QStringList values;
    for (int row = 0; row < q.recordCount(); ++row)
        values << q.value(row, 0).toText();
    q.close();
    return values;
}

QStringList tablesOf(Query& q, const QString& database) {
    return column0(
        q, QStringLiteral("select name from %1.sqlite_master where type = 'table'").arg(database));
}

using Column = PriceListUpdate::Column;

std::vector<Column> columnsOf(Query& q, const QString& database, const QString& table) {
    q.open(QStringLiteral("select name, type from pragma_table_info(%1, %2)")
               .arg(sqlText(table), sqlText(database)));
    std::vector<Column> columns;
    for (int row = 0; row < q.recordCount(); ++row)
        columns.push_back({q.value(row, 0).toText(), q.value(row, 1).toText()});
    q.close();
    return columns;
}

// The store's statement that creates a catalogue table, made to create it in the database
// named: the file's, or with the server's types.
QString createIn(const QString& database, const QString& table,
                 Database::Engine engine = Database::Engine::Sqlite) {
    const QString create = QStringLiteral("create table ");
    for (const QString& sql :
         engine == Database::Engine::Sqlite ? schema::createTables() : schema::createServerTables())
        if (sql.startsWith(create + table + QStringLiteral(" (")))
            return create + database + QLatin1Char('.') + sql.mid(create.size());
    throw StoreError(QStringLiteral("Нет описания таблицы %1.").arg(table));
}

using TableCopy = PriceListUpdate::TableCopy;

// The source (the database named list, beside an empty one named shape) has every catalogue
// table with every column the program's statements read.
std::vector<TableCopy> planCopies(Database& db, Query& q, const QString& list,
                                  const QString& shown) {
    const QStringList sourceTables = tablesOf(q, list);
    QStringList missingTables;
    QStringList missingColumns;
    std::vector<TableCopy> copies;
    for (const QString& table : catalogueArchive::catalogueTables()) {
        TableCopy copy;
        copy.table = table;
        copy.source = findName(sourceTables, table);
        if (copy.source.isEmpty()) {
            missingTables << table;
            continue;
        }
        db.execute(createIn(QStringLiteral("shape"), table));
        QStringList needed;
        for (const Column& column : columnsOf(q, QStringLiteral("shape"), table))
            needed << column.name;
        QStringList present;
        for (const Column& column : columnsOf(q, list, copy.source)) {
            present << column.name;
            const QString target = findName(needed, column.name);
            copy.targetColumns << (target.isEmpty() ? column.name : target);
            copy.sourceColumns << column.name;
            if (target.isEmpty())
                copy.extraColumns.push_back(column);
        }
        for (const QString& column : needed)
            if (findName(present, column).isEmpty())
                missingColumns << table + QLatin1Char('.') + column;
        copies.push_back(copy);
    }
    if (!missingTables.isEmpty())
        throw StoreError(QStringLiteral("В файле %1 нет таблиц каталога: %2.")
                             .arg(shown, missingTables.join(QStringLiteral(", "))));
    if (!missingColumns.isEmpty())
        throw StoreError(QStringLiteral("В каталоге файла %1 нет столбцов: %2.")
                             .arg(shown, missingColumns.join(QStringLiteral(", "))));
    return copies;
}

QString catalogueSummary(Query& q, const QString& list) {
    q.open(QStringLiteral(
               "select (select count(*) from main.EXPORT_TMC), (select count(*) from "
               "%1.EXPORT_TMC), "
               "(select count(*) from %1.EXPORT_TMC where Ключ not in (select Ключ from "
               "main.EXPORT_TMC)), "
               "(select count(*) from main.EXPORT_TMC where Ключ not in (select Ключ from "
               "%1.EXPORT_TMC)), "
               "(select count(*) from main.EXPORT_TMC o join %1.EXPORT_TMC n on n.Ключ = o.Ключ "
               "where n.p1 is not o.p1 or n.p2 is not o.p2 or n.p3 is not o.p3 or n.p4 is not "
               "o.p4 or n.p5 is not o.p5)")
               .arg(list));
    const QString text =
        QStringLiteral(
            "Товаров в каталоге: было %1, стало %2; новых %3, снятых %4, с другой "
            "ценой %5.\n")
            .arg(q.value(0, 0).toText(), q.value(0, 1).toText(), q.value(0, 2).toText(),
                 q.value(0, 3).toText(), q.value(0, 4).toText());
    q.close();
    return text;
}

// A table's name as the engine matches it: quoted on the file; bare on a server, which folds
// the program's names to the lower case it created them in.
QString tableName(const Database& db, const QString& table) {
    return db.engine() == Database::Engine::Sqlite ? identifier(table) : table;
}

QString replaceTables(Database& db, Query& q, const std::vector<TableCopy>& copies,
                      const QString& list) {
    QString counts;
    for (const TableCopy& copy : copies) {
        const QString target = QStringLiteral("main.") + tableName(db, copy.table);
        const QString source = list + QLatin1Char('.') + tableName(db, copy.source);
        db.execute(QStringLiteral("drop table if exists ") + target);
        db.execute(createIn(QStringLiteral("main"), copy.table, db.engine()));
        for (const Column& column : copy.extraColumns)
            db.execute(QStringLiteral("alter table %1 add column %2 %3")
                           .arg(target, identifier(column.name), column.type));
        QStringList into;
        QStringList from;
        for (const QString& column : copy.targetColumns)
            into << identifier(column);
        for (const QString& column : copy.sourceColumns)
            from << identifier(column);
        db.execute(QStringLiteral("insert into %1 (%2) select %3 from %4")
                       .arg(target, into.join(QStringLiteral(", ")),
                            from.join(QStringLiteral(", ")), source));
        const QString expected =
            column0(q, QStringLiteral("select count(*) from ") + source).value(0);
        const QString stored =
            column0(q, QStringLiteral("select count(*) from ") + target).value(0);
        if (stored != expected)
            throw StoreError(QStringLiteral("В таблицу %1 легло строк: %2 из %3.")
                                 .arg(copy.table, stored, expected));
        counts += QStringLiteral("  %1: %2\n").arg(copy.table, stored);
    }
    catalogueArchive::rebuildIndexes(db);
    return counts;
}

}  // namespace

PriceListUpdate::PriceListUpdate(Database& db, const QString& listStore, const QString& shown)
    : m_db(db), m_q(db, QStringLiteral("update")) {
    const bool onServer = db.engine() == Database::Engine::Postgres;
    const QStringList tables = onServer ? storeTables(db) : tablesOf(m_q, QStringLiteral("main"));
    for (const QString& table : ownTables)
        if (findName(tables, table).isEmpty())
            throw StoreError(QStringLiteral("%1 — не база программы: в ней нет таблицы %2.")
                                 .arg(db.path(), table));
    if (onServer) {
        readOnServer(listStore, shown);
        return;
    }
    db.execute(QStringLiteral("attach database ':memory:' as shape"));
    try {
        db.execute(
            QStringLiteral("attach database %1 as src").arg(sqlText(readOnlyUri(listStore))));
        const QStringList check = column0(m_q, QStringLiteral("pragma src.quick_check"));
        if (check.value(0) != QLatin1String("ok"))
            throw StoreError(QStringLiteral("Файл %1 повреждён: %2.")
                                 .arg(shown, check.join(QStringLiteral("; "))));
        m_copies = planCopies(db, m_q, QStringLiteral("src"), shown);
    } catch (const StoreError& e) {
        throw StoreError(
            QStringLiteral("Файл %1 повреждён или не база: %2").arg(shown, e.message()));
    }
}

void PriceListUpdate::readOnServer(const QString& listStore, const QString& shown) {
    try {
        m_list = Database::open(listStore);
        m_list->execute(QStringLiteral("attach database ':memory:' as shape"));
        Query list(*m_list, QStringLiteral("list"));
        m_copies = planCopies(*m_list, list, QStringLiteral("main"), shown);
    } catch (const StoreError& e) {
        throw StoreError(
            QStringLiteral("Файл %1 повреждён или не база: %2").arg(shown, e.message()));
    }
    m_listSchema = QStringLiteral("pg_temp");
    m_searchPath = serverList::load(m_db, *m_list, m_copies);
}

PriceListUpdate::~PriceListUpdate() {
    if (m_list) {
        serverList::drop(m_db, m_copies, m_searchPath);
        return;
    }
    for (const char* name : {"src", "shape"}) {
        try {
            m_db.execute(QStringLiteral("detach database %1").arg(QLatin1String(name)));
        } catch (const StoreError&) {
            // Not attached, or the connection ends with the command anyway.
        }
    }
}

QString PriceListUpdate::summary() {
    return catalogueSummary(m_q, m_listSchema);
}

std::vector<ProjectLines> PriceListUpdate::projects() {
    std::vector<ProjectLines> projects = {{0, QString(), {}}};
    m_q.open(QStringLiteral("select Ключ, Название from main.project order by Ключ"));
    for (int row = 0; row < m_q.recordCount(); ++row)
        projects.push_back({int(m_q.value(row, 0).toInt()), m_q.value(row, 1).toText(), {}});
    m_q.close();
    // On a server the working specification is the login's own, stored under a key of its own.
    for (ProjectLines& project : projects)
        project.lines = readRepriceLines(m_q, storedProjectKey(m_db, project.key), m_listSchema,
                                         QStringLiteral("main"));
    return projects;
}

PriceListRisk PriceListUpdate::risk() {
    PriceListRisk risk;
    // Each line looks its product up by key: a catalogue has many more products than lines.
    const QString inUse = QStringLiteral(
        "from main.buy where exists (select 1 from main.EXPORT_TMC t where t.Ключ = buy.TMC)");
    m_q.open(QStringLiteral("select count(distinct TMC), count(distinct case when TMC not in "
                            "(select Ключ from %1.EXPORT_TMC) then TMC end) ")
                 .arg(m_listSchema) +
             inUse);
    risk.productsInUse = int(m_q.value(0, 0).toInt());
    risk.productsGone = int(m_q.value(0, 1).toInt());
    m_q.close();
    for (const QString& code : column0(m_q, QStringLiteral("select distinct Pokr ") + inUse +
                                                QStringLiteral(" order by Pokr"))) {
        const int coating = code.toInt();
        if (coating < 1 || coating > schema::coatingCount)
            continue;
        const QStringList priced =
            column0(m_q, QStringLiteral("select count(*) from %1.EXPORT_TMC where p%2 > 0")
                             .arg(m_listSchema)
                             .arg(coating));
        if (priced.value(0).toInt() == 0)
            risk.coatingsWithoutPrices << schema::coatingName(coating);
    }
    return risk;
}

QString PriceListUpdate::apply(const catalogueArchive::Origin& origin) {
    catalogueArchive::keepCurrent(m_db, m_q, origin);
    return replaceTables(m_db, m_q, m_copies, m_listSchema);
}

QString PriceListRisk::text() const {
    QString text;
    if (productsGone * 2 > productsInUse)
        text += QStringLiteral("В новом каталоге нет %1 из %2 товаров, которые есть в проектах.")
                    .arg(productsGone)
                    .arg(productsInUse);
    for (const QString& coating : coatingsWithoutPrices) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        text += QStringLiteral(
                    "В новом каталоге нет ни одной цены в покрытии «%1», а в "
                    "проектах оно есть.")
                    .arg(coating);
    }
    return text;
}

QString priceListTextReport(const std::vector<ProjectLines>& projects) {
    QString text;
    for (const ProjectLines& project : projects)
        text += QLatin1Char('\n') +
                repriceReport(repriceTitle(project.key, project.name), project.lines);
    return text;
}
