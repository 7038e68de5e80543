#pragma once

#include "store/Query.h"

#include <QString>

// What the specification grid shows of a project: its caption and its rows, read in one go so
// that the window takes both or neither.
struct SpecView {
    QString caption;
    Query rows;
};
