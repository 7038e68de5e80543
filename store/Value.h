#pragma once

#include "store/Fixed4.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <variant>

// One field of a result row as the engine delivered it.
class Value {
public:
    Value() = default;
    explicit Value(std::int64_t v) : m_data(v) {}
    explicit Value(double v) : m_data(v) {}
    explicit Value(QString v) : m_data(std::move(v)) {}
    explicit Value(QByteArray v) : m_data(std::move(v)) {}
    // An exact decimal, as a server's numeric column delivers it.
    explicit Value(Fixed4 v) : m_data(v) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(m_data); }
    bool isNumber() const {
        return std::holds_alternative<std::int64_t>(m_data) ||
               std::holds_alternative<double>(m_data) || std::holds_alternative<Fixed4>(m_data);
    }
    bool isBlob() const { return std::holds_alternative<QByteArray>(m_data); }
    // Null reads as 0; text is parsed as a number (0 when it is none).
    std::int64_t toInt() const;
    Fixed4 toFixed() const;
    // Null reads as empty text; numbers in their plain decimal form, fractions rounded to four
    // places.
    QString toText() const;
    QByteArray toBlob() const;

private:
    std::variant<std::monostate, std::int64_t, double, QString, QByteArray, Fixed4> m_data;
};
