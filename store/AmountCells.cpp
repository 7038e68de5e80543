#include "store/AmountCells.h"

#include "store/Fixed4.h"

#include <QString>
#include <climits>

namespace amountCells {

bool fromWhole(std::int64_t whole, std::int64_t& raw) {
    if (whole > INT64_MAX / Fixed4::Scale || whole < INT64_MIN / Fixed4::Scale)
        return false;
    raw = whole * Fixed4::Scale;
    return true;
}

bool fromDouble(double value, std::int64_t& raw) {
    if (!(value < 9.2e14 && value > -9.2e14))
        return false;
    raw = Fixed4::fromDouble(value).raw();
    return true;
}

std::int64_t fromText(const char* text, std::size_t length) {
    return Fixed4::parse(QString::fromUtf8(text ? text : "", qsizetype(length)))
        .value_or(Fixed4())
        .raw();
}

FileForm fileForm(std::int64_t raw) {
    if (raw % Fixed4::Scale == 0)
        return FileForm::Whole;
    if (raw < 1'000'000'000'000'000 && raw > -1'000'000'000'000'000)
        return FileForm::Fraction;
    return FileForm::Text;
}

void Sum::add(const ResultRows::Cell& cell, const std::string& buffer) {
    std::int64_t raw = 0;
    switch (cell.type) {
        case ResultRows::Cell::Null:
            return;
        case ResultRows::Cell::Integer:
            if (!fromWhole(cell.integer, raw))
                throw AmountTooLarge();
            break;
        case ResultRows::Cell::Real:
            if (!fromDouble(cell.real, raw))
                throw AmountTooLarge();
            break;
        case ResultRows::Cell::Decimal:
            raw = cell.integer;
            break;
        case ResultRows::Cell::Text:
        case ResultRows::Cell::Blob:
            raw = fromText(buffer.data() + cell.slice.offset, cell.slice.length);
            break;
    }
    m_raw += raw;
    m_any = true;
    // The server's bound is the same on both sides; the file's that of its 64 bits.
    const __int128 lowest = m_engine == Engine::File ? INT64_MIN : -INT64_MAX;
    if (m_raw > INT64_MAX || m_raw < lowest)
        throw AmountTooLarge();
}

ResultRows::Cell Sum::cell(std::string& buffer) const {
    ResultRows::Cell cell;
    if (!m_any)
        return cell;
    const auto raw = std::int64_t(m_raw);
    if (m_engine == Engine::Server) {
        cell.type = ResultRows::Cell::Decimal;
        cell.integer = raw;
        return cell;
    }
    switch (fileForm(raw)) {
        case FileForm::Whole:
            cell.type = ResultRows::Cell::Integer;
            cell.integer = raw / Fixed4::Scale;
            break;
        case FileForm::Fraction:
            cell.type = ResultRows::Cell::Real;
            cell.real = Fixed4::fromRaw(raw).toDouble();
            break;
        case FileForm::Text: {
            const QByteArray text = Fixed4::fromRaw(raw).toString().toUtf8();
            cell.type = ResultRows::Cell::Text;
            cell.slice.offset = std::uint32_t(buffer.size());
            cell.slice.length = std::uint32_t(text.size());
            buffer.append(text.constData(), std::size_t(text.size()));
            break;
        }
    }
    return cell;
}

ResultRows::Cell zero(Engine engine) {
    ResultRows::Cell cell;
    cell.type = engine == Engine::Server ? ResultRows::Cell::Decimal : ResultRows::Cell::Integer;
    cell.integer = 0;
    return cell;
}

}  // namespace amountCells
