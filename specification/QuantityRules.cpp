#include "specification/QuantityRules.h"

#include "store/Schema.h"

#include <algorithm>

namespace {

const Fixed4 thousand = Fixed4::fromInt(1000);

Fixed4 metresOf(std::int64_t pieces, Fixed4 stockLength) {
    return Fixed4::fromInt(pieces) * stockLength / thousand;
}

}  // namespace

bool isRunningMetre(const QString& unit) {
    return unit == schema::runningMetre;
}

bool usesSurplus(Fixed4 stockLength, const QString& unit) {
    return stockLength > Fixed4() && isRunningMetre(unit);
}

Fixed4 lineSurplus(Fixed4 kol, Fixed4 kolm) {
    return kol - kolm;
}

std::int64_t piecesFor(Fixed4 length, Fixed4 surplus, Fixed4 stockLength) {
    const Fixed4 needed = (length - surplus) * thousand;
    return std::max<std::int64_t>(0, needed.ceilDiv(stockLength));
}

TrayAddition trayAddition(Fixed4 length, Fixed4 stockLength, const QString& unit, Fixed4 surplus) {
    TrayAddition add;
    if (stockLength <= Fixed4()) {
        add.pieces = 1;
        add.order = isRunningMetre(unit) ? Fixed4() : Fixed4::fromInt(1);
        return add;
    }
    add.pieces =
        piecesFor(length, usesSurplus(stockLength, unit) ? surplus : Fixed4(), stockLength);
    add.order =
        isRunningMetre(unit) ? metresOf(add.pieces, stockLength) : Fixed4::fromInt(add.pieces);
    return add;
}

Fixed4 orderForProjectQuantity(Fixed4 projectQuantity, Fixed4 stockLength, const QString& unit) {
    if (!isRunningMetre(unit))
        return projectQuantity;
    if (stockLength <= Fixed4())
        return Fixed4();
    return metresOf(piecesFor(projectQuantity, Fixed4(), stockLength), stockLength);
}
