// Search by article and name across all tray and accessory types.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>

void TForm1::BitBtn9Click() {
    searchMode = 1;
    RunSearch();
}

void TForm1::RunSearch() {
    const QString text = findedit->text();
    treeRecNo = -1;  // a search always starts on the first row of its result
    DBGridEh1->reopen(catalogue::searchTreeSql(curPokr, text));
    ShowCoverName();

    DBGridEh3->reopen(catalogue::searchBranchSql(curPokr, text));

    accRecNo = -1;
    // The general hardware list does not depend on the search: it stays as it is.
    if (catalogue::isGeneralHardware(combovid2->currentText()))
        return;
    DBGridEh4->reopen(catalogue::searchAccessoriesSql(curPokr, text));
}
