#pragma once

#include <QString>

class Database;

// A trigram index over every product's article and name, joined by one space as the search
// matches them and folded to the letter case the search compares in. It only narrows a search
// down: the statement still applies its own LIKE to the rows the index names, so the rows found
// are always those of a full scan. Triggers on the products mark it stale when another program
// changes them; a stale or missing index is not used until it is built again.
namespace searchIndex {

// Drops and builds the index inside the caller's transaction; throws StoreError.
void build(Database& db);
// Builds the index when it is missing or stale, in its own transaction. A store that can not
// be written (read-only, busy, full) is left as it was and searched without the index.
void buildWhenMissing(Database& db);
// Whether the index is there and up to date with the products.
bool ready(Database& db);

// A sub-select of the row numbers of EXPORT_TMC whose article and name may hold the search text
// (a LIKE pattern without its enclosing "%"), or an empty text when no run of three characters
// between its wildcards gives the index anything to look up.
QString narrowing(const QString& text);

}  // namespace searchIndex
