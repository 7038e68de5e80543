#include "specification/SpecColumns.h"

QString columnName(SpecColumn column) {
    switch (column) {
        case SpecColumn::Key:
            return QStringLiteral("Ключ");
        case SpecColumn::Product:
            return QStringLiteral("TMC");
        case SpecColumn::Kol:
            return QStringLiteral("kol");
        case SpecColumn::ItemCode:
            return QStringLiteral("TMC2");
        case SpecColumn::Price:
            return QStringLiteral("price");
        case SpecColumn::ParentId:
            return QStringLiteral("parentid");
        case SpecColumn::Id:
            return QStringLiteral("ID");
        case SpecColumn::Name:
            return QStringLiteral("Tname");
        case SpecColumn::Sum:
            return QStringLiteral("summa");
        case SpecColumn::CoatingName:
            return QStringLiteral("pokr");
        case SpecColumn::LineSum:
            return QStringLiteral("summa2");
        case SpecColumn::Article:
            return QStringLiteral("nomer");
        case SpecColumn::Unit:
            return QStringLiteral("izm");
        case SpecColumn::Kolm:
            return QStringLiteral("kolm");
    }
    return QString();
}
