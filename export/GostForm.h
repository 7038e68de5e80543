#pragma once

#include "projects/ProjectProperties.h"
#include "store/Fixed4.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

class Query;

// A project's lines as the specification of equipment, products and materials of a project's
// documentation (form 1 of ГОСТ 21.110): no prices, the nine columns of the form, the subtype
// groups as section headings. Printed by paintGostForm() and written as a spreadsheet by
// buildGostSheet().

enum GostColumn {
    GostPosition,
    GostName,
    GostType,
    GostCode,
    GostSupplier,
    GostUnit,
    GostQuantity,
    GostMass,
    GostNote,
    GostColumnCount
};

// The columns' widths on the form, in millimetres: 395 together.
constexpr std::array<double, GostColumnCount> gostColumnWidths = {20, 130, 60, 35, 45,
                                                                  20, 20,  25, 40};
QString gostColumnTitle(int column);

struct GostRow {
    bool section = false;  // a section heading: its text in the name column, underlined
    std::array<QString, GostColumnCount> cells;
    std::optional<Fixed4> quantity;  // the order quantity of a line, as a number
};

struct GostDocument {
    ProjectProperties properties;
    std::vector<GostRow> rows;
    int lineCount = 0;
};

// The maker, who supplies every product of the catalogue.
QString gostSupplier();
// A unit as ГОСТ 8.417 writes it: running metres are plain metres, pieces "шт.".
QString gostUnit(const QString& stored);
// A coating in words for the product's name ("горячий цинк"); empty for an unknown code.
QString coatingInWords(int code);

// Reads the project's properties and lines through the scratch query.
GostDocument loadGostDocument(Query& scratch, int project);
