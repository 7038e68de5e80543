#pragma once

#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class ProjectStore;
class QPushButton;

// Edits the name of a project of the list, for adding and for renaming. prokey is empty for a
// project being added: its key exists only once the row is written. "Сохранить" writes the
// row when no other project has the name; the dialog is then accepted and key() names it.
class Tproektedit : public PixelDialog {
    Q_OBJECT
public:
    Tproektedit(ProjectStore& store, QWidget* parent);

    // The project to rename (key 0 for a new one) and its name as it stands.
    void bindRow(int key, const QString& name);
    int key() const { return m_key; }

    // The window's close box acts as "Отмена".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1;
    QLineEdit* namepro;
    QLineEdit* prokey;     // hidden
    QPushButton* BitBtn3;  // "Сохранить"
    QPushButton* BitBtn4;  // "Отмена"

    void BitBtn3Click();
    void BitBtn4Click();

    ProjectStore& m_store;
    int m_key = 0;
};
