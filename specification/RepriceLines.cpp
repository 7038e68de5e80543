// Repricing the open project by the catalogue, from the specification grid's context menu.
#include "app/TForm1.h"
#include "specification/Reprice.h"
#include "ui/MessageBox.h"

#include <QLocale>

void TForm1::repriceItemClick() {
    const std::vector<RepriceLine> lines = readRepriceLines(Q_all, curProject);
    if (lines.empty())
        return;
    const RepriceTotals totals = repriceTotals(lines);
    if (totals.changed == 0) {
        MessageBox::information(
            this, QStringLiteral("Цены строк совпадают с каталогом.") +
                      (totals.productChanged > 0 ? productChangedNote(totals) : QString()));
        return;
    }
    if (!MessageBox::question(this, repriceQuestion(totals, QLocale().decimalPoint())))
        return;
    commitLines([&] {
        for (const QString& sql : repriceSql(lines))
            Q_all.execute(sql);
        return curProject;
    });
    // A change like any other: leaving the project without keeping it brings the snapshot's
    // prices back.
    modified = 1;
}
