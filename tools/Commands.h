#pragma once

#include <QStringList>

// The commands of ulmar-tool; each takes the arguments after its name and returns the exit
// status. Messages go to standard error, in Russian.
int demoDbCommand(const QStringList& args);
int exportCommand(const QStringList& args);
int importMdbCommand(const QStringList& args);
// Needs a QGuiApplication: the PDF is laid out with the system's fonts.
int pdfCommand(const QStringList& args);
int updateCatalogueCommand(const QStringList& args);
int repriceCommand(const QStringList& args);
int serverInitCommand(const QStringList& args);
int copyStoreCommand(const QStringList& args);

// Writes the message as one line to standard error and returns the status, for a command's
// refusal: return fail(...).
int fail(const QString& message, int status = 1);
