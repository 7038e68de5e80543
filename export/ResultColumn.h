#pragma once

#include <QStringView>

class Query;

// A column of a read result found by its name once, so that each row is read by position. A
// name the result lacks fails as reading that field would, when there are rows to read.
int resultColumn(Query& rows, QStringView name);
