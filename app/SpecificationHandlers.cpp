// The specification of the open project as a tree of subtype groups with their sums.
#include "app/TForm1.h"
#include "ui/DataGrid.h"
#include "ui/ElidedGroupBox.h"

#include <QGroupBox>

void TForm1::showSpec(SpecView view) {
    // Rows that stay keep the grid as it is, with the user's place in it.
    if (view.rows) {
        Q_buy.swapResult(*view.rows);
        DBGridEh2->reload();
    }
    setGroupTitle(GroupBox4, view.caption);
}

void TForm1::showSpec(std::optional<SpecView> view) {
    if (view)
        showSpec(std::move(*view));
}

void TForm1::reloadSpec() {
    // Read aside first: when the statements fail the grid keeps the rows it had.
    showSpec(m_session->view());
}

void TForm1::BitBtn3Click() {
    reloadSpec();
}
