#include "store/TableCheck.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreError.h"

#include <QFileInfo>

namespace {

struct Table {
    const char16_t* name;
    const char16_t* holds;
};

constexpr Table programTables[] = {
    {u"EXPORT_VIDTMC", u"виды товаров"},
    {u"EXPORT_TMC", u"товары каталога"},
    {u"EXPORT_PODVID", u"подвиды товаров"},
    {u"EXPORT_FOTO", u"фотографии"},
    {u"Export_INFOTO", u"привязка фотографий к товарам"},
    {u"EXPORT_KREP", u"способы монтажа"},
    {u"project", u"проекты"},
    {u"buy", u"строки спецификаций"},
    {u"arh", u"копия открытого проекта"},
};

}  // namespace

QStringList programTableNames() {
    QStringList names;
    for (const Table& table : programTables)
        names << QString::fromUtf16(table.name);
    return names;
}

QString missingTablesMessage(const QStringList& presentTables, const QString& shownPath) {
    QStringList missing;
    for (const Table& table : programTables) {
        const QString name = QString::fromUtf16(table.name);
        if (!presentTables.contains(name, Qt::CaseInsensitive))
            missing << QStringLiteral("%1 (%2)").arg(name, QString::fromUtf16(table.holds));
    }
    if (missing.isEmpty())
        return QString();
    return QStringLiteral(
               "В файле %1 нет таблиц, с которыми работает программа: %2.\n"
               "Это не база каталога Улмар, или она повреждена.")
        .arg(shownPath, missing.join(QStringLiteral(", ")));
}

QStringList storeTables(Database& db) {
    Query tables(db, QStringLiteral("tables"));
    tables.open(
        db.engine() == Database::Engine::Sqlite
            ? QStringLiteral("select name from sqlite_master where type in ('table', 'view')")
            : QStringLiteral("select table_name from information_schema.tables "
                             "where table_schema = current_schema()"));
    QStringList present;
    for (int r = 0; r < tables.recordCount(); ++r)
        present << tables.value(r, 0).toText();
    return present;
}

void requireProgramTables(Database& db, const QString& path) {
    const QString shown = db.engine() == Database::Engine::Sqlite
                              ? QFileInfo(path).absoluteFilePath()
                              : db.shownName();
    const QString message = missingTablesMessage(storeTables(db), shown);
    if (!message.isEmpty())
        throw NotACatalogue(message);
}
