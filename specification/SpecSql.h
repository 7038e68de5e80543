#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <cstdint>
#include <optional>

// Statements on the lines of a specification (table buy). P is the project key, K a product
// key, C the coating code; every value enters through the literal helpers.

// --- the view ---
QString specCaptionSql(int project);
// "Выбранные товары", followed by the project's name when a project row was found.
QString specCaption(const std::optional<QString>& projectName);
// Line rows of the project and one row per subtype group with its sums.
QString specViewSql(int project);

// --- adding ---
QString lineQuantitiesSql(int project, std::int64_t product, int coating);
QString lineCountSql(int project, std::int64_t product, int coating);
QString insertTreeLineSql(std::int64_t product, Fixed4 order, int coating, std::int64_t itemCode,
                          Fixed4 price, std::int64_t parentId, const QString& unit, int project,
                          Fixed4 length);
QString updateTreeLineSql(Fixed4 order, Fixed4 length, int project, std::int64_t product,
                          int coating);
// The cover whose item code in the coating is coverCode.
QString coverLookupSql(int coating, std::int64_t coverCode);
QString insertCoverLineSql(int project, std::int64_t cover, Fixed4 order, int coating,
                           std::int64_t coverCode, Fixed4 price, std::int64_t parentId,
                           const QString& unit, Fixed4 length);
QString updateCoverLineSql(Fixed4 order, Fixed4 length, int project, std::int64_t cover,
                           int coating);
QString insertBranchLineSql(int project, std::int64_t product, int coating, std::int64_t itemCode,
                            Fixed4 price, std::int64_t parentId, const QString& unit);
QString insertAccessoryLineSql(int project, std::int64_t product, int coating,
                               std::int64_t itemCode, Fixed4 price, std::int64_t parentId,
                               const QString& unit);
// Branch elements and accessories grow by one piece per add.
QString addOnePieceSql(int project, std::int64_t product, int coating);

// --- editing and removing ---
QString deleteLineSql(std::int64_t line);
QString clearSpecSql(int project);
QString productLengthSql(std::int64_t product);
QString updateLineQuantitiesSql(Fixed4 kol, Fixed4 kolm, std::int64_t line);
