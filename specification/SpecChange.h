#pragma once

#include "store/Query.h"

#include <cstdint>
#include <optional>
#include <vector>

// What a command on a few lines changed in the view's rows, read by their keys in the
// transaction that made the change, so the rows shown can follow without a full read.
struct SpecChange {
    // The lines and groups the command touched, as a full read gives them.
    Query rows;
    // The view's IDs (line keys, groups' vids) of what the command may have removed: one
    // without a row among rows is gone.
    std::vector<std::int64_t> touched;
    // The vids of the project's groups in the view's order; read when a line was inserted,
    // since its group may be new. Empty otherwise.
    std::vector<std::int64_t> groupOrder;
};

// One step from the rows shown towards the rows a full read gives; each applies to the rows
// as the steps before it left them. Rows count from 0.
struct SpecEdit {
    enum Kind { Remove, Insert, Replace } kind;
    int row;       // in the rows shown
    int from = 0;  // the row of the change's rows that goes in (Insert, Replace)
};

// The steps that bring the rows shown to the change: lines gone, then groups gone, rows changed
// in place, new groups, new lines. The rows keep the view's order: groups as the engine orders
// their names (groupOrder), rows of a subtype the catalogue lacks last, then by vid, a group's
// row before its lines, lines by key. Nothing when the rows shown can not take the change (they
// were not the view's rows); the view is then read whole.
std::optional<std::vector<SpecEdit>> specEdits(const Query& shown, const SpecChange& change);
