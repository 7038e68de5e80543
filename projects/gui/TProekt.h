#pragma once

#include "ui/PixelDialog.h"

class QLabel;
class QLineEdit;
class ProjectStore;
class QPushButton;

// Asks for the name of a new project when the working specification is saved the first time.
// It only checks that no project has the name; the caller creates the project.
class TProekt : public PixelDialog {
    Q_OBJECT
public:
    TProekt(ProjectStore& store, QWidget* parent);

    // The name confirmed with "Сохранить"; empty when the dialog was left any other way.
    QString name() const;

    // The window's close box acts as "Отмена".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1;
    QLineEdit* namepro;
    QPushButton* BitBtn3;  // "Сохранить"
    QPushButton* BitBtn4;  // "Отмена"

    void FormShow();
    void BitBtn3Click();
    void BitBtn4Click();

    ProjectStore& m_store;
};
