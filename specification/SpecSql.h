#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// Statements on the lines of a specification (table buy); every value enters through the
// literal helpers.

// --- the view ---
QString specCaptionSql(int project);
// "Выбранные товары", followed by the project's name when a project row was found.
QString specCaption(const std::optional<QString>& projectName);
// The project's line rows, in the columns of the view, ordered by vid and key; specViewRows
// puts them together with their groups' rows in the view's order.
QString specLinesSql(int project);
// The same for some lines of the project: a line the project no longer has gives no row.
QString specLinesByKeySql(int project, const std::vector<std::int64_t>& lines);
// What the sums of some groups take, line by line in the same order (vid, kol, summa, kolm): the
// groups those lines of the project stand in, and further groups (by vid). A group the project
// no longer has gives no row.
QString specGroupAmountsSql(int project, const std::vector<std::int64_t>& lines,
                            const std::vector<std::int64_t>& vids);
// The vids of the project's groups in the view's order, with their names (podvid).
QString specGroupOrderSql(int project);
// The vid of a line.
QString lineGroupSql(std::int64_t line);
// The one order of a specification, on screen and on paper: subtype groups by name as the
// program's lists sort names, lines of a subtype the catalogue lacks last, and a group's lines
// in the order they were added. The columns hold the subtype's name as subtypeNameSql gives it
// (null when the catalogue lacks it), the line's vid (a group row's key negated) and the line's
// key (0 on a group row, which so comes before its lines).
QString specOrderSql(const QString& subtypeName, const QString& vid, const QString& line);
// The name of a line's subtype, sorting as the program's lists sort names. The collation
// stands on the column, not in the order: a union ordered by a collation of its own would be
// read through a subquery that renames the columns the view shares a name between.
QString subtypeNameSql(const QString& vid);
QString subtypeSortName(const QString& name);

// --- adding ---
// The line of a product in a coating, if the project has one: one line per product and coating.
QString lineQuantitiesSql(int project, std::int64_t product, int coating);
QString lineKeySql(int project, std::int64_t product, int coating);
// A new line: itemCode is the product's code in the coating (TMC2), parentId its subtype
// negated (vid), kol the order quantity and kolm the quantity as designed.
QString insertLineSql(int project, std::int64_t product, int coating, std::int64_t itemCode,
                      Fixed4 price, std::int64_t parentId, const QString& unit, Fixed4 kol,
                      Fixed4 kolm);
// Another add of the same product and coating grows the line it already has.
QString addToLineSql(int project, std::int64_t product, int coating, Fixed4 kol, Fixed4 kolm);
// The cover whose item code in the coating is coverCode.
QString coverLookupSql(int coating, std::int64_t coverCode);

// --- editing and removing ---
QString deleteLineSql(std::int64_t line);
QString clearSpecSql(int project);
QString productLengthSql(std::int64_t product);
QString updateLineQuantitiesSql(Fixed4 kol, Fixed4 kolm, std::int64_t line);
