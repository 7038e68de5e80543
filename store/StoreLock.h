#pragma once

#include <QString>

// Keeps a second window of the program off a store. It is an advisory lock (flock) on the
// store file itself, taken only by the window: the engine locks byte ranges with fcntl, which
// flock leaves alone, so ulmar-tool, sqlite3 and other programs share the file as before. The
// kernel lets go of it when the process ends, however it ends, so a crash never blocks a start.
class StoreLock {
public:
    // Throws StoreError when another window holds the store. A file that can not be opened
    // is left to the connection to report.
    explicit StoreLock(const QString& path);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    // True while a window of the program works on the store at path.
    static bool isHeld(const QString& path);

private:
    int m_fd = -1;
};
