#pragma once

#include <QString>
#include <QStringList>

// The usage of each ulmar-tool command, told by `ulmar-tool COMMAND --help`, by the list of
// commands and after a mistake in a command's arguments, so that the three never differ.

// The command names in the order the list shows them.
QStringList commandNames();
// The command line, e.g. "ulmar-tool demo-db DIR [--replace]".
QString commandSynopsis(const QString& command);
// "Использование: " and the command line, for a mistake in the arguments.
QString usageLine(const QString& command);
// The command line and what the command does, its arguments and exit statuses.
QString commandHelp(const QString& command);
// Every command line and how to ask for one command's help.
QString commandList();
