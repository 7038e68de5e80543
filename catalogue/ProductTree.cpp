// The type list, the coating buttons and the product tree of the chosen type.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLabel>
#include <QLineEdit>

void TForm1::combovidClick() {
    searchMode = 0;
    Panel2->setVisible(false);
    treeRecNo = -1;
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
    curPokr = code;
    if (searchMode == 1) {
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

}  // namespace

void TForm1::refillInCoating(DataGrid* grid, const CoatingRows& rows) {
    if (!rows || !grid->query()->isOpen())
        return;
    const int recNo = grid->query()->recNo();
    grid->reopen(rows(curPokr));
    standOn(grid, recNo);
}

void TForm1::refillAccessoriesInCoating() {
    // Without a chosen type the grid goes on showing what a search put there.
    if (combovid2->currentText().isEmpty()) {
        refillInCoating(DBGridEh4, m_accessoryRows);
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
        refillInCoating(DBGridEh1, m_treeRows);
        ShowCoverName();
        refillInCoating(DBGridEh3, m_branchRows);
        return;
    }
    const int type = combovid->keyValue();
    m_treeRows = [type](int coating) { return catalogue::productTreeSql(coating, type); };
    // The rows of one type come back in the same order, so a coating change keeps the product.
    if (treeRecNo != -1 && Q_tovar.isOpen())
        treeRecNo = Q_tovar.recNo();
    DBGridEh1->reopen(m_treeRows(curPokr));
    if (treeRecNo != -1) {
        Q_tovar.setRecNo(treeRecNo);
        DBGridEh1->syncToQuery();
    }
    ShowCoverName();
    if (manualBranch == 1)
        FillBranchManual(combovid3->keyValue());
    else
        FillBranchAuto();
}
