#pragma once

#include "store/Query.h"
#include "ui/PixelDialog.h"

class DataGrid;
class ProjectStore;
class QPushButton;
class Tproektedit;

// The project list: choose the project to open; add, rename, delete and copy projects, each
// written to the store at once. Q_pro reads the table afresh on every showing and after each
// change. The caller opens chosenProject() when the list has closed, however it was left.
class Tproekti : public PixelDialog {
    Q_OBJECT
public:
    Tproekti(ProjectStore& store, QWidget* parent, Tproektedit* editor);

    // The project open in the main window while the list is shown.
    void setOpenProject(int key) { m_openProject = key; }
    // The project to open now: the one chosen with "Выбрать"; else the open one, or 0 (the
    // working specification) when it was deleted here.
    int chosenProject() const { return m_chosen; }
    bool deletedOpenProject() const { return m_deletedOpen; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    Query Q_pro;
    DataGrid* GridP;
    QPushButton* BitBtn1;  // add
    QPushButton* BitBtn2;  // rename
    QPushButton* BitBtn5;  // delete
    QPushButton* BitBtn6;  // "Копировать"
    QPushButton* BitBtn3;  // "Выбрать"
    QPushButton* BitBtn4;  // "Отмена"

    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn3Click();
    void BitBtn4Click();

    // Reads the list again and stands on the project with that key (the first row when it is
    // not there).
    void reopen(int key = 0);
    // Shows the name dialog for a project (0: a new one) and stands on it when it was written.
    void editName(int key, const QString& name);

    ProjectStore& m_store;
    Tproektedit* m_editor;
    int m_openProject = 0;
    int m_chosen = 0;
    bool m_deletedOpen = false;
};
