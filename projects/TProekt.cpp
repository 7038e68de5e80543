#include "projects/TProekt.h"

#include "app/TForm1.h"
#include "projects/ProjectGlyphs.h"
#include "projects/ProjectSql.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

TProekt::TProekt(TForm1* form) : QDialog(form), m_form(form), m_anchors(QSize(329, 72)) {
    setObjectName(QStringLiteral("Proekt"));
    setWindowTitle(QStringLiteral("Сохранение проекта"));
    resize(329, 72);

    Label1 = new QLabel(QStringLiteral("Название"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    m_anchors.place(Label1, QRect(8, 12, 60, 13));
    namepro = new QLineEdit(this);
    namepro->setObjectName(QStringLiteral("namepro"));
    m_anchors.place(namepro, QRect(80, 8, 241, 21));
    Label1->setBuddy(namepro);

    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    BitBtn3 = new QPushButton(projectGlyph(ProjectGlyph::Save), QStringLiteral("Сохранить"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    m_anchors.place(BitBtn3, QRect(134, 39, 91, 25), rightBottom);
    BitBtn4 = new QPushButton(projectGlyph(ProjectGlyph::Cancel), QStringLiteral("Отмена"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    m_anchors.place(BitBtn4, QRect(230, 39, 91, 25), rightBottom);
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

void TProekt::reject() {
    BitBtn4Click();
}

void TProekt::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    guarded(this, [this] { FormShow(); });
}

void TProekt::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_anchors.apply(size());
}

void TProekt::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TProekt::FormShow() {
    namepro->clear();
    namepro->setFocus();
}

void TProekt::BitBtn3Click() {
    const QString name = namepro->text();
    if (name.isEmpty())
        return;
    Query& q = m_form->Q_all;
    q.open(projectNamedSql(name));
    const bool taken = q.recordCount() > 0;
    q.close();
    if (taken) {
        MessageBox::information(this, QStringLiteral("Проект с таким именем уже есть!"));
        return;
    }
    accept();
}

void TProekt::BitBtn4Click() {
    namepro->clear();
    QDialog::reject();
}
