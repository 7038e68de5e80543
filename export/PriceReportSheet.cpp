#include "export/PriceReportSheet.h"

#include "export/Spreadsheet.h"

namespace {

QString cell(const QString& type, const QString& text, const char* style = nullptr) {
    const QString styled =
        style ? QStringLiteral(" ss:StyleID=\"%1\"").arg(QLatin1String(style)) : QString();
    return QStringLiteral("    <Cell%1><Data ss:Type=\"%2\">%3</Data></Cell>")
        .arg(styled, type, text);
}

QString text(const QString& value, const char* style = nullptr) {
    return cell(QStringLiteral("String"), xmlText(value), style);
}

QString number(Fixed4 value, const char* style = nullptr) {
    return cell(QStringLiteral("Number"), value.toString(), style);
}

}  // namespace

std::vector<ProjectTotal> projectTotals(const std::vector<ProjectLines>& projects) {
    std::vector<ProjectTotal> totals;
    for (const ProjectLines& project : projects) {
        const RepriceTotals sums = repriceTotals(project.lines);
        totals.push_back(
            {project.key, repriceTitle(project.key, project.name), sums.before, sums.after});
    }
    return totals;
}

QByteArray priceReportSpreadsheet(const QString& title, const std::vector<PriceReportRow>& rows,
                                  const std::vector<ProjectTotal>& totals) {
    QStringList out = {
        QStringLiteral("<?xml version=\"1.0\"?>"),
        QStringLiteral("<?mso-application progid=\"Excel.Sheet\"?>"),
        QStringLiteral("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\""),
        QStringLiteral(" xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"),
        QStringLiteral(" <Styles>"),
        QStringLiteral("  <Style ss:ID=\"Default\" ss:Name=\"Normal\"><Font ss:FontName=\"Arial "
                       "Cyr\" ss:Size=\"10\"/></Style>"),
        QStringLiteral("  <Style ss:ID=\"head\"><Font ss:FontName=\"Arial Cyr\" ss:Size=\"10\" "
                       "ss:Bold=\"1\"/></Style>"),
        QStringLiteral(" </Styles>"),
        QStringLiteral(" <Worksheet ss:Name=\"Новый прайс-лист\">"),
        QStringLiteral("  <Table>"),
    };
    for (int width : {170, 90, 220, 60, 40, 80, 80, 90, 90, 260})
        out << QStringLiteral("   <Column ss:Width=\"%1\"/>").arg(width);
    out << QStringLiteral("   <Row>") << text(title, "head") << QStringLiteral("   </Row>");
    out << QStringLiteral("   <Row>");
    for (const char* head : {"Проект", "Артикул", "Наименование", "Кол-во", "Ед.", "Цена было",
                             "Цена стало", "Сумма было", "Сумма стало", "Причина"})
        out << text(QString::fromUtf8(head), "head");
    out << QStringLiteral("   </Row>");
    for (const ProjectTotal& total : totals) {
        for (const PriceReportRow& row : rows) {
            if (row.project != total.project)
                continue;
            out << QStringLiteral("   <Row>") << text(row.projectTitle) << text(row.article)
                << text(row.name) << number(row.kol) << text(row.unit) << number(row.oldPrice)
                << number(row.newPrice) << number(row.oldSum) << number(row.newSum)
                << text(row.reason) << QStringLiteral("   </Row>");
        }
        out << QStringLiteral("   <Row>") << text(total.title, "head")
            << QStringLiteral(
                   "    <Cell ss:Index=\"7\" ss:StyleID=\"head\"><Data "
                   "ss:Type=\"String\">Итого:</Data></Cell>")
            << number(total.before, "head") << number(total.after, "head")
            << QStringLiteral("   </Row>");
    }
    out << QStringLiteral("  </Table>") << QStringLiteral(" </Worksheet>")
        << QStringLiteral("</Workbook>");
    return (out.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}
