#pragma once

#include "store/AmountCells.h"
#include "store/ResultRows.h"

#include <cstdint>

// The specification view's rows put together in memory from the reads of specSql: line rows
// ordered by vid and key (specLinesSql, specLinesByKeySql) and the project's groups in the
// view's order with their names (specGroupOrderSql). A group's row, with the sums of its lines
// as the engine's fixed_sum gives them, comes before its lines; the groups stand in the order
// read, then the lines of a subtype without a name or without a row in the catalogue, by vid as
// the engine ordered them. A line's summa2 is its summa, and its podvid its group's name.
//
// The sums are those of the lines read, or, where some lines alone are read, of amounts read
// aside (specGroupAmountsSql): a group gets a row where its sums have lines. The lines' texts
// move into the rows made. Throws AmountTooLarge when a group's sum leaves the range, as
// fixed_sum refuses it.
ResultRows specViewRows(ResultRows lines, const ResultRows& groups, amountCells::Engine engine,
                        const ResultRows* amounts = nullptr);
