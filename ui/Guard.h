#pragma once

#include "store/StoreError.h"
#include "ui/BusyCursor.h"
#include "ui/MessageBox.h"

#include <exception>

class QWidget;

// The boundary of every handler: a failure ends the handler where it happened, its text is
// shown in a message box, and the window stays usable. No exception crosses the event loop.
// The cursor shows the program busy while the handler runs.
template <typename Body>
void guarded(QWidget* parent, Body&& body) {
    try {
        const BusyCursor busy;
        body();
    } catch (const StoreError& e) {
        MessageBox::error(parent, e.message());
    } catch (const std::exception& e) {
        MessageBox::error(parent, QString::fromUtf8(e.what()));
    }
}
