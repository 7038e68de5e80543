#include "ui/PriceReportTable.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString shown(Fixed4 value) {
    return value.toString().replace(QLatin1Char('.'), QLocale().decimalPoint());
}

}  // namespace

PriceReportTable::PriceReportTable(QWidget* parent)
    : QWidget(parent),
      projectFilter(new QComboBox),
      table(new QTableWidget),
      totalsLabel(new QLabel) {
    projectFilter->setObjectName(QStringLiteral("projectFilter"));
    table->setObjectName(QStringLiteral("reportTable"));
    table->setColumnCount(9);
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Проект"), QStringLiteral("Артикул"), QStringLiteral("Наименование"),
         QStringLiteral("Причина"), QStringLiteral("Кол-во"), QStringLiteral("Ед."),
         QStringLiteral("Цена"), QStringLiteral("Сумма"), QStringLiteral("Разница")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideMiddle);
    totalsLabel->setObjectName(QStringLiteral("reportTotals"));
    totalsLabel->setWordWrap(true);
    totalsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(QStringLiteral("Проект:")));
    filter->addWidget(projectFilter, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(filter);
    layout->addWidget(table, 1);
    layout->addWidget(totalsLabel);
    connect(projectFilter, &QComboBox::currentIndexChanged, this, [this] { showChosen(); });
}

void PriceReportTable::setReport(std::vector<PriceReportRow> rows,
                                 std::vector<ProjectTotal> totals) {
    m_rows = std::move(rows);
    m_totals = std::move(totals);
    QSignalBlocker quiet(projectFilter);
    projectFilter->clear();
    projectFilter->addItem(QStringLiteral("Все проекты"), -1);
    for (const ProjectTotal& total : m_totals)
        projectFilter->addItem(total.title, total.project);
    showChosen();
}

std::vector<PriceReportRow> PriceReportTable::shownRows() const {
    const int chosen = projectFilter->currentData().toInt();
    std::vector<PriceReportRow> rows;
    for (const PriceReportRow& row : m_rows)
        if (chosen < 0 || row.project == chosen)
            rows.push_back(row);
    return rows;
}

std::vector<ProjectTotal> PriceReportTable::shownTotals() const {
    const int chosen = projectFilter->currentData().toInt();
    std::vector<ProjectTotal> totals;
    for (const ProjectTotal& total : m_totals)
        if (chosen < 0 || total.project == chosen)
            totals.push_back(total);
    return totals;
}

void PriceReportTable::showChosen() {
    const std::vector<PriceReportRow> rows = shownRows();
    table->setRowCount(int(rows.size()));
    const auto arrow = [](Fixed4 from, Fixed4 to) {
        return from == to ? shown(from) : shown(from) + QStringLiteral(" → ") + shown(to);
    };
    for (int r = 0; r < int(rows.size()); ++r) {
        const PriceReportRow& row = rows[std::size_t(r)];
        const QStringList cells = {row.projectTitle,
                                   row.article,
                                   row.name,
                                   row.reason,
                                   shown(row.kol),
                                   row.unit,
                                   arrow(row.oldPrice, row.newPrice),
                                   arrow(row.oldSum, row.newSum),
                                   shown(row.newSum - row.oldSum)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            item->setToolTip(cells.at(c));
            if (c == 4 || c >= 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.change != PriceChange::PriceChanged)
                item->setForeground(QColor(0xb0, 0, 0));
            table->setItem(r, c, item);
        }
    }
    // One project chosen: its name stands in the choice above. Long names and reasons are cut
    // in the middle and shown whole in the tooltip; figures are never cut.
    table->setColumnHidden(0, projectFilter->currentData().toInt() >= 0);
    table->resizeColumnsToContents();
    for (int c : {0, 2, 3})
        table->setColumnWidth(c, std::min(table->columnWidth(c), 230));
    QStringList lines;
    for (const ProjectTotal& total : shownTotals())
        if (total.before != total.after || projectFilter->currentData().toInt() >= 0)
            lines << QStringLiteral("%1: итого %2")
                         .arg(total.title, arrow(total.before, total.after));
    totalsLabel->setText(lines.isEmpty() ? QStringLiteral("Итоги проектов не меняются.")
                                         : lines.join(QLatin1Char('\n')));
}
