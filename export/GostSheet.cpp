#include "export/GostSheet.h"

#include "export/GostForm.h"
#include "export/Spreadsheet.h"

#include <QStringList>

namespace {

// A spreadsheet's widths are in points.
constexpr double pointsPerMillimetre = 72 / 25.4;

QString cell(const char* style, const char* type, const QString& data) {
    return QStringLiteral("    <Cell ss:StyleID=\"%1\"><Data ss:Type=\"%2\">%3</Data></Cell>")
        .arg(QLatin1String(style), QLatin1String(type), data);
}

bool isWholeNumber(const QString& text) {
    bool ok = false;
    text.toLongLong(&ok);
    return ok;
}

}  // namespace

QByteArray buildGostSheet(const GostDocument& doc) {
    QStringList lines = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral("<?mso-application progid=\"Excel.Sheet\"?>"),
        QStringLiteral("<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                       "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                       "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
                       "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">"),
        QStringLiteral(" <Styles>"),
        QStringLiteral("  <Style ss:ID=\"Default\" ss:Name=\"Normal\">"
                       "<Alignment ss:Vertical=\"Top\" ss:WrapText=\"1\"/>"
                       "<Font ss:FontName=\"Arial\" ss:Size=\"10\"/></Style>"),
        QStringLiteral(
            "  <Style ss:ID=\"head\"><Alignment ss:Horizontal=\"Center\" "
            "ss:Vertical=\"Center\" ss:WrapText=\"1\"/><Borders>"
            "<Border ss:Position=\"Bottom\" ss:LineStyle=\"Continuous\" ss:Weight=\"2\"/>"
            "</Borders></Style>"),
        QStringLiteral("  <Style ss:ID=\"text\"/>"),
        QStringLiteral("  <Style ss:ID=\"middle\"><Alignment ss:Horizontal=\"Center\" "
                       "ss:Vertical=\"Top\" ss:WrapText=\"1\"/></Style>"),
        QStringLiteral("  <Style ss:ID=\"section\"><Font ss:FontName=\"Arial\" ss:Size=\"10\" "
                       "ss:Underline=\"Single\"/></Style>"),
        QStringLiteral(" </Styles>"),
        QStringLiteral(" <Worksheet ss:Name=\"Спецификация\">"),
        QStringLiteral(
            "  <Table ss:ExpandedColumnCount=\"%1\" x:FullColumns=\"1\" x:FullRows=\"1\">")
            .arg(GostColumnCount),
    };
    for (double width : gostColumnWidths)
        lines << QStringLiteral("   <Column ss:AutoFitWidth=\"0\" ss:Width=\"%1\"/>")
                     .arg(width * pointsPerMillimetre, 0, 'f', 2);
    lines << QStringLiteral("   <Row ss:AutoFitHeight=\"0\" ss:Height=\"42\">");
    for (int c = 0; c < GostColumnCount; ++c)
        lines << cell("head", "String", xmlText(gostColumnTitle(c)));
    lines << QStringLiteral("   </Row>");

    for (const GostRow& row : doc.rows) {
        lines << QStringLiteral("   <Row>");
        if (row.section) {
            lines << QStringLiteral(
                         "    <Cell ss:Index=\"2\" ss:StyleID=\"section\"><Data ss:Type=\"String\">"
                         "%1</Data></Cell>")
                         .arg(xmlText(row.cells[GostName]));
        } else {
            for (int c = 0; c < GostColumnCount; ++c) {
                const QString& text = row.cells[std::size_t(c)];
                if (c == GostQuantity && row.quantity)
                    lines << cell("middle", "Number", row.quantity->toString());
                else if ((c == GostPosition || c == GostCode) && isWholeNumber(text))
                    lines << cell("middle", "Number", text);
                else if (text.isEmpty())
                    lines << QStringLiteral("    <Cell ss:StyleID=\"text\"/>");
                else
                    lines << cell(c == GostUnit ? "middle" : "text", "String", xmlText(text));
            }
        }
        lines << QStringLiteral("   </Row>");
    }
    lines << QStringLiteral("  </Table>")
          << QStringLiteral("  <WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\">")
          << QStringLiteral("   <PageSetup><Layout x:Orientation=\"Landscape\"/></PageSetup>")
          << QStringLiteral(
                 "   <Print><ValidPrinterInfo/><PaperSizeIndex>8</PaperSizeIndex></Print>")
          << QStringLiteral("   <Selected/>") << QStringLiteral("  </WorksheetOptions>")
          << QStringLiteral(" </Worksheet>") << QStringLiteral("</Workbook>");
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}
