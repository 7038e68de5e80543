#pragma once

#include <QString>

// A whole new store for a folder's base.mdb: written beside it under a hidden name and put in
// its place in one step, so the folder holds either the old store, as it was, or the complete
// new one. Every command that writes a whole store goes through here.
class StoreReplacement {
public:
    // Creates the empty new file beside target, named ".base.mdb.<kind>-XXXXXX", after
    // removing the files of this kind that a killed run of any command left there. The file is
    // locked while this object (or a child process that inherited it) lives. Throws StoreError,
    // among others while a window of the program works on the target.
    StoreReplacement(const QString& target, const QString& kind);
    // Removes the new file and its journal unless it was put in place.
    ~StoreReplacement();
    StoreReplacement(const StoreReplacement&) = delete;
    StoreReplacement& operator=(const StoreReplacement&) = delete;

    // Where the new store is written; no connection may stay open on it at putInPlace().
    const QString& path() const { return m_path; }
    const QString& target() const { return m_target; }

    // Flushes the new store to disk and renames it over the target. The old store's journal is
    // rolled back into it or removed first: left beside the new file, the engine would play it
    // back into that. Throws StoreError (the old store then stays as it was), among others when
    // a window of the program works on it or another program is in the middle of writing it.
    void putInPlace();

private:
    QString m_target;
    QString m_path;
    int m_fd = -1;
    bool m_placed = false;
};

// Removes the new stores that killed runs left beside target: hidden ".base.mdb.<kind>-XXXXXX"
// files no live process holds, and their journals.
void removeAbandonedStores(const QString& target);
