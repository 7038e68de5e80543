#pragma once

#include "store/Database.h"

struct sqlite3;

// The store as one SQLite file, opened read-write and shared with other programs.
class SqliteDatabase final : public Database {
public:
    static std::unique_ptr<SqliteDatabase> open(const QString& path,
                                                PageCheck check = PageCheck::AtOpen);
    ~SqliteDatabase() override;

    sqlite3* handle() const { return m_db; }
    Engine engine() const override { return Engine::Sqlite; }
    QString path() const override;
    QString shownName() const override;
    void execute(const QString& sql) override;
    std::int64_t lastInsertKey() override;
    bool inTransaction() const override;
    std::unique_ptr<PreparedStatement> prepare(const QString& sql) override;
    void awaitPageCheck() override;

protected:
    void begin() override;
    void rollbackQuietly() noexcept override;

private:
    class BesideCheck;
    explicit SqliteDatabase(sqlite3* db);
    sqlite3* m_db;
    std::unique_ptr<BesideCheck> m_check;  // running beside the first reads, until awaited
};

// The text of the connection's last failure: a sentence in Russian, then the engine's own text
// (in words the user can act on where there are any: file busy, read-only, disk full, damaged).
QString engineText(sqlite3* db);
