#pragma once

#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

// Every field of every row of a result, compact: numbers in place, texts and blobs as slices
// of one buffer, turned into QString or QByteArray only when read.
struct ResultRows {
    struct Cell {
        // Decimal: an exact amount in ten-thousandths (a server's numeric column).
        enum Type : std::uint8_t { Null, Integer, Real, Text, Blob, Decimal } type = Null;
        union {
            std::int64_t integer;
            double real;
            struct {
                std::uint32_t offset;
                std::uint32_t length;
            } slice;
        };
    };

    QStringList columns;
    std::vector<Cell> cells;
    std::string buffer;
    int count = 0;

    void addSlice(Cell::Type type, const char* data, std::size_t length) {
        Cell cell;
        cell.type = type;
        cell.slice.offset = std::uint32_t(buffer.size());
        cell.slice.length = std::uint32_t(length);
        buffer.append(data ? data : "", length);
        cells.push_back(cell);
    }
};
