#pragma once

#include <QString>

namespace catalogue {

// The columns of the product tree's rows (productTreeSql, searchTreeSql), by name: a grid or a
// handler that names a column through these can not miss it by a letter.
enum class TreeColumn {
    Key,        // Ключ; 0 for a subtype row
    Name,       // Название
    Width,      // Ширина
    Height,     // Высота
    Article,    // Номер with the coating code
    BaseCode,   // ТМЦ, the item code photos are filed under
    CoverCode,  // kk, the cover's item code in the coating; 0 without a cover
    ItemCode,   // tt, the product's item code in the coating
    Price,      // pp, in the coating
    ParentId,   // parentid, the subtype's key negated
    Id,         // ID: the product's key, or a subtype row's key negated
    Length,     // Длина, the stock length in millimetres
    Subtype,    // Подвид
    Unit,       // ЕИ
};

// The columns of the branch-element and accessory lists (branchAutoSql, branchManualSql,
// accessoriesSql and the searches).
enum class ListColumn {
    Article,
    Key,
    Name,
    BaseCode,
    CoverCode,
    ItemCode,
    Price,
    ParentId,
    Id,
    Length,
    Subtype,
    Unit,
};

// The output name of a column in its statement.
QString columnName(TreeColumn column);
QString columnName(ListColumn column);

}  // namespace catalogue
