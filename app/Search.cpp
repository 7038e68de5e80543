// Search by article and name across all tray and accessory types.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "store/SearchIndex.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLineEdit>

void TForm1::BitBtn9Click() {
    m_browser.setSearching(true);
    RunSearch();
}

void TForm1::RunSearch() {
    const QString text = findedit->text();
    m_browser.setTreeRow(-1);  // a search always starts on the first row of its result
    // The general hardware list does not depend on the search: it keeps its rows, in the
    // coating the search runs in.
    const bool generalHardware = catalogue::isGeneralHardware(combovid2->currentText());
    m_browser.showSearch(text, !generalHardware, searchIndex::ready(ADOConn()));
    DBGridEh1->reopen(*m_browser.treeRows());
    ShowCoverName();

    DBGridEh3->reopen(*m_browser.branchRows());

    m_browser.setAccessoryRow(-1);
    if (generalHardware)
        refillAccessoriesInCoating();
    else
        DBGridEh4->reopen(*m_browser.searchedAccessoryRows());
}
