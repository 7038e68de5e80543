#pragma once

#include "store/Fixed4.h"
#include "store/ResultRows.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// One statement as an engine prepared it; Statement is its face to the rest of the program.
// Slots count from 1; every failure is a StoreError in the program's words.
class PreparedStatement {
public:
    virtual ~PreparedStatement() = default;
    virtual void bind(int slot, std::int64_t value) = 0;
    virtual void bind(int slot, double value) = 0;
    virtual void bind(int slot, Fixed4 value) = 0;
    virtual void bind(int slot, const QString& text) = 0;
    virtual void bind(int slot, const QByteArray& blob) = 0;
    virtual void bindNull(int slot) = 0;
    // True while it yields a row, false at its end.
    virtual bool step() = 0;
    // Readies it for the next values after its end.
    virtual void reset() = 0;
    // Runs it and keeps every row of its result.
    virtual void fetchAll(ResultRows& rows) = 0;
};
