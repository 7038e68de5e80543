// The specification of the open project as a tree of subtype groups with their sums.
#include "app/TForm1.h"
#include "specification/SpecSql.h"
#include "ui/DataGrid.h"
#include "ui/ElidedGroupBox.h"

#include <QGroupBox>

QString TForm1::readSpec(int project, Query& rows) {
    Q_all.open(specCaptionSql(project));
    const QString caption = specCaption(
        Q_all.recordCount() > 0 ? std::optional<QString>(Q_all.field(u"Название").toText())
                                : std::nullopt);
    Q_all.close();
    rows.open(specViewSql(project));
    return caption;
}

void TForm1::showSpec(Query& rows, const QString& caption) {
    Q_buy.swapResult(rows);
    DBGridEh2->reload();
    setGroupTitle(GroupBox4, caption);
}

void TForm1::reloadSpec() {
    // Read aside first: when the statements fail the grid keeps the rows it had.
    Query rows(*m_db, Q_buy.name());
    const QString caption = readSpec(curProject, rows);
    showSpec(rows, caption);
}

void TForm1::commitLines(const std::function<int()>& change) {
    Database::Transaction transaction(*m_db);
    const int project = change();
    // The view of the outcome is read before the commit, so the window takes it only together
    // with the store; when anything fails, both stay as they were.
    Query rows(*m_db, Q_buy.name());
    const QString caption = readSpec(project, rows);
    transaction.commit();
    curProject = project;
    showSpec(rows, caption);
}

void TForm1::BitBtn3Click() {
    reloadSpec();
}
