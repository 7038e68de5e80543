#pragma once

#include <QByteArray>
#include <QString>

class Query;

// The statement that reads a project's lines for the spreadsheet, in the order they were added.
QString exportSql(int project);
// Closes the query, sets the statement for the project and opens it.
void openExportRows(Query& rows, int project);

// Text from the store as XML character data: & < > escaped, and characters that XML 1.0 does
// not allow (control characters other than tab, LF and CR, lone surrogates, U+FFFE, U+FFFF)
// left out, so that a stray byte in the catalogue can not make the file unreadable.
QString xmlText(const QString& text);

// The whole XML Spreadsheet 2003 file for the open rows of exportSql(): UTF-8 without a BOM,
// CR LF after every line, 518 + 10 N lines for N rows. Throws StoreError when the total leaves
// the range of an amount.
QByteArray buildSpreadsheet(Query& rows);

// Puts the bytes into the file in one step: they are written beside it and moved into place,
// so a failed write leaves an existing file as it was. In a folder that takes no new file, a
// file the user may write is written in place, its length checked. Returns an empty text on
// success, else the message to show, naming the file (and saying when it was left incomplete).
QString saveSpreadsheet(const QString& path, const QByteArray& bytes);
