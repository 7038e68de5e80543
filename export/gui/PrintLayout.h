#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <functional>

struct PrintDocument;

// The page the specification is laid out for: A4 landscape, as the spreadsheet prints.
QPageLayout printPageLayout();

// Lays the document out on the device's current page and paints every page: the title on the
// first, the column header and "Лист N из M" on each. Returns the number of pages (0 when the
// device could not be painted on).
int paintSpecification(QPagedPaintDevice& device, const PrintDocument& doc);

// The document as the bytes of a PDF file, its fonts embedded so the text can be searched.
QByteArray specificationPdf(const PrintDocument& doc);

// What paint() draws on a PDF of that page layout, as the file's bytes; the printed forms
// share it.
QByteArray paintedPdf(const QPageLayout& layout, const QString& title,
                      const std::function<void(QPagedPaintDevice&)>& paint);

// Lays a document out with the form's Layout (made from the device and the document) and paints
// every sheet. Returns the number of sheets (0 when the device could not be painted on).
template <class Layout, class Document>
int paintSheets(QPagedPaintDevice& device, const Document& doc) {
    QPainter painter;
    if (!painter.begin(&device))
        return 0;
    const Layout layout(device, doc);
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0)
            device.newPage();
        layout.paintPage(painter, page);
    }
    painter.end();
    return layout.pageCount();
}
