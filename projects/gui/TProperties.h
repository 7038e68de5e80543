#pragma once

#include "projects/ProjectProperties.h"

#include <QDialog>
#include <array>

class ProjectStore;
class QComboBox;
class QLineEdit;

// «Свойства проекта»: what the printed form's main inscription says about the project's
// document. «OK» checks and stores them in one step; a fault is told and the dialog stays
// open with the text as typed.
class TProperties : public QDialog {
    Q_OBJECT
public:
    TProperties(ProjectStore& store, int project, QWidget* parent);

    // The fields by objectName: object, code, title, organization, stage (a list: empty, П, Р),
    // developer, checker, normControl, chief.
    ProjectProperties typed() const;
    void accept() override;

private:
    ProjectStore& m_store;
    int m_project;
    std::array<QLineEdit*, ProjectProperties::FieldCount> m_edits{};
    QComboBox* m_stage;
};

// Shows the dialog for a project (0: the working specification) and stores what it confirms.
void editProjectProperties(QWidget* parent, ProjectStore& store, int project);
