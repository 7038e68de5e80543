#pragma once

#include "store/Fixed4.h"

#include <QDate>
#include <QString>
#include <vector>

class Query;

// The printed specification of one project: what the window's print preview and the PDF of
// ulmar-tool show, read once and laid out by paintSpecification().

struct PrintLine {
    int number = 0;  // running number over the whole document
    QString article;
    QString name;
    QString coating;
    Fixed4 quantity;
    QString unit;
    Fixed4 price;
    Fixed4 sum;
};

// The lines of one product subtype with their sum. The lines whose subtype is not in the
// catalogue come last, under printUnknownSubtype().
struct PrintGroup {
    QString name;
    Fixed4 sum;
    std::vector<PrintLine> lines;
};

struct PrintDocument {
    QString projectLine;  // "Проект: ..." or "Рабочая спецификация"
    // "Цены: file.mdb от dd.MM.yyyy", the list the prices were last taken from; empty when no
    // repricing recorded one.
    QString priceSource;
    QDate date;
    std::vector<PrintGroup> groups;
    Fixed4 total;
    int lineCount = 0;
};

// Texts printed with the table.
QString printTitle();
QString printNotice();
QString printTotalLabel();
QString printUnknownSubtype();
QString printColumnTitle(int column);  // the eight columns, 0 to 7
constexpr int printColumnCount = 8;

// The project's lines with their subtype, in the window's order (specOrderSql). Paper follows
// the window, not the spreadsheet's flat order: the reader finds the trays, covers and branch
// elements where the designer checked them on screen, and each group's subtotal is there
// without a calculator. The spreadsheet stays flat, as a spreadsheet program wants it. Both
// printed forms read it: form 1 takes the designed length and item code, the priced print the
// price.
QString printLinesSql(int project);

// The columns of that statement's result, looked up once for all its rows.
struct PrintLineColumns {
    explicit PrintLineColumns(Query& rows);
    int subtype, vid, coating, article, name, code, quantity, designed, unit, price;
};

// Reads the project's name and lines through the scratch query.
PrintDocument loadPrintDocument(Query& scratch, int project, const QDate& date);

// Numbers as a Russian reader writes them: a decimal comma and digit groups of three divided
// by a no-break space. Quantities in their shortest form (3, 7,5, 1 250); money with at least
// the two places of kopecks and the further places only when they are not zero (412,50,
// 0,125), so nothing is rounded away and the sums still add up on paper.
QString russianQuantity(Fixed4 value);
QString russianMoney(Fixed4 value);
