#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <cstdint>

// How a route length turns into the quantities of a specification line. Lengths of routes are
// in metres, stock lengths of products (Длина) in millimetres.

// Products counted in running metres; every other unit is counted in pieces.
bool isRunningMetre(const QString& unit);

// Only running-metre products sold in stock lengths carry length over from earlier adds.
bool usesSurplus(Fixed4 stockLength, const QString& unit);

// Length already ordered beyond the project's need: kol - kolm of a running-metre line.
Fixed4 lineSurplus(Fixed4 kol, Fixed4 kolm);

// The smallest whole number of stock lengths that covers `length` metres once `surplus`
// metres are used up; 0 when the surplus already covers it. Needs a positive stock length.
std::int64_t piecesFor(Fixed4 length, Fixed4 surplus, Fixed4 stockLength);

struct TrayAddition {
    std::int64_t pieces = 0;
    Fixed4 order;  // added to kol: metres for running-metre products, else pieces
};

// One add of a product from the tree for a route of `length` metres. A product without a
// stock length is one piece per add; as running metres that orders nothing.
TrayAddition trayAddition(Fixed4 length, Fixed4 stockLength, const QString& unit, Fixed4 surplus);

// The order quantity of a line whose project quantity is set by hand: whole stock lengths in
// metres for running-metre products, the project quantity itself for the rest.
Fixed4 orderForProjectQuantity(Fixed4 projectQuantity, Fixed4 stockLength, const QString& unit);
