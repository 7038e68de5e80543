#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The arguments of a command on one project: --project KEY (0, the working specification, by
// default) and at most one other argument (a file or a folder).
struct ProjectArguments {
    QString other;
    int project = 0;
};

// Reads them; on a mistake writes it with the usage line to standard error, sets status to 2
// and returns nothing.
std::optional<ProjectArguments> readProjectArguments(const QStringList& args, const QString& usage,
                                                     int& status);
