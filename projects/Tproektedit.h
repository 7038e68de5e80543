#pragma once

#include "store/Query.h"
#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Edits the name of a project of the list, for adding and for renaming. prokey is empty for a
// project being added: its key exists only once the row is written. "Сохранить" writes the
// row when no other project has the name; the dialog is then accepted and key() names it.
class Tproektedit : public PixelDialog {
    Q_OBJECT
public:
    Tproektedit(Database& db, QWidget* parent);

    // The project to rename (key 0 for a new one) and its name as it stands.
    void bindRow(int key, const QString& name);
    int key() const { return m_key; }

    QLabel* Label1;
    QLineEdit* namepro;
    QLineEdit* prokey;     // hidden
    QPushButton* BitBtn3;  // "Сохранить"
    QPushButton* BitBtn4;  // "Отмена"

    // The window's close box acts as "Отмена".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BitBtn3Click();
    void BitBtn4Click();

    Database& m_db;
    Query m_query;
    int m_key = 0;
};
