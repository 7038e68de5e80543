#pragma once

#include <QStringList>

class Database;

// Copies a whole store into another, either engine to either: the catalogue, its photos, the
// projects, their lines and snapshots, keys as they are. The target's tables must exist and be
// empty. Everything is written in one transaction, and before it is committed every table's
// row count and every money and quantity column's sum are compared with the source's to the
// last decimal. Then the target's statistics of the filled tables are taken (analyze), so its
// first plans are not those of empty tables. Returns one line per table for the report (and
// one more where the statistics could not be taken); throws StoreError and leaves the target as
// it was.
//
// A file keeps its working specification under project key 0, a server one per designer's
// login: the lines, snapshot and properties stored under working.from in the source go under
// working.to in the target, so the copying designer's working specification stays theirs.
struct WorkingKeys {
    int from = 0;
    int to = 0;
};
QStringList copyStore(Database& from, Database& to, WorkingKeys working = {});
