// Fastening accessories of the chosen type for the chosen mounting method.
#include "app/TForm1.h"
#include "catalogue/CatalogueSql.h"
#include "ui/DataGrid.h"
#include "ui/LookupCombo.h"

void TForm1::FillAccessories() {
    DBGridEh4->reopen(m_browser.accessoriesOf(
        combovid2->keyValue(), catalogue::isGeneralHardware(combovid2->currentText())));
}

void TForm1::combovid2Click() {
    m_browser.setSearching(false);
    m_browser.setAccessoryRow(-1);
    FillAccessories();
    DBGridEh4->setFocus();
}

void TForm1::RadioButton8Click() {
    chooseMounting(1);
}
void TForm1::RadioButton9Click() {
    chooseMounting(2);
}
void TForm1::RadioButton10Click() {
    chooseMounting(3);
}

void TForm1::chooseMounting(int code) {
    // In search mode the accessory result ignores the method; it still picks the photo variant.
    m_browser.setMounting(code);
    if (m_browser.searching())
        RunSearch();
    else
        FillAccessories();
}
