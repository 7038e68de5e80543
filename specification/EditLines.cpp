// Removing lines of the open project and editing a line's quantities.
#include "app/TForm1.h"
#include "specification/SpecSql.h"
#include "specification/TEditkol.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

namespace {

bool hasRows(const Query& q) {
    return q.isOpen() && q.recordCount() > 0;
}

}  // namespace

void TForm1::BitBtn1Click() {
    if (!hasRows(Q_buy))
        return;
    // A group row has key 0 and so removes nothing.
    modified = 1;
    const std::int64_t line = Q_buy.field(u"Ключ").toInt();
    commitLines([&] {
        Q_all.execute(deleteLineSql(line));
        return curProject;
    });
}

void TForm1::DBGridEh2DeleteKey() {
    if (!hasRows(Q_buy) || Q_buy.field(u"Ключ").toInt() == 0)
        return;
    if (MessageBox::question(this, QStringLiteral("Удалить строку «%1» из спецификации?")
                                       .arg(Q_buy.field(u"tname").toText())))
        BitBtn1Click();
}

void TForm1::BitBtn2Click() {
    modified = 1;
    commitLines([&] {
        Q_all.execute(clearSpecSql(curProject));
        return curProject;
    });
}

void TForm1::BitBtn4Click() {
    if (!hasRows(Q_buy) || !Editkol)
        return;
    // Group rows have no price, and no line behind them.
    if (Q_buy.field(u"price").toFixed().isZero())
        return;
    const std::int64_t line = Q_buy.field(u"Ключ").toInt();
    Editkol->fill(Q_buy.field(u"TMC").toInt(), Q_buy.field(u"tname").toText(),
                  Q_buy.field(u"kol").toFixed(), Q_buy.field(u"kolm").toFixed());
    if (runModal(Editkol) != QDialog::Accepted) {
        reloadSpec();
        return;
    }
    // Only a saved edit changes the project; a cancelled one leaves it as it was.
    modified = 1;
    commitLines([&] {
        Q_all.execute(
            updateLineQuantitiesSql(Editkol->orderQuantity(), Editkol->projectQuantity(), line));
        return curProject;
    });
}
