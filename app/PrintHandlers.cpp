// "Печать" and Ctrl+P: a print preview of the open project's specification, from which the
// user prints it or saves it as a PDF.
#include "app/TForm1.h"
#include "export/ExportTarget.h"
#include "export/GostForm.h"
#include "export/PrintContent.h"
#include "export/gui/GostLayout.h"
#include "export/gui/PrintFormChoice.h"
#include "export/gui/PrintLayout.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <QPrintPreviewDialog>
#include <QPrinter>

void TForm1::BitBtn10Click() {
    const int project = store().storedKey(m_session->project());
    const PrintDocument doc = loadPrintDocument(Q_all, project, QDate::currentDate());
    if (doc.lineCount == 0) {
        MessageBox::information(this, QStringLiteral("Ваш проект пустой!"));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(printPageLayout());
    printer.setDocName(doc.projectLine);
    const GostDocument gost = loadGostDocument(Q_all, project);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    const PrintFormChoice form(preview, printer);
    // The preview lays the pages out again whenever the user changes the paper or orientation.
    // «Печать в файл» names the file in the print dialog; nothing is painted (so the file is not
    // even opened) when that file is the store or another database.
    const QString store = ADOConn().path();
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&doc, &gost, &form, &preview, &store](QPrinter* target) {
                const QString refusal =
                    target->outputFileName().isEmpty()
                        ? QString()
                        : databaseTargetRefusal(target->outputFileName(), store);
                if (!refusal.isEmpty())
                    MessageBox::error(&preview, refusal);
                else if (form.gost())
                    paintGostForm(*target, gost);
                else
                    paintSpecification(*target, doc);
            });
    runModal(&preview);
}
