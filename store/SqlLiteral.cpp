#include "store/SqlLiteral.h"

QString sqlInt(std::int64_t value) {
    return QString::number(value);
}

QString sqlFixed(Fixed4 value) {
    return value.toString();
}

QString sqlTextBody(const QString& value) {
    QString body = value;
    body.replace(QLatin1Char('\''), QStringLiteral("''"));
    return body;
}

QString sqlText(const QString& value) {
    return QLatin1Char('\'') + sqlTextBody(value) + QLatin1Char('\'');
}
