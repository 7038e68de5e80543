#pragma once

#include <QStringList>

// The store on a PostgreSQL server: the same tables as the file, with money and quantities as
// numeric(19,4) (exact to the last decimal) and the keys of projects and lines drawn from the
// server's sequences, plus the functions and the collation the program's statements call.
namespace schema {

QStringList createServerTables();
QStringList createServerFunctions();

}  // namespace schema
