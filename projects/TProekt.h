#pragma once

#include <QDialog>

class TForm1;

class TProekt : public QDialog {
    Q_OBJECT
public:
    explicit TProekt(TForm1* form);

private:
    TForm1* m_form;
};
