#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <functional>

class QPagedPaintDevice;
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
