#pragma once

#include <QString>
#include <QStringList>

// Which store the program and the tool work on: the one named by --store, else by the
// environment variable ULMAR_STORE, else by the first line of the file ulmar.store in the
// working folder (so a desktop entry needs no change), else base.mdb in the working folder.
// A name is a server address (postgresql://designer@server/ulmar) or a file.
QString chosenStore();
// True when the store was named (by any of the three), not taken by default.
bool storeNamed();

// Takes --store NAME (or --store=NAME) out of a command's arguments and makes it the choice of
// this process and the programs it starts. Returns false, with the reason in failure, when the
// name is missing.
bool takeStoreOption(QStringList& args, QString& failure);
