// Search by article and name across all tray and accessory types.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "store/SearchIndex.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>

void TForm1::BitBtn9Click() {
    searchMode = 1;
    RunSearch();
}

void TForm1::RunSearch() {
    const QString text = findedit->text();
    const bool indexed = searchIndex::ready(ADOConn());
    treeRecNo = -1;  // a search always starts on the first row of its result
    m_treeRows = [text, indexed](int coating) {
        return catalogue::searchTreeSql(coating, text, indexed);
    };
    DBGridEh1->reopen(m_treeRows(curPokr));
    ShowCoverName();

    m_branchRows = [text, indexed](int coating) {
        return catalogue::searchBranchSql(coating, text, indexed);
    };
    DBGridEh3->reopen(m_branchRows(curPokr));

    accRecNo = -1;
    // The general hardware list does not depend on the search: it keeps its rows, in the
    // coating the search runs in.
    if (catalogue::isGeneralHardware(combovid2->currentText())) {
        refillAccessoriesInCoating();
        return;
    }
    m_accessoryRows = [text, indexed](int coating) {
        return catalogue::searchAccessoriesSql(coating, text, indexed);
    };
    DBGridEh4->reopen(m_accessoryRows(curPokr));
}
