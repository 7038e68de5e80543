// The specification of the open project as a tree of subtype groups with their sums.
#include "app/TForm1.h"
#include "specification/SpecColumns.h"
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

void TForm1::showSpec(const SpecChange& change) {
    const auto edits = specEdits(Q_buy, change);
    if (!edits) {
        reloadSpec();
        return;
    }
    GridModel& model = *DBGridEh2->model();
    const int parentColumn = change.rows.columnIndex(columnName(SpecColumn::ParentId));
    DBGridEh2->editRows([&] {
        for (const SpecEdit& edit : *edits) {
            switch (edit.kind) {
                case SpecEdit::Remove:
                    model.removeRecord(edit.row + 1, [&] { Q_buy.removeRow(edit.row); });
                    break;
                case SpecEdit::Insert:
                    model.insertRecord(edit.row + 1,
                                       change.rows.value(edit.from, parentColumn).toInt(),
                                       [&] { Q_buy.insertRow(edit.row, change.rows, edit.from); });
                    break;
                case SpecEdit::Replace:
                    Q_buy.replaceRow(edit.row, change.rows, edit.from);
                    model.recordChanged(edit.row + 1);
                    break;
            }
        }
    });
}

void TForm1::showSpec(const std::optional<SpecChange>& change) {
    if (change)
        showSpec(*change);
}

void TForm1::reloadSpec() {
    // Read aside first: when the statements fail the grid keeps the rows it had.
    showSpec(m_session->view());
}

void TForm1::BitBtn3Click() {
    reloadSpec();
}
