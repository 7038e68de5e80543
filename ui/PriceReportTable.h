#pragma once

#include "export/PriceReportSheet.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;

// The report of a price list as a table: one row per line it touches, a choice of one project
// or all of them, and the chosen projects' totals old → new below.
class PriceReportTable : public QWidget {
    Q_OBJECT
public:
    explicit PriceReportTable(QWidget* parent = nullptr);

    void setReport(std::vector<PriceReportRow> rows, std::vector<ProjectTotal> totals);
    // The rows shown and the totals of the projects shown, for saving and printing.
    std::vector<PriceReportRow> shownRows() const;
    std::vector<ProjectTotal> shownTotals() const;

    QComboBox* projectFilter;
    QTableWidget* table;
    QLabel* totalsLabel;

private:
    void showChosen();

    std::vector<PriceReportRow> m_rows;
    std::vector<ProjectTotal> m_totals;
};
