#pragma once

#include "store/Fixed4.h"

#include <QDialog>

class NumberEdit;
class QLabel;
class QPushButton;
class TForm1;

// The quantity dialog of a specification line: the user sets the project quantity, the order
// quantity follows from it. Works on the current row of the main window's specification.
class TEditkol : public QDialog {
    Q_OBJECT
public:
    explicit TEditkol(TForm1* form);

    // Shows a line before the dialog opens.
    void fill(const QString& productName, Fixed4 kol, Fixed4 kolm);

    void koltovmExit();
    void BitBtn3Click();
    void BitBtn4Click();

    QLabel* Label2;
    QLabel* Label1;
    NumberEdit* koltov;
    QLabel* Label3;
    NumberEdit* koltovm;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Refuses a project quantity that is not positive, with the program's message.
    bool acceptable(Fixed4 projectQuantity);

    TForm1* m_form;
    Fixed4 m_orderFor;  // the project quantity that koltov was derived from
    bool m_focusMovedAway = false;
};
