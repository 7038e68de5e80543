#include "projects/gui/TProekt.h"

#include "projects/gui/NameCheck.h"
#include "projects/gui/ProjectGlyphs.h"
#include "ui/Guard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TProekt::TProekt(ProjectStore& store, QWidget* parent)
    : PixelDialog(parent, QStringLiteral("Proekt"), QStringLiteral("Сохранение проекта"),
                  QSize(329, 72)),
      m_store(store) {
    Label1 = new QLabel(QStringLiteral("Название"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    place(Label1, QRect(8, 12, 60, 13));
    namepro = new QLineEdit(this);
    namepro->setObjectName(QStringLiteral("namepro"));
    place(namepro, QRect(80, 8, 241, 21));
    Label1->setBuddy(namepro);

    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    BitBtn3 = button("BitBtn3", projectGlyph(ProjectGlyph::Save), QStringLiteral("Сохранить"),
                     QRect(134, 39, 91, 25), rightBottom);
    BitBtn4 = button("BitBtn4", projectGlyph(ProjectGlyph::Cancel), QStringLiteral("Отмена"),
                     QRect(230, 39, 91, 25), rightBottom);

    connect(BitBtn3, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn4Click(); }); });
}

QString TProekt::name() const {
    return result() == Accepted ? namepro->text() : QString();
}

void TProekt::reject() {
    BitBtn4Click();
}

void TProekt::showEvent(QShowEvent* event) {
    PixelDialog::showEvent(event);
    guarded(this, [this] { FormShow(); });
}

void TProekt::FormShow() {
    namepro->clear();
    namepro->setFocus();
}

void TProekt::BitBtn3Click() {
    const QString name = namepro->text();
    if (name.isEmpty())
        return;
    if (nameTaken(this, m_store, name))
        return;
    accept();
}

void TProekt::BitBtn4Click() {
    namepro->clear();
    QDialog::reject();
}
