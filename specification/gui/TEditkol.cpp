#include "specification/gui/TEditkol.h"

#include "projects/ProjectStore.h"
#include "specification/QuantityRules.h"
#include "store/StoreError.h"
#include "ui/ElidedLabel.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/NumberEdit.h"
#include "ui/PixelDialog.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace {

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The dialog's client area: an outer size of 467 by 149 less a usual frame.
const QSize designedClient(459, 122);

NumberEdit* quantityEdit(const char* name) {
    auto* edit = named(new NumberEdit, name);
    edit->setDecimals(4);
    edit->setFixedWidth(121);
    return edit;
}

}  // namespace

TEditkol::TEditkol(ProjectStore& store, QWidget* parent) : QDialog(parent), m_store(store) {
    setObjectName(QStringLiteral("Editkol"));
    setWindowTitle(QStringLiteral("Редактирование"));

    // A long product name is cut, never widening the dialog.
    Label2 = named(new ElidedLabel, "Label2");
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label1 = named(new QLabel(QStringLiteral("Количество, заказ")), "Label1");
    koltov = quantityEdit("koltov");
    koltov->setEnabled(false);
    Label3 = named(new QLabel(QStringLiteral("Количество по проекту")), "Label3");
    koltovm = quantityEdit("koltovm");
    BitBtn3 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                    QStringLiteral("Сохранить")),
                    "BitBtn3");
    BitBtn4 = named(new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                    QStringLiteral("Отмена")),
                    "BitBtn4");
    // Enter in the quantity field saves, as the button does.
    BitBtn3->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 8, 8, 8);
    grid->addWidget(Label2, 0, 0, 1, 3);
    grid->addWidget(Label1, 1, 0);
    grid->addWidget(koltov, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(koltovm, 2, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn3);
    buttons->addWidget(BitBtn4);
    grid->addLayout(buttons, 3, 0, 1, 3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, koltovm);
    keepDesignedSize(this, designedClient);
    resize(designedClient);

    koltovm->installEventFilter(this);
    connect(koltovm, &NumberEdit::focusLeft, this, [this] {
        // Only a move of the focus inside the dialog counts as leaving the field; a message
        // box or another window taking the focus does not.
        if (m_focusMovedAway && isVisible())
            guarded(this, [this] { koltovmExit(); });
    });
    connect(BitBtn3, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn4Click(); }); });
}

void TEditkol::fill(std::int64_t product, const QString& productName, Fixed4 kol, Fixed4 kolm) {
    m_product = product;
    Label2->setFullText(productName);
    koltov->setFixedValue(kol);
    koltovm->setFixedValue(kolm);
    m_orderFor = koltovm->fixedValue();
}

bool TEditkol::acceptable(Fixed4 projectQuantity) {
    if (projectQuantity > Fixed4())
        return true;
    MessageBox::information(this, QStringLiteral("Длина не может равняться нулю!"));
    return false;
}

void TEditkol::koltovmExit() {
    const Fixed4 projectQuantity = koltovm->fixedValue();
    if (!acceptable(projectQuantity))
        return;
    const auto product = m_store.productLength(m_product);
    if (!product)
        throw StoreError(QStringLiteral("Товар этой строки не найден в каталоге."));
    koltov->setFixedValue(
        orderForProjectQuantity(projectQuantity, product->stockLength, product->unit));
    m_orderFor = projectQuantity;
}

void TEditkol::BitBtn3Click() {
    const Fixed4 projectQuantity = koltovm->fixedValue();
    if (!acceptable(projectQuantity))
        return;
    // Saving with Enter does not leave the field: bring the order quantity up to date first.
    if (projectQuantity != m_orderFor)
        koltovmExit();
    accept();
}

Fixed4 TEditkol::orderQuantity() const {
    return koltov->fixedValue();
}

Fixed4 TEditkol::projectQuantity() const {
    return koltovm->fixedValue();
}

void TEditkol::BitBtn4Click() {
    reject();
}

void TEditkol::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The same size at every opening, whatever the line's name, centred on the screen. The
    // frame is not known before the window manager has framed the dialog once.
    resize(designedClient);
    if (QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(467 / 2, 149 / 2));
}

bool TEditkol::eventFilter(QObject* watched, QEvent* event) {
    // Seen before the field commits its text and reports leaving.
    if (watched == koltovm && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        m_focusMovedAway = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    }
    return QDialog::eventFilter(watched, event);
}
