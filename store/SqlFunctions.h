#pragma once

#include <QString>

struct sqlite3;

// Functions the statements of this program call that the engine lacks or that must behave as
// in the catalogue's original dialect: str(), a LIKE that ignores the case of every letter and
// the collation foldcase, which sorts that way, and foldcase(text), the text in the case that LIKE
// compares; and fixed_mul(a, b) and the aggregate
// fixed_sum(x), which reckon amounts in four-place fixed point (a double product misses ties and
// wraps on large values) and refuse an overflow. Throws StoreError when the engine refuses one.
void registerSqlFunctions(sqlite3* db);

// The text in the letter case the LIKE compares in, as foldcase() gives it.
QString foldedCase(const QString& text);
