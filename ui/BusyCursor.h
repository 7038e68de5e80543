#pragma once

#include <QApplication>

// The busy cursor over the program's windows while a command runs: a search of a large
// catalogue or the layout of a long specification can take a while.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The ordinary arrow while a command waits for the user: a message, a question, a dialog.
class UserCursor {
public:
    UserCursor() : m_engaged(QApplication::overrideCursor() != nullptr) {
        if (m_engaged)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~UserCursor() {
        if (m_engaged)
            QApplication::restoreOverrideCursor();
    }
    UserCursor(const UserCursor&) = delete;
    UserCursor& operator=(const UserCursor&) = delete;

private:
    bool m_engaged;
};
