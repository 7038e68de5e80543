#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

struct sqlite3;

// The one connection to base.mdb. Opened read-write and shared with other programs; never
// creates the file, so a missing catalogue can not turn into an empty one.
class Database {
public:
    // Throws StoreError with the engine's text, saying that the file is an Access file, not a
    // regular file, or has damaged pages.
    static std::unique_ptr<Database> open(const QString& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return m_db; }
    // The store's file as the engine opened it, absolute.
    QString path() const;
    // Runs one statement that returns no rows; throws StoreError.
    void execute(const QString& sql);
    std::int64_t lastInsertKey() const;

    // Called with each statement's text before it runs; a hook that throws fails the statement
    // as the engine would. Tests fail every statement of a command in turn through it.
    void setStatementHook(std::function<void(const QString&)> hook) { m_hook = std::move(hook); }
    void beforeStatement(const QString& sql) const {
        if (m_hook)
            m_hook(sql);
    }

    // One transaction around a command of several statements: rolled back unless committed.
    class Transaction {
    public:
        explicit Transaction(Database& db);
        ~Transaction();
        void commit();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;

    private:
        Database& m_db;
        bool m_done = false;
    };

private:
    explicit Database(sqlite3* db) : m_db(db) {}
    void checkPages();
    sqlite3* m_db;
    std::function<void(const QString&)> m_hook;
};

// The text of the connection's last failure: a sentence in Russian, then the engine's own text
// (in words the user can act on where there are any: file busy, read-only, disk full, damaged).
QString engineText(sqlite3* db);

// True for a regular file or a symbolic link to one; false for a missing file, a folder, a named
// pipe, a device or a socket.
bool isRegularFile(const QString& path);

// True when the file starts like a Microsoft Access (Jet or ACE) database.
bool isJetFile(const QString& path);
// True when the file starts like an SQLite database.
bool isSqliteFile(const QString& path);
// True when both names lead to one file (device and inode), however each is spelt: relative or
// absolute, through a symbolic or a hard link.
bool isSameFile(const QString& a, const QString& b);
