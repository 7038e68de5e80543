#include "projects/Tproektedit.h"

#include "app/TForm1.h"
#include "projects/ProjectGlyphs.h"
#include "projects/ProjectSql.h"
#include "projects/Tproekti.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

Tproektedit::Tproektedit(TForm1* form) : QDialog(form), m_form(form), m_anchors(QSize(324, 87)) {
    setObjectName(QStringLiteral("proektedit"));
    setWindowTitle(QStringLiteral("Проект"));
    resize(324, 87);

    Label1 = new QLabel(QStringLiteral("Название"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    m_anchors.place(Label1, QRect(8, 12, 60, 13));
    namepro = new QLineEdit(this);
    namepro->setObjectName(QStringLiteral("namepro"));
    m_anchors.place(namepro, QRect(72, 8, 241, 21));
    Label1->setBuddy(namepro);
    prokey = new QLineEdit(this);
    prokey->setObjectName(QStringLiteral("prokey"));
    prokey->setReadOnly(true);
    m_anchors.place(prokey, QRect(24, 48, 41, 21));
    prokey->hide();

    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    BitBtn3 = new QPushButton(projectGlyph(ProjectGlyph::Save), QStringLiteral("Сохранить"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    m_anchors.place(BitBtn3, QRect(126, 51, 91, 25), rightBottom);
    BitBtn4 = new QPushButton(projectGlyph(ProjectGlyph::Cancel), QStringLiteral("Отмена"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    m_anchors.place(BitBtn4, QRect(222, 51, 91, 25), rightBottom);
    // Neither button is the default or the cancel button: Enter and Esc do nothing here.
    for (QPushButton* b : {BitBtn3, BitBtn4}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

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
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    namepro->setFocus();
}

void Tproektedit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_anchors.apply(size());
}

void Tproektedit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tproektedit::BitBtn3Click() {
    const QString name = namepro->text();
    if (name.isEmpty())
        return;
    Query& q = m_form->Q_all;
    q.close();
    const QString key = prokey->text();
    q.setSql(key.isEmpty() ? projectNamedSql(name) : otherProjectNamedSql(key.toInt(), name));
    q.open();
    const bool taken = q.recordCount() > 0;
    q.close();
    if (taken) {
        MessageBox::information(this, QStringLiteral("Проект с таким именем уже есть!"));
        return;
    }
    m_form->proekti->post(name);
    accept();
}

void Tproektedit::BitBtn4Click() {
    m_form->proekti->cancel();
    QDialog::reject();
}
