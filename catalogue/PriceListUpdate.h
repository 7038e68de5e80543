#pragma once

#include "catalogue/CatalogueArchive.h"
#include "specification/PriceListReport.h"
#include "store/Query.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Database;

// A signal that a file is not the list meant: it would take away more than half of the
// products the projects use, or it has no price at all in a coating they use.
struct PriceListRisk {
    int productsInUse = 0;
    int productsGone = 0;
    QStringList coatingsWithoutPrices;

    bool asks() const {
        return productsGone * 2 > productsInUse || !coatingsWithoutPrices.isEmpty();
    }
    // Sentences saying what looks wrong; empty when nothing does.
    QString text() const;
};

// A new price list beside the store it is to replace the catalogue of: what it changes, and
// the replacement itself. Reads only until apply().
class PriceListUpdate {
public:
    // Attaches the list, an SQLite store file, read-only to the store; shown names it in
    // messages. A server can not attach a file: there the list is read through a connection of
    // its own into temporary tables of the store's connection, which only that connection sees.
    // Throws StoreError when the store is not the program's or the list lacks a catalogue table
    // or a column the program reads.
    PriceListUpdate(Database& db, const QString& listStore, const QString& shown);
    ~PriceListUpdate();
    PriceListUpdate(const PriceListUpdate&) = delete;
    PriceListUpdate& operator=(const PriceListUpdate&) = delete;

    // Products before and after, new, withdrawn and repriced, as one line.
    QString summary();
    // The working specification and every project, their lines priced by the list.
    std::vector<ProjectLines> projects();
    PriceListRisk risk();
    // Within the caller's transaction: keeps the catalogue in use among the replaced lists,
    // puts the list's six tables in its place with their row counts checked, and makes the
    // indexes and statistics again. Returns the row counts, one table a line.
    QString apply(const catalogueArchive::Origin& origin);

    struct Column {
        QString name;
        QString type;
    };
    struct TableCopy {
        QString table;   // as the store names it
        QString source;  // as the list names it
        QStringList targetColumns;
        QStringList sourceColumns;
        std::vector<Column> extraColumns;  // columns the store lacks, typed as in the list
    };

private:
    void readOnServer(const QString& listStore, const QString& shown);

    Database& m_db;
    Query m_q;
    std::vector<TableCopy> m_copies;
    // Where the statements find the list: the attached file, or the server's temporary tables.
    QString m_listSchema = QStringLiteral("src");
    std::unique_ptr<Database> m_list;  // the list's own connection, on a server only
    QString m_searchPath;              // the server connection's own, given back at the end
};

// The text report of a list over the projects, as ulmar-tool prints it.
QString priceListTextReport(const std::vector<ProjectLines>& projects);
