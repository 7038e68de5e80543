#pragma once

#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TForm1;

// Asks for the name of a new project when the working specification is saved the first time.
// It only checks the name; the caller reads namepro afterwards (empty when cancelled) and
// creates the project.
class TProekt : public PixelDialog {
    Q_OBJECT
public:
    explicit TProekt(TForm1* form);

    QLabel* Label1;
    QLineEdit* namepro;
    QPushButton* BitBtn3;  // "Сохранить"
    QPushButton* BitBtn4;  // "Отмена"

    // The window's close box acts as "Отмена".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void BitBtn3Click();
    void BitBtn4Click();

    TForm1* m_form;
};
