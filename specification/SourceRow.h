#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <cstdint>
#include <optional>

class Query;
class Value;

// What an add takes from the current row of a catalogue grid.
struct SourceRow {
    std::int64_t product = 0;    // Ключ
    Fixed4 price;                // pp, in the current coating
    std::int64_t itemCode = 0;   // tt, the product's code in the current coating
    std::int64_t parentId = 0;   // parentid, the subtype key negated
    QString unit;                // ЕИ
    Fixed4 stockLength;          // Длина in millimetres; product tree only
    std::int64_t coverCode = 0;  // kk, 0 when there is no cover; product tree only
};

// A field holding a number; nothing for null, empty text or text that is no number.
std::optional<Fixed4> numberField(const Value& value);

// The current row of an open query with rows. Nothing when the key, the price, the item code
// or (from the tree) the stock length is missing: such a row can not become a line.
std::optional<SourceRow> readSourceRow(const Query& rows, bool fromTree);
