// The branch elements that fit the chosen tray, or every one of a type chosen by hand.
#include "app/TForm1.h"
#include "catalogue/CatalogueColumns.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLabel>

using catalogue::TreeColumn;

void TForm1::FillBranchAuto() {
    m_browser.clearBranches();
    Q_FTovar.close();
    DBGridEh3->reload();
    // Without a current tray, or with a size that is no number, nothing can fit.
    if (!Q_tovar.isOpen() || Q_tovar.recNo() < 1)
        return;
    const auto height = catalogue::wholeNumber(Q_tovar.field(columnName(TreeColumn::Height)));
    const auto width = catalogue::wholeNumber(Q_tovar.field(columnName(TreeColumn::Width)));
    if (!height || !width)
        return;
    Q_FTovar.setSql(m_browser.showBranchesFor(Q_tovar.field(columnName(TreeColumn::Name)).toText(),
                                              combovid->keyValue(), *height, *width));
    Q_FTovar.open();
    DBGridEh3->reload();
}

void TForm1::FillBranchManual(int typeKey) {
    DBGridEh3->reopen(m_browser.showBranchType(typeKey));
}

void TForm1::combovid3Click() {
    m_browser.setSearching(false);
    Panel8->setVisible(false);
    m_browser.setManualBranch(true);
    FillBranchManual(combovid3->keyValue());
}
