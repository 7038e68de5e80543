#pragma once

#include "store/Database.h"

typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

// The store as a database on a PostgreSQL server, shared by an office's designers. A
// connection the server lost is made again before the next statement.
class PgDatabase final : public Database {
public:
    static std::unique_ptr<PgDatabase> connect(const QString& address);
    ~PgDatabase() override;

    PGconn* handle() const { return m_conn; }
    Engine engine() const override { return Engine::Postgres; }
    QString path() const override { return m_address; }
    QString shownName() const override;
    void execute(const QString& sql) override;
    std::int64_t lastInsertKey() override;
    bool inTransaction() const override;
    std::unique_ptr<PreparedStatement> prepare(const QString& sql) override;

    // Makes the connection again when the server lost it; throws StoreError when it can not.
    void ensureConnected();
    // How often the connection was made again: the server's session, and every advisory lock
    // it held, ends with each.
    int reconnections() const { return m_reconnections; }

protected:
    void begin() override;
    void commit() override;
    void rollbackQuietly() noexcept override;

private:
    PgDatabase(PGconn* conn, QString address) : m_conn(conn), m_address(std::move(address)) {}
    PGconn* m_conn;
    QString m_address;
    // A transaction of this program is open: a connection lost meanwhile took it with it, so
    // the command fails rather than going on outside any transaction.
    bool m_transactionOpen = false;
    int m_reconnections = 0;
};

// The failure of a statement (result may be null) or of the connection as a sentence in
// Russian, then the server's own text.
QString pgFailureText(PGconn* conn, const PGresult* result);
// Throws StoreError unless the result is a success.
void checkPgResult(PGconn* conn, const PGresult* result);
