#pragma once

#include <functional>

class QDialog;

// Shows a dialog modally and returns its result. A test installs a handler that works the
// dialog (fills fields, clicks buttons) instead of waiting for a person.
int runModal(QDialog* dialog);
void setModalHandler(std::function<int(QDialog*)> handler);
