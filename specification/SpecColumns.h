#pragma once

#include <QString>

// The columns of the specification view's rows (specLinesSql), by name: a grid or a handler that
// names a column through these can not miss it by a letter. The line's coating code (Pokr) has
// no name here: the coating's name, pokr, differs from it only in letter case and so hides it.
enum class SpecColumn {
    Key,          // Ключ, the line's key; 0 for a group row
    Product,      // TMC
    Kol,          // kol, the order quantity; a group row's sum
    ItemCode,     // TMC2, the product's item code in the line's coating
    Price,        // price; 0 for a group row
    ParentId,     // parentid, the subtype's key negated
    Id,           // ID: the line's key, or a group row's subtype key negated
    Name,         // Tname
    Sum,          // summa: price × kol, or a group's sum
    CoatingName,  // pokr
    LineSum,      // summa2: a line's sum, 0 for a group row, so a total counts each line once
    Article,      // nomer, with the coating code
    Unit,         // izm
    Kolm,         // kolm, the quantity as designed
};

// The output name of a column in specLinesSql.
QString columnName(SpecColumn column);
