#pragma once

#include "store/Query.h"

#include <QString>
#include <optional>

// What the specification grid shows of a project: its caption and its rows, read in one go so
// that the window takes both or neither.
struct SpecView {
    QString caption;
    // Nothing when the rows shown already are the project's rows as a fresh read would give them.
    std::optional<Query> rows;
};
