// The type list, the coating buttons and the product tree of the chosen type.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLabel>
#include <QLineEdit>

void TForm1::combovidClick() {
    m_browser.setSearching(false);
    m_browser.forgetRows();  // a type chosen is read afresh, even the same one again
    Panel2->setVisible(false);
    m_browser.setTreeRow(-1);
    namekr->clear();
    LoadTypeProducts();
    DBGridEh1->setFocus();
}

void TForm1::RadioButton1Click() {
    chooseCoating(2);
}
void TForm1::RadioButton2Click() {
    chooseCoating(1);
}
void TForm1::RadioButton3Click() {
    chooseCoating(3);
}
void TForm1::RadioButton4Click() {
    chooseCoating(4);
}
void TForm1::RadioButton5Click() {
    chooseCoating(5);
}

void TForm1::chooseCoating(int code) {
    m_browser.setCoating(code);
    if (m_browser.searching()) {
        RunSearch();
        return;
    }
    LoadTypeProducts();
    refillAccessoriesInCoating();
}

namespace {

void standOn(DataGrid* grid, int recNo) {
    Query* rows = grid->query();
    if (recNo < 1 || !rows->isOpen() || recNo > rows->recordCount())
        return;
    rows->setRecNo(recNo);
    grid->syncToQuery();
}

std::optional<CatalogueBrowser::Rows> held(std::optional<CatalogueBrowser::Shown> rows) {
    if (!rows)
        return std::nullopt;
    return CatalogueBrowser::Rows(std::move(*rows));
}

}  // namespace

void TForm1::showRows(DataGrid* grid, CatalogueBrowser::Rows rows) {
    if (auto* statement = std::get_if<QString>(&rows)) {
        grid->reopen(*statement);
        return;
    }
    grid->query()->openRows(std::move(std::get<CatalogueBrowser::Shown>(rows)));
    grid->reload();
}

void TForm1::refillInCoating(DataGrid* grid, std::optional<CatalogueBrowser::Rows> rows) {
    if (!rows || !grid->query()->isOpen())
        return;
    const int recNo = grid->query()->recNo();
    showRows(grid, std::move(*rows));
    standOn(grid, recNo);
}

void TForm1::refillAccessoriesInCoating() {
    // Without a chosen type the grid goes on showing what a search put there.
    if (combovid2->currentText().isEmpty()) {
        refillInCoating(DBGridEh4, held(m_browser.searchedAccessoryRows()));
        return;
    }
    const int recNo = Q_tovar2.isOpen() ? Q_tovar2.recNo() : 0;
    FillAccessories();
    standOn(DBGridEh4, recNo);
}

void TForm1::LoadTypeProducts() {
    if (combovid->currentText().isEmpty()) {
        // No type chosen: the tree and the branch grid go on showing what a search or a branch
        // type put there, in the new coating, so nothing of another coating can be added.
        refillInCoating(DBGridEh1, held(m_browser.treeRows()));
        ShowCoverName();
        refillInCoating(DBGridEh3, m_browser.branchRows());
        return;
    }
    // The rows of one type come back in the same order, so a coating change keeps the product.
    if (m_browser.treeRow() != -1 && Q_tovar.isOpen())
        m_browser.setTreeRow(Q_tovar.recNo());
    // A coating change takes the type's rows already read; a failed read leaves the tree empty.
    Q_tovar.close();
    DBGridEh1->reload();
    showRows(DBGridEh1, m_browser.showType(ADOConn(), combovid->keyValue()));
    if (m_browser.treeRow() != -1) {
        Q_tovar.setRecNo(m_browser.treeRow());
        DBGridEh1->syncToQuery();
    }
    ShowCoverName();
    if (m_browser.manualBranch())
        FillBranchManual(combovid3->keyValue());
    else
        FillBranchAuto();
}
