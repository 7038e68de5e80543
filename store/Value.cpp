#include "store/Value.h"

#include <cmath>

std::int64_t Value::toInt() const {
    if (auto i = std::get_if<std::int64_t>(&m_data))
        return *i;
    if (auto d = std::get_if<double>(&m_data))
        return std::isfinite(*d) ? std::int64_t(std::llround(*d)) : 0;
    if (auto f = std::get_if<Fixed4>(&m_data)) {
        // Halves away from zero, as for a double.
        const std::int64_t whole = f->raw() / Fixed4::Scale, rest = f->raw() % Fixed4::Scale;
        return whole + (rest >= Fixed4::Scale / 2 ? 1 : rest <= -Fixed4::Scale / 2 ? -1 : 0);
    }
    if (auto s = std::get_if<QString>(&m_data)) {
        const auto f = Fixed4::parse(*s);
        return f ? f->raw() / Fixed4::Scale : 0;
    }
    return 0;
}

Fixed4 Value::toFixed() const {
    if (auto i = std::get_if<std::int64_t>(&m_data))
        return Fixed4::fromInt(*i);
    if (auto d = std::get_if<double>(&m_data))
        return Fixed4::fromDouble(*d);
    if (auto f = std::get_if<Fixed4>(&m_data))
        return *f;
    if (auto s = std::get_if<QString>(&m_data))
        return Fixed4::parse(*s).value_or(Fixed4());
    return Fixed4();
}

QString Value::toText() const {
    if (auto s = std::get_if<QString>(&m_data))
        return *s;
    if (auto i = std::get_if<std::int64_t>(&m_data))
        return QString::number(*i);
    if (auto d = std::get_if<double>(&m_data))
        return Fixed4::fromDouble(*d).toString();
    if (auto f = std::get_if<Fixed4>(&m_data))
        return f->toString();
    if (auto b = std::get_if<QByteArray>(&m_data))
        return QString::fromUtf8(*b);
    return QString();
}

QByteArray Value::toBlob() const {
    if (auto b = std::get_if<QByteArray>(&m_data))
        return *b;
    if (auto s = std::get_if<QString>(&m_data))
        return s->toUtf8();
    return QByteArray();
}
