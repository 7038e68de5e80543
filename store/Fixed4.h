#pragma once

#include "store/StoreError.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// A decimal amount with exactly four places after the point: money, quantities, lengths.
// Held as a count of ten-thousandths, so sums and products never drift. Every operation that
// could leave that range throws AmountTooLarge instead of wrapping round to another number.
class Fixed4 {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Fixed4() = default;
    static constexpr Fixed4 fromRaw(std::int64_t tenThousandths) {
        Fixed4 f;
        f.m_raw = tenThousandths;
        return f;
    }
    static Fixed4 fromInt(std::int64_t whole);
    // Rounds the decimal value the double stands for to four places, ties to the even
    // neighbour; a value beyond the range (or no number at all) throws AmountTooLarge.
    static Fixed4 fromDouble(double value);
    // Accepts "7.5", "7,5", "-0.125", "3"; more than four decimals round ties to even.
    static std::optional<Fixed4> parse(QStringView text);

    constexpr std::int64_t raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / Scale; }
    // Shortest plain decimal form with a point: 3, 7.5, 0.125, -0.5.
    QString toString() const;
    // The same text into out, which has room for CharsMax; returns its length.
    static constexpr int CharsMax = 24;
    int toChars(char* out) const;

    constexpr bool isZero() const { return m_raw == 0; }
    // The smallest whole n with n * divisor >= *this (divisor must be positive).
    std::int64_t ceilDiv(Fixed4 divisor) const;

    friend Fixed4 operator+(Fixed4 a, Fixed4 b);
    friend Fixed4 operator-(Fixed4 a, Fixed4 b);
    friend Fixed4 operator-(Fixed4 a);
    // Product rounded to four places, ties to even.
    friend Fixed4 operator*(Fixed4 a, Fixed4 b);
    // Quotient rounded to four places, ties to even (divisor must not be zero).
    friend Fixed4 operator/(Fixed4 a, Fixed4 b);
    Fixed4& operator+=(Fixed4 o) { return *this = *this + o; }
    Fixed4& operator-=(Fixed4 o) { return *this = *this - o; }

    // What the user is told when a sum or product leaves that range.
    static QString tooLargeMessage();

    friend constexpr bool operator==(Fixed4 a, Fixed4 b) { return a.m_raw == b.m_raw; }
    friend constexpr bool operator!=(Fixed4 a, Fixed4 b) { return a.m_raw != b.m_raw; }
    friend constexpr bool operator<(Fixed4 a, Fixed4 b) { return a.m_raw < b.m_raw; }
    friend constexpr bool operator<=(Fixed4 a, Fixed4 b) { return a.m_raw <= b.m_raw; }
    friend constexpr bool operator>(Fixed4 a, Fixed4 b) { return a.m_raw > b.m_raw; }
    friend constexpr bool operator>=(Fixed4 a, Fixed4 b) { return a.m_raw >= b.m_raw; }

private:
    std::int64_t m_raw = 0;
};

// A sum, product or stored figure beyond what Fixed4 holds. A StoreError, so the handlers'
// guard and the tool's commands show its one sentence as they show any failed statement.
class AmountTooLarge : public StoreError {
public:
    AmountTooLarge() : StoreError(Fixed4::tooLargeMessage()) {}
};
