#pragma once

#include "store/Value.h"

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

    // A field as the engine delivered it.
    Value value(const Cell& cell) const {
        switch (cell.type) {
            case Cell::Integer:
                return Value(cell.integer);
            case Cell::Real:
                return Value(cell.real);
            case Cell::Decimal:
                return Value(Fixed4::fromRaw(cell.integer));
            case Cell::Text:
                return Value(QString::fromUtf8(buffer.data() + cell.slice.offset,
                                               qsizetype(cell.slice.length)));
            case Cell::Blob:
                return Value(
                    QByteArray(buffer.data() + cell.slice.offset, qsizetype(cell.slice.length)));
            default:
                return Value();
        }
    }

    void addSlice(Cell::Type type, const char* data, std::size_t length) {
        Cell cell;
        cell.type = type;
        cell.slice.offset = std::uint32_t(buffer.size());
        cell.slice.length = std::uint32_t(length);
        buffer.append(data ? data : "", length);
        cells.push_back(cell);
    }
};
