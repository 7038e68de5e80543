#pragma once

#include <QString>

// The two product-type lists, opened once when the window is shown, sorted without regard to
// letter case as the catalogue's own engine sorts them.
inline QString trayTypeListSql() {
    return QStringLiteral(
        "Select Ключ, [Название] from [EXPORT_VIDTMC] where Номер like '100.%' and Ключ in "
        "(64,65,66,67,68,69,70,71,75,76)\nOrder By [Название] collate foldcase");
}

inline QString accessoryTypeListSql() {
    return QStringLiteral(
        "Select Ключ, [Название] from [EXPORT_VIDTMC] where Номер like '100.%' and Ключ in "
        "(72,79,80)\nOrder By [Название] collate foldcase");
}
