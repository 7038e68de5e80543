#pragma once

#include <QDialog>

class TForm1;

class Tproektedit : public QDialog {
    Q_OBJECT
public:
    explicit Tproektedit(TForm1* form);

private:
    TForm1* m_form;
};
