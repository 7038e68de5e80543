#pragma once

#include "store/Fixed4.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

class Query;

// Repricing a project's lines by a price list: every line takes the list's price of its
// product in its coating; a line whose product is gone from the list, or has no price there in
// that coating, keeps its own price. So does a line whose product the list changed: another
// unit (a price per piece is no price per metre) or another article under the same key.

struct RepriceLine {
    std::int64_t key = 0;  // buy.Ключ
    std::int64_t product = 0;
    int coating = 0;
    QString article;  // the product's Номер, empty when no list knows the product
    QString name;
    Fixed4 kol;
    QString unit;
    Fixed4 price;               // as the line has it
    std::int64_t itemCode = 0;  // buy.TMC2: the product's item code in the coating when added
    bool listed = false;
    // The list's price in the line's coating; none when the product is gone or not priced in it.
    std::optional<Fixed4> listPrice;
    // What the list says the product is now; productChanged when that is not what was added.
    QString listArticle;
    QString listUnit;
    std::int64_t listItemCode = 0;
    bool productChanged = false;
};

struct RepriceTotals {
    int lines = 0;
    int changed = 0;
    int kept = 0;            // gone from the list or not priced in the coating
    int productChanged = 0;  // kept at their price: the list has another product under the key
    Fixed4 before;
    Fixed4 after;
};

// The lines of the project with their price in the list. The list's catalogue lies in the
// attached database listSchema; article and name come from oldSchema's catalogue first, so a
// withdrawn product is still named as the old list named it. Both "main" for the catalogue in
// use.
QString repriceLinesSql(int project, const QString& listSchema = QStringLiteral("main"),
                        const QString& oldSchema = QStringLiteral("main"));
// Runs repriceLinesSql on q (closed afterwards) and reads its rows.
std::vector<RepriceLine> readRepriceLines(Query& q, int project,
                                          const QString& listSchema = QStringLiteral("main"),
                                          const QString& oldSchema = QStringLiteral("main"));

bool priceChanges(const RepriceLine& line);
RepriceTotals repriceTotals(const std::vector<RepriceLine>& lines);
// One update per line whose price changes.
QString repriceLineSql(std::int64_t line, Fixed4 price);
QStringList repriceSql(const std::vector<RepriceLine>& lines);

// The heading of a project's part of the report: the working specification for key 0.
QString repriceTitle(int project, const QString& name);
// A project's part of the report: the lines kept at their price, the lines whose product
// changed (old → new article and unit), the lines whose price changes with both sums, and the
// total before and after.
QString repriceReport(const QString& title, const std::vector<RepriceLine>& lines);
// The question the window asks before it reprices the open project; sums are written with
// the decimal point the grid shows.
QString repriceQuestion(const RepriceTotals& totals,
                        const QString& decimalPoint = QStringLiteral("."));
// The question's line about lines whose product changed, for the window to say also when no
// price changes.
QString productChangedNote(const RepriceTotals& totals);
