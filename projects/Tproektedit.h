#pragma once

#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TForm1;

// Edits the name of the project list's current row, for adding and for renaming. prokey is
// empty for a row being added: its key exists only once the row is written.
class Tproektedit : public PixelDialog {
    Q_OBJECT
public:
    explicit Tproektedit(TForm1* form);

    // Shows the row the list is about to add or rename.
    void bindRow(const QString& key, const QString& name);

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

    TForm1* m_form;
};
