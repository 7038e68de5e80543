// Turning the current row of a catalogue grid into a line of the open project.
#include "app/TForm1.h"
#include "ui/NumberEdit.h"

#include <QRadioButton>

void TForm1::addPosition(int source) {
    Addition addition;
    addition.source = source;
    const Query* rows = source == TreeSource        ? &Q_tovar
                        : source == BranchSource    ? &Q_FTovar
                        : source == AccessorySource ? &Q_tovar2
                                                    : nullptr;
    if (rows && rows->isOpen() && rows->recordCount() > 0)
        addition.row = readSourceRow(*rows, source == TreeSource);
    addition.coating = m_browser.coating();
    addition.length = dlinaus->fixedValue();
    addition.withCover = RadioButton6->isChecked();
    showSpec(m_session->add(addition));
}

void TForm1::DBGridEh1DblClick() {
    if (RBclick->isChecked())
        addPosition(TreeSource);
}

void TForm1::DBGridEh3DblClick() {
    if (RBclick->isChecked())
        addPosition(BranchSource);
}

void TForm1::DBGridEh4DblClick() {
    if (RBclick->isChecked())
        addPosition(AccessorySource);
}

void TForm1::BitBtn6Click() {
    addPosition(m_browser.addSource());
}
