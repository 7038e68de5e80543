#include "store/Fixed4.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace {

using Int128 = __int128;

std::int64_t checked(Int128 raw) {
    if (raw > INT64_MAX || raw < INT64_MIN)
        throw AmountTooLarge();
    return std::int64_t(raw);
}

// Divides and rounds to the nearest whole number, ties to the even neighbour.
std::int64_t divideHalfEven(Int128 num, Int128 den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    Int128 q = num / den;
    Int128 r = num % den;
    if (r < 0) {  // floor division
        q -= 1;
        r += den;
    }
    const Int128 twice = 2 * r;
    if (twice > den || (twice == den && (q % 2 != 0)))
        q += 1;
    return checked(q);
}

// Rounds a plain decimal text (sign, digits, optional point and digits) to four places.
std::optional<std::int64_t> roundDecimalText(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    Int128 whole = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        whole = whole * 10 + (text[i] - '0');
        anyDigit = true;
        if (whole > Int128(INT64_MAX) / Fixed4::Scale)
            return std::nullopt;
    }
    std::string fraction;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            fraction += text[i];
            anyDigit = true;
        }
    }
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const char* begin = text.data() + i + 1;
        if (*begin == '+')
            ++begin;
        auto [ptr, ec] = std::from_chars(begin, text.data() + text.size(), exponent);
        if (ec != std::errc() || ptr != text.data() + text.size())
            return std::nullopt;
        i = text.size();
    }
    if (!anyDigit || i != text.size())
        return std::nullopt;
    // Shift the point by the exponent, keeping everything in one digit string.
    std::string digits = std::to_string(std::int64_t(whole)) + fraction;
    int pointPos = int(digits.size() - fraction.size()) + exponent;
    if (pointPos < 0) {
        digits.insert(0, std::size_t(-pointPos), '0');
        pointPos = 0;
    }
    if (pointPos > int(digits.size()))
        digits.append(std::size_t(pointPos) - digits.size(), '0');
    if (pointPos > 30)
        return std::nullopt;
    // Keep four places exactly, plus the rest for the tie decision.
    Int128 kept = 0;
    for (int k = 0; k < pointPos + 4; ++k)
        kept = kept * 10 + (k < int(digits.size()) ? digits[std::size_t(k)] - '0' : 0);
    const std::string rest =
        int(digits.size()) > pointPos + 4 ? digits.substr(std::size_t(pointPos + 4)) : "";
    if (!rest.empty()) {
        const bool aboveHalf = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) !=
                                                                       std::string::npos);
        const bool exactlyHalf = rest[0] == '5' && !aboveHalf;
        if (aboveHalf || (exactlyHalf && kept % 2 != 0))
            kept += 1;
    }
    if (kept > Int128(INT64_MAX))
        return std::nullopt;
    return negative ? -std::int64_t(kept) : std::int64_t(kept);
}

}  // namespace

QString Fixed4::tooLargeMessage() {
    return QStringLiteral(
        "Сумма слишком велика: суммы и количества не могут превышать 922 337 203 685 477 с "
        "четырьмя знаками после запятой.");
}

Fixed4 Fixed4::fromInt(std::int64_t whole) {
    return fromRaw(checked(Int128(whole) * Scale));
}

Fixed4 Fixed4::fromDouble(double value) {
    if (!std::isfinite(value))
        throw AmountTooLarge();
    // Stored amounts nearly always hold at most four places: when the nearest four-place
    // decimal reads back as the same double it is the one the value stands for (below 2^32 a
    // double's spacing is far finer than 0.0001, so no other four-place decimal does), and the
    // text round trip is not needed.
    if (std::fabs(value) < 4294967296.0) {
        const double scaled = std::nearbyint(value * double(Scale));
        if (scaled / double(Scale) == value)
            return fromRaw(std::int64_t(scaled));
    }
    // The shortest text that reads back as the same double is the decimal the value stands for.
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    const auto raw = ec == std::errc() ? roundDecimalText(std::string(buffer, ptr)) : std::nullopt;
    if (!raw)
        throw AmountTooLarge();
    return fromRaw(*raw);
}

std::optional<Fixed4> Fixed4::parse(QStringView text) {
    QString s = text.trimmed().toString();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    if (s.isEmpty() || s.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return std::nullopt;
    const auto raw = roundDecimalText(s.toStdString());
    if (!raw)
        return std::nullopt;
    return fromRaw(*raw);
}

// Written by hand: an export writes three amounts for each of thousands of lines.
int Fixed4::toChars(char* out) const {
    const bool negative = m_raw < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(-(m_raw + 1)) + 1 : std::uint64_t(m_raw);
    char digits[CharsMax];
    char* end = digits + sizeof digits;
    char* p = end;
    std::uint64_t fraction = magnitude % Scale;
    int places = 4;
    while (fraction != 0 && fraction % 10 == 0) {
        fraction /= 10;
        --places;
    }
    if (fraction != 0) {
        for (int i = 0; i < places; ++i, fraction /= 10)
            *--p = char('0' + fraction % 10);
        *--p = '.';
    }
    std::uint64_t whole = magnitude / Scale;
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        *--p = '-';
    const int length = int(end - p);
    std::memcpy(out, p, std::size_t(length));
    return length;
}

QString Fixed4::toString() const {
    char text[CharsMax];
    return QString::fromLatin1(text, toChars(text));
}

std::int64_t Fixed4::ceilDiv(Fixed4 divisor) const {
    const Int128 num = m_raw;
    const Int128 den = divisor.m_raw;
    Int128 q = num / den;
    if (num % den != 0 && ((num > 0) == (den > 0)))
        q += 1;
    return checked(q);
}

Fixed4 operator+(Fixed4 a, Fixed4 b) {
    return Fixed4::fromRaw(checked(Int128(a.m_raw) + b.m_raw));
}

Fixed4 operator-(Fixed4 a, Fixed4 b) {
    return Fixed4::fromRaw(checked(Int128(a.m_raw) - b.m_raw));
}

Fixed4 operator-(Fixed4 a) {
    return Fixed4::fromRaw(checked(-Int128(a.m_raw)));
}

Fixed4 operator*(Fixed4 a, Fixed4 b) {
    return Fixed4::fromRaw(divideHalfEven(Int128(a.m_raw) * b.m_raw, Fixed4::Scale));
}

Fixed4 operator/(Fixed4 a, Fixed4 b) {
    return Fixed4::fromRaw(divideHalfEven(Int128(a.m_raw) * Fixed4::Scale, b.m_raw));
}
