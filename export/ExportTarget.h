#pragma once

#include <QString>

// Why a document may not be written to path: the file is the store (under any name: a
// relative or absolute path, a symbolic or a hard link) or another SQLite or Access database,
// which the document would replace with every project in it, or one of the store's journal
// files (there or not). Empty when it may be written.
QString databaseTargetRefusal(const QString& path, const QString& store);
