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
    Q_tovar.close();
    DBGridEh1->reload();
    Q_tovar.setSql(catalogue::searchTreeSql(curPokr, text));
    Q_tovar.open();
    DBGridEh1->reload();
    ShowCoverName();

    Q_FTovar.close();
    DBGridEh3->reload();
    Q_FTovar.setSql(catalogue::searchBranchSql(curPokr, text));
    Q_FTovar.open();
    DBGridEh3->reload();

    accRecNo = -1;
    // The general hardware list does not depend on the search: it stays as it is.
    if (catalogue::isGeneralHardware(combovid2->currentText()))
        return;
    Q_tovar2.close();
    DBGridEh4->reload();
    Q_tovar2.setSql(catalogue::searchAccessoriesSql(curPokr, text));
    Q_tovar2.open();
    DBGridEh4->reload();
}
