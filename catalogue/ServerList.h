#pragma once

#include "catalogue/PriceListUpdate.h"

#include <QString>
#include <vector>

class Database;

// A new price list on a server store. The server can not read the list's file, so its six
// tables are loaded into temporary tables of the store's connection: the same statements then
// compare and take them as they take the tables of a list attached to a file store. Only that
// connection sees them, and they go with it.
namespace serverList {

// Loads the planned tables of the list (an SQLite connection) into temporary tables of the
// same names on the server, typed as the store's, in one transaction; afterwards copies name
// them as the server holds them. The search path then finds the store's own tables before the
// temporary ones: returns the path it had, for drop(). Throws StoreError.
QString load(Database& server, Database& list, std::vector<PriceListUpdate::TableCopy>& copies);
// Drops the temporary tables and gives the connection its search path back. Never throws.
void drop(Database& server, const std::vector<PriceListUpdate::TableCopy>& copies,
          const QString& searchPath) noexcept;

// The server's type for a column the list declares with an SQLite type, by the type's
// affinity: whole numbers, texts, bytes, floating point, else exact numbers.
QString serverType(const QString& declared);

}  // namespace serverList
