#pragma once

#include "specification/PriceListReport.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The report of a price list as an XML Spreadsheet 2003 file (UTF-8, CR LF), the export's
// format: a title, one row per line the list touches, and after each project's rows its total
// old → new. totals: the projects whose total is shown, every one with rows included.
struct ProjectTotal {
    int project = 0;
    QString title;
    Fixed4 before;
    Fixed4 after;
};
std::vector<ProjectTotal> projectTotals(const std::vector<ProjectLines>& projects);
QByteArray priceReportSpreadsheet(const QString& title, const std::vector<PriceReportRow>& rows,
                                  const std::vector<ProjectTotal>& totals);
