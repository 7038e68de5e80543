// Removing lines of the open project and editing a line's quantities.
#include "app/TForm1.h"
#include "specification/SpecColumns.h"
#include "specification/gui/TEditkol.h"
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
    showSpec(m_session->deleteLine(Q_buy.field(columnName(SpecColumn::Key)).toInt()));
}

void TForm1::DBGridEh2DeleteKey() {
    if (!hasRows(Q_buy) || Q_buy.field(columnName(SpecColumn::Key)).toInt() == 0)
        return;
    m_session->refuseIfReadOnly();
    if (MessageBox::question(this, QStringLiteral("Удалить строку «%1» из спецификации?")
                                       .arg(Q_buy.field(columnName(SpecColumn::Name)).toText())))
        BitBtn1Click();
}

void TForm1::BitBtn2Click() {
    showSpec(m_session->clear());
}

void TForm1::BitBtn4Click() {
    if (!hasRows(Q_buy) || !Editkol)
        return;
    // Group rows have no price, and no line behind them.
    if (Q_buy.field(columnName(SpecColumn::Price)).toFixed().isZero())
        return;
    m_session->refuseIfReadOnly();
    const std::int64_t line = Q_buy.field(columnName(SpecColumn::Key)).toInt();
    Editkol->fill(Q_buy.field(columnName(SpecColumn::Product)).toInt(),
                  Q_buy.field(columnName(SpecColumn::Name)).toText(),
                  Q_buy.field(columnName(SpecColumn::Kol)).toFixed(),
                  Q_buy.field(columnName(SpecColumn::Kolm)).toFixed());
    if (runModal(Editkol) != QDialog::Accepted) {
        reloadSpec();
        return;
    }
    showSpec(m_session->setQuantities(line, Editkol->orderQuantity(), Editkol->projectQuantity()));
}
