#pragma once

#include <QString>

// What the user is told when the program can not start on the store at path: the store's own
// words, and for a Microsoft Access file the companion tool's command that converts it.
QString startFailureText(const QString& path, const QString& failure);
