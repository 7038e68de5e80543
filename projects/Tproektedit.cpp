#include "projects/Tproektedit.h"

#include "app/TForm1.h"
#include "projects/NameCheck.h"
#include "projects/ProjectGlyphs.h"
#include "projects/ProjectSql.h"
#include "projects/Tproekti.h"
#include "ui/Guard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tproektedit::Tproektedit(TForm1* form)
    : PixelDialog(form, QStringLiteral("proektedit"), QStringLiteral("Проект"), QSize(324, 87)),
      m_form(form) {
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

void Tproektedit::bindRow(const QString& key, const QString& name) {
    prokey->setText(key);
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
    Query& q = m_form->Q_all;
    const QString key = prokey->text();
    if (nameTaken(this, q,
                  key.isEmpty() ? projectNamedSql(name) : otherProjectNamedSql(key.toInt(), name)))
        return;
    m_form->proekti->post(name);
    accept();
}

void Tproektedit::BitBtn4Click() {
    m_form->proekti->cancel();
    QDialog::reject();
}
