#include "projects/gui/Tproekti.h"

#include "projects/ProjectList.h"
#include "projects/ProjectStore.h"
#include "projects/gui/NameCheck.h"
#include "projects/gui/ProjectGlyphs.h"
#include "projects/gui/TProperties.h"
#include "projects/gui/Tproektedit.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <QAction>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>

Tproekti::Tproekti(ProjectStore& store, QWidget* parent, Tproektedit* editor)
    : PixelDialog(parent, QStringLiteral("proekti"), QStringLiteral("Проекты"), QSize(357, 444)),
      Q_pro(store.emptyRows(QStringLiteral("Q_pro"))),
      m_store(store),
      m_editor(editor) {
    GridP = new DataGrid(this);
    GridP->setObjectName(QStringLiteral("GridP"));
    GridP->setQuery(&Q_pro);
    GridColumn name;
    name.field = QStringLiteral("Название");
    name.title = QStringLiteral("Название проекта");
    name.width = 299;
    GridP->setRowIndicatorAndLines();
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

    // The chosen project's properties, from the list's context menu.
    auto* properties = new QAction(QStringLiteral("Свойства проекта…"), GridP->view());
    properties->setObjectName(QStringLiteral("propertiesItem"));
    GridP->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    GridP->view()->addAction(properties);
    connect(properties, &QAction::triggered, this, [this] {
        guarded(this, [this] {
            if (Q_pro.recordCount() > 0)
                editProjectProperties(this, m_store, int(Q_pro.field(u"Ключ").toInt()));
        });
    });
}

void Tproekti::showEvent(QShowEvent* event) {
    PixelDialog::showEvent(event);
    guarded(this, [this] { FormShow(); });
}

void Tproekti::reopen(int key) {
    // Emptied first, so a failing read leaves nothing stale.
    Q_pro.close();
    GridP->reload();
    m_store.readProjectList(Q_pro);
    GridP->reload();
    const int keyColumn = Q_pro.columnIndex(u"Ключ");
    for (int row = 0; key != 0 && row < Q_pro.recordCount(); ++row) {
        if (Q_pro.value(row, keyColumn).toInt() == key) {
            Q_pro.setRecNo(row + 1);
            GridP->syncToQuery();
            break;
        }
    }
}

void Tproekti::FormShow() {
    m_chosen = m_openProject;
    m_deletedOpen = false;
    reopen();
}

void Tproekti::BitBtn3Click() {
    if (Q_pro.recordCount() == 0)
        return;
    m_chosen = int(Q_pro.field(u"Ключ").toInt());
    accept();
}

void Tproekti::BitBtn4Click() {
    reject();
}

void Tproekti::BitBtn1Click() {
    editName(0, QString());
}

void Tproekti::BitBtn2Click() {
    if (Q_pro.recordCount() == 0)
        return;
    editName(int(Q_pro.field(u"Ключ").toInt()), Q_pro.field(u"Название").toText());
}

void Tproekti::editName(int key, const QString& name) {
    m_editor->bindRow(key, name);
    if (runModal(m_editor) == Accepted)
        reopen(m_editor->key());
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
    deleteProject(m_store, key);
    if (m_chosen == key) {
        m_chosen = 0;
        m_deletedOpen = true;
    }
    reopen();
}

void Tproekti::BitBtn6Click() {
    if (Q_pro.recordCount() == 0)
        return;
    const QString name = copyName(Q_pro.field(u"Название").toText());
    const int source = int(Q_pro.field(u"Ключ").toInt());
    if (nameTaken(this, m_store, name))
        return;
    copyProject(m_store, source, name);
    reopen();
}
