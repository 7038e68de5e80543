#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class PreparedStatement;

// The one connection to the store: base.mdb (SQLite) for one designer, or an office's
// database on a PostgreSQL server. Shared with other programs; opening never creates a store,
// so a missing catalogue can not turn into an empty one.
class Database {
public:
    enum class Engine { Sqlite, Postgres };

    // When a file's pages are checked: while it is opened, or on a connection of its own in a
    // worker thread beside the caller's first reads; awaitPageCheck() then tells the finding.
    enum class PageCheck { AtOpen, Beside };

    // The SQLite file at path. Throws StoreError with the engine's text, saying that the file
    // is an Access file, not a regular file, or has damaged pages.
    static std::unique_ptr<Database> open(const QString& path, PageCheck check = PageCheck::AtOpen);
    // A server's database by its libpq address (postgresql://user@host/db, or key=value
    // words); the password comes from ~/.pgpass or the libpq environment.
    static std::unique_ptr<Database> connect(const QString& address);
    // A location as the user names it: a server address, otherwise a file.
    static std::unique_ptr<Database> openStore(const QString& location,
                                               PageCheck check = PageCheck::AtOpen);
    // True when the location names a server's database, not a file.
    static bool isServerAddress(const QString& location);

    virtual ~Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    virtual Engine engine() const = 0;
    // The store's file as the engine opened it, absolute; for a server, its address.
    virtual QString path() const = 0;
    // What the window shows of the store: the file's name, or server and database.
    virtual QString shownName() const = 0;
    // Runs statements that return no rows; throws StoreError.
    virtual void execute(const QString& sql) = 0;
    // The key the last insert of this connection took.
    virtual std::int64_t lastInsertKey() = 0;
    // True while a transaction of this connection is open.
    virtual bool inTransaction() const = 0;
    // Throws StoreError for a statement the engine refuses or an empty text.
    virtual std::unique_ptr<PreparedStatement> prepare(const QString& sql) = 0;
    // Waits for a page check run beside (PageCheck::Beside) and throws StoreError with the
    // sentence open() would have thrown when it found damage; at once otherwise. Called before
    // the first write and before anything read is shown.
    virtual void awaitPageCheck() {}

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

protected:
    Database() = default;
    // Starts a transaction that takes the store for writing at once.
    virtual void begin() = 0;
    virtual void commit() { execute(QStringLiteral("commit")); }
    // Never throws: it runs where a failure is already on its way.
    virtual void rollbackQuietly() noexcept = 0;

private:
    std::function<void(const QString&)> m_hook;
};

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
