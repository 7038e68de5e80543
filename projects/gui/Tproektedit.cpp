#include "projects/gui/Tproektedit.h"

#include "projects/ProjectList.h"
#include "projects/gui/NameCheck.h"
#include "projects/gui/ProjectGlyphs.h"
#include "ui/Guard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tproektedit::Tproektedit(ProjectStore& store, QWidget* parent)
    : PixelDialog(parent, QStringLiteral("proektedit"), QStringLiteral("Проект"), QSize(324, 87)),
      m_store(store) {
    Label1 = new QLabel(QStringLiteral("Название"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    place(Label1, QRect(8, 12, 60, 13));
    namepro = new QLineEdit(this);
    namepro->setObjectName(QStringLiteral("namepro"));
    place(namepro, QRect(72, 8, 241, 21));
    Label1->setBuddy(namepro);
    prokey = new QLineEdit(this);
    prokey->setObjectName(QStringLiteral("prokey"));
    prokey->setReadOnly(true);
    place(prokey, QRect(24, 48, 41, 21));
    prokey->hide();

    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    BitBtn3 = button("BitBtn3", projectGlyph(ProjectGlyph::Save), QStringLiteral("Сохранить"),
                     QRect(126, 51, 91, 25), rightBottom);
    BitBtn4 = button("BitBtn4", projectGlyph(ProjectGlyph::Cancel), QStringLiteral("Отмена"),
                     QRect(222, 51, 91, 25), rightBottom);

    connect(BitBtn3, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn3Click(); }); });
    connect(BitBtn4, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { BitBtn4Click(); }); });
}

void Tproektedit::bindRow(int key, const QString& name) {
    m_key = key;
    prokey->setText(key != 0 ? QString::number(key) : QString());
    namepro->setText(name);
}

void Tproektedit::reject() {
    BitBtn4Click();
}

void Tproektedit::showEvent(QShowEvent* event) {
    PixelDialog::showEvent(event);
    namepro->setFocus();
}

void Tproektedit::BitBtn3Click() {
    const QString name = namepro->text();
    if (name.isEmpty())
        return;
    const bool adding = prokey->text().isEmpty();
    if (nameTaken(this, m_store, name, adding ? 0 : m_key))
        return;
    // A failing statement leaves the dialog open with the name, to try again or cancel.
    if (adding) {
        m_key = addProject(m_store, name);
    } else {
        renameProject(m_store, m_key, name);
    }
    accept();
}

void Tproektedit::BitBtn4Click() {
    QDialog::reject();
}
