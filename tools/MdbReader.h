#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// One field of a row in an Access file, decoded from its stored bytes.
struct MdbCell {
    enum class Kind { Null, Integer, Money, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;  // Integer, or Money as ten-thousandths
    double real = 0;
    QByteArray bytes;  // Text in UTF-8, or Blob
};

// Reads the user tables of a Jet 3 or Jet 4 database (an Access .mdb) through libmdb. Every
// damage it notices — pages past the end of the file, a catalogue or a table that yields other
// row counts than it records, a long value shorter than declared — is a StoreError.
class MdbReader {
public:
    struct Column {
        QString name;
        int type = 0;  // libmdb's MDB_* code
        int precision = 0;
        int scale = 0;
        bool autoNumber = false;
    };
    struct Table {
        QString name;
        std::vector<Column> columns;
        QStringList primaryKey;      // column names of the primary index, in key order
        std::uint64_t rowCount = 0;  // as the table definition records it
    };

    // Throws StoreError when the file can not be opened or its catalogue is damaged.
    explicit MdbReader(const QString& path);
    ~MdbReader();
    MdbReader(const MdbReader&) = delete;
    MdbReader& operator=(const MdbReader&) = delete;

    // "Jet 3", "Jet 4" or the Access version of a newer file.
    QString formatName() const;
    const std::vector<Table>& tables() const { return m_tables; }
    // Calls onRow for every row of tables()[index], fields in column order; returns how many
    // rows there were. Throws StoreError on damage, a row count other than the recorded one
    // included.
    std::uint64_t readRows(std::size_t index,
                           const std::function<void(const std::vector<MdbCell>&)>& onRow);

    // Column type codes the writer needs to tell apart.
    static bool isMoney(int type);
    static bool isInteger(int type);
    static bool isReal(int type);
    static bool isText(int type);
    static bool isBinary(int type);
    static bool isDate(int type);

private:
    struct Private;
    std::unique_ptr<Private> m_d;
    std::vector<Table> m_tables;
};
