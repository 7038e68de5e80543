// Removing lines of the open project and editing a line's quantities.
#include "app/TForm1.h"
#include "specification/TEditkol.h"
#include "ui/Modal.h"

namespace {

bool hasRows(const Query& q) {
    return q.isOpen() && q.recordCount() > 0;
}

}  // namespace

void TForm1::BitBtn1Click() {
    if (!hasRows(Q_buy))
        return;
    showSpec(m_session->deleteLine(Q_buy.field(u"Ключ").toInt()));
}

void TForm1::BitBtn2Click() {
    showSpec(m_session->clear());
}

void TForm1::BitBtn4Click() {
    if (!hasRows(Q_buy) || !Editkol)
        return;
    // Group rows have no price, and no line behind them.
    if (Q_buy.field(u"price").toFixed().isZero())
        return;
    m_session->markModified();
    const std::int64_t line = Q_buy.field(u"Ключ").toInt();
    Editkol->fill(Q_buy.field(u"TMC").toInt(), Q_buy.field(u"tname").toText(),
                  Q_buy.field(u"kol").toFixed(), Q_buy.field(u"kolm").toFixed());
    if (runModal(Editkol) != QDialog::Accepted) {
        reloadSpec();
        return;
    }
    showSpec(m_session->setQuantities(line, Editkol->orderQuantity(), Editkol->projectQuantity()));
}
