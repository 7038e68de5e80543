#pragma once

#include <QByteArray>
#include <QList>

// The fixed text around the generated rows of an exported spreadsheet, one UTF-8 line per
// item, without line ends: 263 lines before the first row and 246 after the total.
const QList<QByteArray>& spreadsheetHeaderLines();
const QList<QByteArray>& spreadsheetFooterLines();
