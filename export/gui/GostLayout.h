#pragma once

#include <QByteArray>
#include <QPageLayout>

class QPagedPaintDevice;
struct GostDocument;

// Form 1 is 395 mm wide: A3 landscape holds it at its size; on A4 portrait the same columns
// are scaled to the 185 mm the frame leaves.
enum class GostPaper { A3, A4 };

// The paper with the frame's distances from its edges (20 mm on the left for binding, 5 mm
// elsewhere) as margins: the frame runs along the printable area.
QPageLayout gostPageLayout(GostPaper paper);

// Paints every sheet on the device: the frame, the table with its column headings and the main
// inscription (the full one on the first sheet, the short one on the others). Returns the
// number of sheets (0 when the device could not be painted on).
int paintGostForm(QPagedPaintDevice& device, const GostDocument& doc);

// The document as the bytes of a PDF file, fonts embedded.
QByteArray gostFormPdf(const GostDocument& doc, GostPaper paper);
