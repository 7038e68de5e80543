#pragma once

#include <QString>

// The system's words for an error number, in Russian: strerror speaks the C locale's English.
QString systemErrorText(int error);
// The text with the system's English words for an error (which Qt's file errors carry) put
// into Russian.
QString russianSystemText(const QString& text);
