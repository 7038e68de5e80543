#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <cstdint>

// Every value enters statement text through one of these.
QString sqlInt(std::int64_t value);
// Shortest decimal form with a point, whatever the locale: 3, 7.5, 123.45, -0.5.
QString sqlFixed(Fixed4 value);
// Between single quotes, each embedded quote doubled.
QString sqlText(const QString& value);
// The inside of a quoted literal (quotes doubled, no enclosing quotes), for statements whose
// fixed pieces already hold the quotes.
QString sqlTextBody(const QString& value);
