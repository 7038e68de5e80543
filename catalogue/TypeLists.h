#pragma once

#include <QString>

// The two product-type lists, opened once when the window is shown.
inline QString trayTypeListSql() {
    return QStringLiteral(
        "Select Ключ, [Название] from [EXPORT_VIDTMC] where Номер like '100.%' and Ключ in "
        "(64,65,66,67,68,69,70,71,75,76)\nOrder By [Название] ");
}

inline QString accessoryTypeListSql() {
    return QStringLiteral(
        "Select Ключ, [Название] from [EXPORT_VIDTMC] where Номер like '100.%' and Ключ in "
        "(72,79,80)\nOrder By [Название] ");
}
