#include "app/TForm1.h"
#include "export/ExportTarget.h"
#include "export/Spreadsheet.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

void TForm1::BitBtn5Click() {
    openExportRows(Q_all, m_session->project());
    if (Q_all.recordCount() == 0)
        return;  // an empty project: no dialog, no file
    const QString path = FileDialog::getSaveFileName(
        this, m_lastExportPath.isEmpty() ? QStringLiteral("export.xml") : m_lastExportPath,
        QStringLiteral("Файл экспорта (*.xml)"), QStringLiteral("xml"));
    if (path.isEmpty())
        return;
    m_lastExportPath = path;
    if (const QString refusal = databaseTargetRefusal(path, ADOConn().path()); !refusal.isEmpty()) {
        MessageBox::error(this, refusal);
        return;
    }
    const QString failure = saveSpreadsheet(path, buildSpreadsheet(Q_all));
    if (!failure.isEmpty())
        MessageBox::error(this, failure);
}
