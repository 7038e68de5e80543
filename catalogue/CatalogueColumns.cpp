#include "catalogue/CatalogueColumns.h"

namespace catalogue {

QString columnName(TreeColumn column) {
    switch (column) {
        case TreeColumn::Key:
            return QStringLiteral("Ключ");
        case TreeColumn::Name:
            return QStringLiteral("Название");
        case TreeColumn::Width:
            return QStringLiteral("Ширина");
        case TreeColumn::Height:
            return QStringLiteral("Высота");
        case TreeColumn::Article:
            return QStringLiteral("Номер");
        case TreeColumn::BaseCode:
            return QStringLiteral("ТМЦ");
        case TreeColumn::CoverCode:
            return QStringLiteral("kk");
        case TreeColumn::ItemCode:
            return QStringLiteral("tt");
        case TreeColumn::Price:
            return QStringLiteral("pp");
        case TreeColumn::ParentId:
            return QStringLiteral("parentid");
        case TreeColumn::Id:
            return QStringLiteral("ID");
        case TreeColumn::Length:
            return QStringLiteral("Длина");
        case TreeColumn::Subtype:
            return QStringLiteral("Подвид");
        case TreeColumn::Unit:
            return QStringLiteral("ЕИ");
    }
    return QString();
}

QString columnName(ListColumn column) {
    switch (column) {
        case ListColumn::Article:
            return QStringLiteral("Номер");
        case ListColumn::Key:
            return QStringLiteral("Ключ");
        case ListColumn::Name:
            return QStringLiteral("Название");
        case ListColumn::BaseCode:
            return QStringLiteral("ТМЦ");
        case ListColumn::CoverCode:
            return QStringLiteral("kk");
        case ListColumn::ItemCode:
            return QStringLiteral("tt");
        case ListColumn::Price:
            return QStringLiteral("pp");
        case ListColumn::ParentId:
            return QStringLiteral("parentid");
        case ListColumn::Id:
            return QStringLiteral("ID");
        case ListColumn::Length:
            return QStringLiteral("Длина");
        case ListColumn::Subtype:
            return QStringLiteral("Подвид");
        case ListColumn::Unit:
            return QStringLiteral("ЕИ");
    }
    return QString();
}

}  // namespace catalogue
