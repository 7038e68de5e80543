#pragma once

#include <QString>

// The program writes one statement text for both engines; on the server a few spellings
// differ and are turned here, outside quoted literals and names:
// - ? slots become $1, $2, …;
// - LIKE becomes ILIKE, which ignores the case of every letter (Cyrillic too) as the file's
//   registered LIKE does, and a literal pattern gets ESCAPE '' (a backslash is an ordinary
//   character in the file's patterns);
// - collate binary, the file's byte order of texts, becomes collate "C";
// - a IS NOT b with b no constant, the file's inequality that takes null for a value, becomes
//   a IS DISTINCT FROM b;
// - main.TABLE, the file's own tables beside an attached one, is the table of the current
//   schema.
// The registered functions (str, fixed_mul, fixed_sum) and the collation foldcase exist on the
// server under the same names: server-init creates them.
QString pgStatementText(const QString& sql);
