// Search by article and name across all tray and accessory types.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "store/SearchIndex.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>

void TForm1::BitBtn9Click() {
    m_browser.setSearching(true);
    m_browser.forgetRows();  // a search asked for reads the store afresh
    RunSearch();
}

void TForm1::RunSearch() {
    const QString text = findedit->text();
    m_browser.setTreeRow(-1);  // a search always starts on the first row of its result
    // The general hardware list does not depend on the search: it keeps its rows, in the
    // coating the search runs in.
    const bool generalHardware = catalogue::isGeneralHardware(combovid2->currentText());
    // One pass reads all three lists; a coating or mounting change shows them again as read.
    // A failed read leaves the tree empty.
    Q_tovar.close();
    DBGridEh1->reload();
    m_browser.showSearch(ADOConn(), text, !generalHardware, searchIndex::ready(ADOConn()));
    showRows(DBGridEh1, *m_browser.treeRows());
    ShowCoverName();

    showRows(DBGridEh3, *m_browser.branchRows());

    m_browser.setAccessoryRow(-1);
    if (generalHardware)
        refillAccessoriesInCoating();
    else
        showRows(DBGridEh4, *m_browser.searchedAccessoryRows());
}
