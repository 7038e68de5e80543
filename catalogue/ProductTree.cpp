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
    FillAccessories();
}

void TForm1::LoadTypeProducts() {
    if (combovid->currentText().isEmpty())
        return;
    // The rows of one type come back in the same order, so a coating change keeps the product.
    if (treeRecNo != -1 && Q_tovar.isOpen())
        treeRecNo = Q_tovar.recNo();
    DBGridEh1->reopen(catalogue::productTreeSql(curPokr, combovid->keyValue()));
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
