#pragma once

#include "export/gui/GostLayout.h"

#include <QString>
#include <QStringList>
#include <optional>

// Which form export and pdf write: the priced list (the default) or form 1 of ГОСТ 21.110, on
// A3 (the default) or A4 paper.
struct FormArguments {
    bool gost = false;
    GostPaper paper = GostPaper::A3;
};

// Takes --form price|gost and, where paper is allowed, --paper A3|A4 out of args, leaving the
// rest. On a mistake writes it with the usage line to standard error, sets status to 2 and
// returns nothing.
std::optional<FormArguments> takeFormArguments(QStringList& args, bool paperAllowed,
                                               const QString& command, int& status);
