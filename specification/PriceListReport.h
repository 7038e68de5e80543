#pragma once

#include "specification/Reprice.h"

#include <QString>
#include <vector>

// What a price list does to the lines of the projects, one row per line it touches. The tool's
// text report, its spreadsheet and the window's table are all made from these rows.

// Why a line is in the report.
enum class PriceChange {
    Gone,            // the product is not in the list; the line keeps its price
    NotPriced,       // the list has no price for it in the line's coating; kept
    ProductChanged,  // the list has another product under the key; kept
    PriceChanged,    // repricing gives the line the list's price
};

// A project with its lines as the list would price them; key 0 is the working specification.
struct ProjectLines {
    int key = 0;
    QString name;
    std::vector<RepriceLine> lines;
};

struct PriceReportRow {
    int project = 0;
    QString projectTitle;
    QString article;
    QString name;
    Fixed4 kol;
    QString unit;
    Fixed4 oldPrice;
    Fixed4 newPrice;  // the old one for a line that keeps its price
    Fixed4 oldSum;
    Fixed4 newSum;
    PriceChange change = PriceChange::PriceChanged;
    QString reason;  // the change in words, as the report shows it
};

// The rows of one project, in the order of its lines; lines the list leaves as they are have
// none. Throws AmountTooLarge when a sum leaves the range of an amount.
std::vector<PriceReportRow> priceReportRows(const ProjectLines& project);
std::vector<PriceReportRow> priceReportRows(const std::vector<ProjectLines>& projects);
