#include "specification/SourceRow.h"

#include "store/Query.h"
#include "store/Value.h"

std::optional<Fixed4> numberField(const Value& value) {
    if (value.isNull() || value.isBlob())
        return std::nullopt;
    if (value.isNumber())
        return value.toFixed();
    return Fixed4::parse(value.toText());
}

std::optional<SourceRow> readSourceRow(const Query& rows, bool fromTree) {
    const auto product = numberField(rows.field(u"Ключ"));
    const auto price = numberField(rows.field(u"pp"));
    const auto itemCode = numberField(rows.field(u"tt"));
    if (!product || !price || !itemCode)
        return std::nullopt;
    SourceRow row;
    row.product = rows.field(u"Ключ").toInt();
    row.price = *price;
    row.itemCode = rows.field(u"tt").toInt();
    row.parentId = rows.field(u"parentid").toInt();
    row.unit = rows.field(u"ЕИ").toText();
    if (fromTree) {
        const auto length = numberField(rows.field(u"Длина"));
        if (!length)
            return std::nullopt;
        row.stockLength = *length;
        row.coverCode = rows.field(u"kk").toInt();  // null reads as no cover
    }
    return row;
}
