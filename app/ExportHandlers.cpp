#include "app/TForm1.h"
#include "export/ExportTarget.h"
#include "export/GostForm.h"
#include "export/GostSheet.h"
#include "export/Spreadsheet.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

void TForm1::BitBtn5Click() {
    const int project = store().storedKey(m_session->project());
    openExportRows(Q_all, project);
    if (Q_all.recordCount() == 0)
        return;  // an empty project: no dialog, no file
    // The file type chosen in the dialog decides the form: the priced list or form 1.
    int form = 0;
    const QString path = FileDialog::getSaveFileName(
        this, m_lastExportPath.isEmpty() ? QStringLiteral("export.xml") : m_lastExportPath,
        {QStringLiteral("Файл экспорта (*.xml)"),
         QStringLiteral("Спецификация по ГОСТ 21.110, без цен (*.xml)")},
        QStringLiteral("xml"), form);
    if (path.isEmpty())
        return;
    m_lastExportPath = path;
    if (const QString refusal = databaseTargetRefusal(path, ADOConn().path()); !refusal.isEmpty()) {
        MessageBox::error(this, refusal);
        return;
    }
    const QByteArray bytes =
        form == 1 ? buildGostSheet(loadGostDocument(Q_all, project)) : buildSpreadsheet(Q_all);
    const QString failure = saveSpreadsheet(path, bytes);
    if (!failure.isEmpty())
        MessageBox::error(this, failure);
}
