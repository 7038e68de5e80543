#pragma once

#include <QString>

// What the user is told when the program can not start on the store at path: the store's own
// words, and where the file is no catalogue store of the program, the companion tool's command
// that converts an Access file or makes a store in the folder.
QString startFailureText(const QString& path, const QString& failure, bool notACatalogue);
