#pragma once

struct sqlite3;

// Functions the statements of this program call that the engine lacks or that must behave as
// in the catalogue's original dialect: str() and a LIKE that ignores the case of every letter.
// Throws StoreError when the engine refuses one.
void registerSqlFunctions(sqlite3* db);
