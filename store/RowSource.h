#pragma once

#include "store/Value.h"

#include <QStringList>

// Rows a query shows without holding a copy of them: each field is made as it is read, so a
// large result is kept once, by whoever read it.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const QStringList& columns() const = 0;
    virtual int count() const = 0;
    // Row and column from 0, within the rows and columns.
    virtual Value value(int row, int column) const = 0;
    virtual bool isNull(int row, int column) const = 0;
};
