#include "projects/Tproekti.h"

#include "app/TForm1.h"
#include "projects/NameCheck.h"
#include "projects/ProjectGlyphs.h"
#include "projects/ProjectSql.h"
#include "projects/Tproektedit.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

Tproekti::Tproekti(TForm1* form)
    : PixelDialog(form, QStringLiteral("proekti"), QStringLiteral("Проекты"), QSize(357, 444)),
      Q_pro(form->ADOConn(), QStringLiteral("Q_pro")),
      m_form(form) {
    GridP = new DataGrid(this);
    GridP->setObjectName(QStringLiteral("GridP"));
    GridP->setQuery(&Q_pro);
    GridColumn name;
    name.field = QStringLiteral("Название");
    name.title = QStringLiteral("Название проекта");
    name.width = 299;
    GridP->setColumns({name});
    GridP->view()->header()->setSectionResizeMode(QHeaderView::Interactive);
    place(GridP, QRect(0, 0, 357, 401),
          Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);

    const Qt::Edges leftBottom = Qt::LeftEdge | Qt::BottomEdge;
    const Qt::Edges rightBottom = Qt::RightEdge | Qt::BottomEdge;
    BitBtn1 = button("BitBtn1", projectGlyph(ProjectGlyph::AddSheet), {}, QRect(3, 408, 30, 25),
                     leftBottom);
    BitBtn2 = button("BitBtn2", projectGlyph(ProjectGlyph::RenameSheet), {}, QRect(35, 408, 30, 25),
                     leftBottom);
    BitBtn5 = button("BitBtn5", projectGlyph(ProjectGlyph::DeleteSheet), {}, QRect(67, 408, 30, 25),
                     leftBottom);
    BitBtn6 = button("BitBtn6", projectGlyph(ProjectGlyph::Choose), QStringLiteral("Копировать"),
                     QRect(104, 408, 94, 25), rightBottom);
    BitBtn3 = button("BitBtn3", projectGlyph(ProjectGlyph::Choose), QStringLiteral("Выбрать"),
                     QRect(202, 408, 73, 25), rightBottom);
    BitBtn4 = button("BitBtn4", projectGlyph(ProjectGlyph::Cancel), QStringLiteral("Отмена"),
                     QRect(282, 408, 73, 25), rightBottom);

    auto on = [this](QPushButton* b, void (Tproekti::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded(this, [&] { (this->*handler)(); }); });
    };
    on(BitBtn1, &Tproekti::BitBtn1Click);
    on(BitBtn2, &Tproekti::BitBtn2Click);
    on(BitBtn5, &Tproekti::BitBtn5Click);
    on(BitBtn6, &Tproekti::BitBtn6Click);
    on(BitBtn3, &Tproekti::BitBtn3Click);
    on(BitBtn4, &Tproekti::BitBtn4Click);
}

void Tproekti::showEvent(QShowEvent* event) {
    PixelDialog::showEvent(event);
    guarded(this, [this] { FormShow(); });
}

void Tproekti::reopen(int key) {
    Q_pro.open(projectListSql());
    for (int row = 0; key != 0 && row < Q_pro.recordCount(); ++row) {
        if (Q_pro.value(row, Q_pro.columnIndex(u"Ключ")).toInt() == key) {
            Q_pro.setRecNo(row + 1);
            break;
        }
    }
    GridP->reload();
}

void Tproekti::FormShow() {
    m_rowState = RowState::Browsing;
    reopen();
}

void Tproekti::BitBtn3Click() {
    if (Q_pro.recordCount() == 0)
        return;
    m_form->curProject = int(Q_pro.field(u"Ключ").toInt());
    accept();
}

void Tproekti::BitBtn4Click() {
    reject();
}

void Tproekti::BitBtn1Click() {
    m_rowState = RowState::Inserting;
    m_editedKey = 0;
    m_form->proektedit->bindRow(QString(), QString());
    editRow();
}

void Tproekti::BitBtn2Click() {
    if (Q_pro.recordCount() == 0)
        return;
    m_rowState = RowState::Editing;
    m_editedKey = int(Q_pro.field(u"Ключ").toInt());
    m_form->proektedit->bindRow(QString::number(m_editedKey), Q_pro.field(u"Название").toText());
    editRow();
}

void Tproekti::editRow() {
    runModal(m_form->proektedit);
    // The name dialog posts or cancels; a row is never left pending behind it.
    if (m_rowState != RowState::Browsing)
        cancel();
}

void Tproekti::post(const QString& name) {
    Query& q = m_form->Q_all;
    q.close();
    int key = m_editedKey;
    if (m_rowState == RowState::Inserting) {
        q.setSql(insertProjectSql(name));
        q.execute();
        key = int(m_form->ADOConn().lastInsertKey());
    } else if (m_rowState == RowState::Editing) {
        q.setSql(renameProjectSql(m_editedKey, name));
        q.execute();
    }
    m_rowState = RowState::Browsing;
    reopen(key);
}

void Tproekti::cancel() {
    m_rowState = RowState::Browsing;
    GridP->syncToQuery();
}

void Tproekti::BitBtn5Click() {
    if (Q_pro.recordCount() == 0)
        return;
    // Two sentences on two lines, parted by a line feed and a carriage return.
    if (!MessageBox::question(this, QStringLiteral("Будет удален проект с выбранными товарами.") +
                                        QStringLiteral("\n\r") +
                                        QStringLiteral("Продолжить удаление?")))
        return;
    const int key = int(Q_pro.field(u"Ключ").toInt());
    {
        // The project and its lines go together or not at all.
        Database::Transaction transaction(m_form->ADOConn());
        Query& q = m_form->Q_all;
        q.execute(deleteProjectLinesSql(key));
        q.execute(deleteProjectSql(key));
        transaction.commit();
    }
    if (m_form->curProject == key)
        m_form->curProject = 0;
    reopen();
}

void Tproekti::BitBtn6Click() {
    if (Q_pro.recordCount() == 0)
        return;
    const QString name = copyName(Q_pro.field(u"Название").toText());
    const int source = int(Q_pro.field(u"Ключ").toInt());
    Query& q = m_form->Q_all;
    if (nameTaken(this, q, projectNamedSql(name)))
        return;
    {
        // A copy either has all the lines of its source or does not exist.
        Database::Transaction transaction(m_form->ADOConn());
        q.setSql(insertProjectSql(name));
        q.execute();
        const int copy = int(m_form->ADOConn().lastInsertKey());
        q.execute(copyProjectLinesSql(source, copy));
        transaction.commit();
    }
    reopen();
}
