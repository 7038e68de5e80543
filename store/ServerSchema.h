#pragma once

#include <QStringList>

class Database;

// The store on a PostgreSQL server: the same tables as the file, with money and quantities as
// numeric(19,4) (exact to the last decimal) and the keys of projects and lines drawn from the
// server's sequences, plus the functions and the collation the program's statements call, and a
// working specification per designer's login.
namespace schema {

QStringList createServerTables();
QStringList createServerFunctions();

// Makes an empty database on a server a store of the program: tables, functions, indexes, in
// one transaction. Throws StoreError for a file, for a database that holds tables already
// (it is someone else's, or a store made before) and for one whose settings would make the
// search miss Cyrillic letters of the other case. Returns whether the search got its trigram
// index (the server's pg_trgm, where this user may add it).
bool initServerStore(Database& db);

// Gives a store that an earlier server-init made this version's functions (the same results,
// reckoned in a fraction of the time), the search's index and its settings, in one
// transaction; its tables and rows stay as they are. Throws StoreError for a file and for a
// database that is not the program's store. Returns whether the search has its index.
bool upgradeServerStore(Database& db);

}  // namespace schema
