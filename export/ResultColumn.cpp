#include "export/ResultColumn.h"

#include "store/Query.h"

int resultColumn(Query& rows, QStringView name) {
    const int column = rows.columnIndex(name);
    if (column < 0 && rows.recordCount() > 0) {
        rows.first();
        rows.field(name);  // throws, naming the field and the query
    }
    return column;
}
