#pragma once

#include "store/ResultRows.h"

#include <cstdint>
#include <optional>
#include <string>

// Amounts in result cells as the engines' fixed_mul and fixed_sum take and give them, so that a
// sum made in memory from a result's cells is the very cell fixed_sum would have given.
namespace amountCells {

// A value as fixed_sum takes it, in ten-thousandths: false beyond the fixed-point range.
bool fromWhole(std::int64_t whole, std::int64_t& raw);
bool fromDouble(double value, std::int64_t& raw);
// Text that is no number counts as 0, as in the engine's own arithmetic.
std::int64_t fromText(const char* text, std::size_t length);

// How the file gives an amount back: a whole number as an integer, a fraction as the double
// that reads back as its decimal (exact up to fifteen digits), longer ones as their text.
enum class FileForm { Whole, Fraction, Text };
FileForm fileForm(std::int64_t raw);

// A server gives every amount as an exact decimal (its numeric columns), the file as above.
enum class Engine { File, Server };

// fixed_sum over cells: refused as soon as the running sum leaves the range, as on the engine.
class Sum {
public:
    explicit Sum(Engine engine) : m_engine(engine) {}
    // Null adds nothing; throws AmountTooLarge.
    void add(const ResultRows::Cell& cell, const std::string& buffer);
    // Null when no value was added; a text form goes into buffer.
    ResultRows::Cell cell(std::string& buffer) const;

private:
    Engine m_engine;
    __int128 m_raw = 0;
    bool m_any = false;
};

// The amount 0 as the engine gives it in an amount column.
ResultRows::Cell zero(Engine engine);

}  // namespace amountCells
