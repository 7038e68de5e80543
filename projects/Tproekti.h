#pragma once

#include "store/Query.h"
#include "ui/PixelDialog.h"

class DataGrid;
class QPushButton;
class TForm1;

// The project list: choose the project to open; add, rename, delete and copy projects.
// Q_pro reads the table afresh on every showing and after each change.
class Tproekti : public PixelDialog {
    Q_OBJECT
public:
    explicit Tproekti(TForm1* form);

    // A row being added or renamed in the name dialog; nothing is written until it is posted.
    enum class RowState { Browsing, Inserting, Editing };
    RowState rowState() const { return m_rowState; }
    // Writes the pending row under that name and stands on it; the state stays pending when
    // the statement fails.
    void post(const QString& name);
    // Forgets the pending row: an added row disappears, a rename is undone.
    void cancel();

    Query Q_pro;
    DataGrid* GridP;
    QPushButton* BitBtn1;  // add
    QPushButton* BitBtn2;  // rename
    QPushButton* BitBtn5;  // delete
    QPushButton* BitBtn6;  // "Копировать"
    QPushButton* BitBtn3;  // "Выбрать"
    QPushButton* BitBtn4;  // "Отмена"

protected:
    void showEvent(QShowEvent* event) override;

private:
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
    void editRow();

    TForm1* m_form;
    RowState m_rowState = RowState::Browsing;
    int m_editedKey = 0;
};
