#pragma once

#include <QString>
#include <QStringList>

class Database;

// The tables the program reads and writes, checked once at start, so that a file that is no
// catalogue of this program is refused in words before any window shows.

// The names of those tables, the catalogue's first.
QStringList programTableNames();

// The message naming, in Russian, the program's tables missing among those present (names
// compared without regard to the case of Latin letters, as the engine does); empty when every
// table is there.
QString missingTablesMessage(const QStringList& presentTables, const QString& shownPath);

// The tables (and views) the store holds, as the engine spells their names.
QStringList storeTables(Database& db);

// Throws StoreError with that message when the store lacks any of the tables.
void requireProgramTables(Database& db, const QString& path);
