#pragma once

#include <QString>

// The base.mdb of a folder that a command changes in place. Returns its absolute path, or an
// empty text with the reason in failure when the folder has none or a window of the program
// works on it (unless the command only reads: readOnly).
QString existingStoreIn(const QString& dir, QString& failure, bool readOnly = false);
