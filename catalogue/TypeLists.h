#pragma once

#include "store/Schema.h"

#include <QString>

// The two product-type lists, opened once when the window is shown, sorted without regard to
// letter case as the catalogue's own engine sorts them.
inline QString typeListSql(const QString& typeKeys) {
    return QStringLiteral(
               "select Ключ, Название from EXPORT_VIDTMC where Номер like '100.%' and Ключ in (%1) "
               "order by Название collate foldcase")
        .arg(typeKeys);
}

inline QString trayTypeListSql() {
    return typeListSql(schema::trayTypes);
}

inline QString accessoryTypeListSql() {
    return typeListSql(schema::accessoryTypes);
}
