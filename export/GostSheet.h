#pragma once

#include <QByteArray>

struct GostDocument;

// Form 1 as an XML Spreadsheet 2003 file, for pasting into a CAD specification: the nine
// columns under their headings, one row per line, each section heading a row of its own with
// its name underlined in the name column. UTF-8 without a BOM, CR LF after every line.
QByteArray buildGostSheet(const GostDocument& doc);
