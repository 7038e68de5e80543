#pragma once

#include <QDialog>

class TForm1;

// The quantity dialog of a specification line.
class TEditkol : public QDialog {
    Q_OBJECT
public:
    explicit TEditkol(TForm1* form);

private:
    TForm1* m_form;
};
