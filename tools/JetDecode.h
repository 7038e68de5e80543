#pragma once

// Field values of an Access file decoded from their stored bytes, so that neither the process
// locale nor the reading library's text forms can change a number.

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace jet {

inline std::uint16_t readUInt16(const unsigned char* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

inline std::int16_t readInt16(const unsigned char* p) {
    return std::int16_t(readUInt16(p));
}

inline std::uint32_t readUInt32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

inline std::int32_t readInt32(const unsigned char* p) {
    return std::int32_t(readUInt32(p));
}

// Currency is a count of ten-thousandths.
inline std::int64_t readInt64(const unsigned char* p) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return std::int64_t(v);
}

inline double readDouble(const unsigned char* p) {
    const std::uint64_t bits = std::uint64_t(readInt64(p));
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

inline float readFloat(const unsigned char* p) {
    const std::uint32_t bits = readUInt32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A date is days since 1899-12-30 with the time of day as the fraction; before that day the
// whole part counts back while the fraction still counts forward (-1.25 is 1899-12-29 06:00).
// Gives "yyyy-MM-dd HH:mm:ss" to the second, or nothing outside the years 100 to 9999.
inline std::optional<QString> dateText(double days) {
    if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0)
        return std::nullopt;
    const double whole = std::trunc(days);
    std::int64_t seconds = std::llround(std::fabs(days - whole) * 86400.0);
    QDate date = QDate(1899, 12, 30).addDays(std::int64_t(whole));
    if (seconds >= 86400) {
        date = date.addDays(1);
        seconds -= 86400;
    }
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        return std::nullopt;
    return QStringLiteral("%1 %2:%3:%4")
        .arg(date.toString(Qt::ISODate))
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// Where the JPEG that starts at `from` ends (one past its end-of-image marker), walking its
// segments and the entropy-coded data of each scan; -1 when the data stops first.
inline qsizetype jpegEnd(const QByteArray& data, qsizetype from) {
    const auto byte = [&data](qsizetype i) { return static_cast<unsigned char>(data[i]); };
    const qsizetype size = data.size();
    if (from + 1 >= size || byte(from) != 0xFF || byte(from + 1) != 0xD8)
        return -1;
    qsizetype pos = from + 2;
    while (pos + 1 < size) {
        if (byte(pos) != 0xFF)
            return -1;
        while (pos + 1 < size && byte(pos + 1) == 0xFF)  // fill bytes before a marker
            ++pos;
        if (pos + 1 >= size)
            return -1;
        const unsigned char marker = byte(pos + 1);
        pos += 2;
        if (marker == 0xD9)
            return pos;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 1 >= size)
            return -1;
        const int length = (byte(pos) << 8) | byte(pos + 1);
        if (length < 2)
            return -1;
        pos += length;
        if (marker != 0xDA)
            continue;
        // After a scan header comes entropy-coded data, where 0xFF is followed by 0x00 (a
        // stuffed byte) or a restart marker; anything else begins the next segment.
        while (pos + 1 < size) {
            if (byte(pos) != 0xFF) {
                ++pos;
                continue;
            }
            const unsigned char next = byte(pos + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                pos += 2;
            else if (next == 0xFF)
                ++pos;
            else
                break;
        }
    }
    return -1;
}

// A photo as the program shows it: Access wraps a picture pasted into an OLE field in an
// object header (signature 0x15 0x1C) and an OLE package; the bare JPEG inside is kept.
// Anything else — a bare JPEG, another kind of picture, a JPEG that does not end — is kept
// whole.
inline QByteArray bareJpeg(const QByteArray& stored) {
    if (stored.size() < 4 || static_cast<unsigned char>(stored[0]) != 0x15 ||
        static_cast<unsigned char>(stored[1]) != 0x1C)
        return stored;
    const auto* raw = reinterpret_cast<const unsigned char*>(stored.constData());
    const qsizetype headerSize = readUInt16(raw + 2);
    const QByteArray soi("\xFF\xD8\xFF", 3);
    qsizetype start = stored.indexOf(soi, headerSize < stored.size() ? headerSize : 2);
    while (start >= 0) {
        const qsizetype end = jpegEnd(stored, start);
        if (end > 0)
            return stored.mid(start, end - start);
        start = stored.indexOf(soi, start + 1);
    }
    return stored;
}

}  // namespace jet
