#pragma once

#include <QString>
#include <cstdint>
#include <vector>

class MdbReader;

struct ImportedTable {
    QString name;  // as the store names it
    std::uint64_t rows = 0;
};

// Writes every user table of the Access file into the empty store at storePath, inside one
// transaction: the program's tables with the schema's names and columns, any other table as
// the file has it, and the indexes the program's statements need. Row counts are checked
// against the file. Throws StoreError.
std::vector<ImportedTable> importTables(MdbReader& reader, const QString& storePath);
