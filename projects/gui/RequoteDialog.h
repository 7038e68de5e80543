#pragma once

#include "projects/ProjectRequote.h"
#include "store/Query.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

// The projects with the prices they have and the catalogue's: a project whose lines the
// catalogue prices otherwise is marked with the difference of its total. «Обновить цены»
// reprices the chosen ones, each in a transaction of its own, and lists their totals
// old → new. The project open in the window is repriced by the window's own command, so
// leaving it without keeping the changes still brings its old prices back.
class RequoteDialog : public QDialog {
    Q_OBJECT
public:
    using OpenRequote = std::function<RepriceTotals()>;
    RequoteDialog(Database& db, int openProject, OpenRequote requoteOpen,
                  QWidget* parent = nullptr);

    // Reads the projects and their prices again.
    void reload();
    // Chooses the rows of these projects (the working specification is 0).
    void choose(const std::vector<int>& projects);
    // Reprices the chosen projects and shows the outcome.
    void requoteChosen();

    QTableWidget* table;
    QPushButton* requoteButton;
    QLabel* outcome;

private:
    Database& m_db;
    Query m_q;
    int m_openProject;
    OpenRequote m_requoteOpen;
};
