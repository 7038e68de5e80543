#pragma once

#include <QString>

class Query;
class QWidget;

// Runs a lookup of projects by name; when it finds one, tells the user the name is taken and
// returns true.
bool nameTaken(QWidget* parent, Query& q, const QString& lookupSql);
