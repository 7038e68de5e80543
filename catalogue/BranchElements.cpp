// The branch elements that fit the chosen tray, or every one of a type chosen by hand.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

#include <QLabel>

void TForm1::FillBranchAuto() {
    m_branchRows = nullptr;
    Q_FTovar.close();
    DBGridEh3->reload();
    // Without a current tray, or with a size that is no number, nothing can fit.
    if (!Q_tovar.isOpen() || Q_tovar.recNo() < 1)
        return;
    const auto height = catalogue::wholeNumber(Q_tovar.field(u"Высота"));
    const auto width = catalogue::wholeNumber(Q_tovar.field(u"Ширина"));
    if (!height || !width)
        return;
    m_branchRows = [name = Q_tovar.field(u"Название").toText(), type = combovid->keyValue(),
                    height = *height, width = *width](int coating) {
        return catalogue::branchAutoSql(coating, name, type, height, width);
    };
    Q_FTovar.setSql(m_branchRows(curPokr));
    Q_FTovar.open();
    DBGridEh3->reload();
}

void TForm1::FillBranchManual(int typeKey) {
    m_branchRows = [typeKey](int coating) { return catalogue::branchManualSql(coating, typeKey); };
    DBGridEh3->reopen(m_branchRows(curPokr));
}

void TForm1::combovid3Click() {
    searchMode = 0;
    Panel8->setVisible(false);
    manualBranch = 1;
    FillBranchManual(combovid3->keyValue());
}
