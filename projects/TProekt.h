#pragma once

#include "store/Query.h"
#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the name of a new project when the working specification is saved the first time.
// It only checks that no project has the name; the caller creates the project.
class TProekt : public PixelDialog {
    Q_OBJECT
public:
    TProekt(Database& db, QWidget* parent);

    // The name confirmed with "Сохранить"; empty when the dialog was left any other way.
    QString name() const;

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

    Query m_query;
};
