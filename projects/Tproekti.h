#pragma once

#include <QDialog>

class TForm1;

class Tproekti : public QDialog {
    Q_OBJECT
public:
    explicit Tproekti(TForm1* form);

private:
    TForm1* m_form;
};
