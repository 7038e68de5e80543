// Turning the current row of a catalogue grid into a line of the open project.
#include "app/TForm1.h"
#include "specification/QuantityRules.h"
#include "specification/SourceRow.h"
#include "specification/SpecSql.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"

#include <QRadioButton>

namespace {

bool lineExists(Query& q, int project, std::int64_t product, int coating) {
    q.open(lineCountSql(project, product, coating));
    return q.field(u"sss").toInt() != 0;
}

// The cover of a tray as the catalogue lists it in the coating.
struct Cover {
    std::int64_t product = 0;
    Fixed4 price;
    std::int64_t parentId = 0;
    QString unit;
};

std::optional<Cover> findCover(Query& q, int coating, std::int64_t coverCode) {
    q.open(coverLookupSql(coating, coverCode));
    if (q.recordCount() == 0)
        return std::nullopt;
    const auto key = numberField(q.field(u"Ключ"));
    const auto price = numberField(q.field(u"pp"));
    if (!key || !price)
        return std::nullopt;
    return Cover{q.field(u"Ключ").toInt(), *price, q.field(u"parentid").toInt(),
                 q.field(u"ЕИ").toText()};
}

}  // namespace

void TForm1::addPosition(int source) {
    // Marked before anything is checked: at worst the question on leaving comes once too often.
    modified = 1;
    Query* rows = source == TreeSource        ? &Q_tovar
                  : source == BranchSource    ? &Q_FTovar
                  : source == AccessorySource ? &Q_tovar2
                                              : nullptr;
    if (!rows || !rows->isOpen() || rows->recordCount() == 0)
        return;
    const std::optional<SourceRow> row = readSourceRow(*rows, source == TreeSource);
    // Subtype rows of the tree and products without a price in this coating add nothing.
    if (!row || row->price.isZero())
        return;

    const int p = curProject;
    const int c = curPokr;
    bool coverMissing = false;
    if (source == TreeSource) {
        const Fixed4 length = dlinaus->fixedValue();
        if (length.isZero()) {
            MessageBox::information(this, QStringLiteral("Длина не может равняться нулю!"));
            return;
        }
        if (length < Fixed4()) {
            MessageBox::information(this, QStringLiteral("Длина не может быть отрицательной!"));
            return;
        }
        commitLines([&] {
            coverMissing = false;
            Fixed4 surplus;
            if (usesSurplus(row->stockLength, row->unit)) {
                Q_all.open(lineQuantitiesSql(p, row->product, c));
                if (Q_all.recordCount() > 0)
                    surplus =
                        lineSurplus(Q_all.field(u"kol").toFixed(), Q_all.field(u"kolm").toFixed());
            }
            const TrayAddition add = trayAddition(length, row->stockLength, row->unit, surplus);
            if (!lineExists(Q_all, p, row->product, c))
                Q_all.execute(insertLineSql(p, row->product, c, row->itemCode, row->price,
                                            row->parentId, row->unit, add.order, length));
            else
                Q_all.execute(addToLineSql(p, row->product, c, add.order, length));

            // The cover gets the tray's order quantity as it is.
            if (row->coverCode > 0 && RadioButton6->isChecked()) {
                const std::optional<Cover> cover = findCover(Q_all, c, row->coverCode);
                if (!cover)
                    coverMissing = true;
                else if (!lineExists(Q_all, p, cover->product, c))
                    Q_all.execute(insertLineSql(p, cover->product, c, row->coverCode, cover->price,
                                                cover->parentId, cover->unit, add.order, length));
                else
                    Q_all.execute(addToLineSql(p, cover->product, c, add.order, length));
            }
            return p;
        });
    } else {
        // Branch elements and accessories: one piece per add.
        const Fixed4 onePiece = Fixed4::fromInt(1);
        commitLines([&] {
            if (lineExists(Q_all, p, row->product, c))
                Q_all.execute(addToLineSql(p, row->product, c, onePiece, onePiece));
            else
                Q_all.execute(insertLineSql(p, row->product, c, row->itemCode, row->price,
                                            row->parentId, row->unit, onePiece, onePiece));
            return p;
        });
    }
    if (coverMissing)
        MessageBox::information(
            this, QStringLiteral("Крышка к этому товару не найдена в каталоге, товар добавлен "
                                 "без крышки."));
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
    addPosition(addSource);
}
