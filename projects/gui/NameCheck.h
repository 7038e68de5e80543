#pragma once

#include <QString>

class ProjectStore;
class QWidget;

// Whether a project other than exceptKey (0: any) has the name; when one has, tells the user the
// name is taken.
bool nameTaken(QWidget* parent, ProjectStore& store, const QString& name, int exceptKey = 0);
