// The specification of the open project as a tree of subtype groups with their sums.
#include "app/TForm1.h"
#include "specification/SpecSql.h"
#include "ui/DataGrid.h"
#include "ui/ElidedGroupBox.h"

#include <QGroupBox>

void TForm1::reloadSpec() {
    // The grid reads its rows straight from Q_buy: let it go before the rows do, so a failing
    // statement below leaves an empty grid rather than one over vanished rows.
    Q_buy.close();
    DBGridEh2->reload();

    Q_all.open(specCaptionSql(curProject));
    setGroupTitle(GroupBox4,
                  specCaption(Q_all.recordCount() > 0
                                  ? std::optional<QString>(Q_all.field(u"Название").toText())
                                  : std::nullopt));

    Q_buy.setSql(specViewSql(curProject));
    Q_buy.open();
    DBGridEh2->reload();
}

void TForm1::BitBtn3Click() {
    reloadSpec();
}
