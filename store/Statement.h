#pragma once

#include "store/Fixed4.h"
#include "store/ResultRows.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class Database;
class PreparedStatement;

// One prepared statement on the connection, its values bound by position from 1 (? in the
// text, on either engine): the query objects run their selects through it, the tools' bulk
// writers run one insert many times with new values. Every failure is a StoreError with the
// engine's text.
class Statement {
public:
    // Throws StoreError for a statement the engine refuses or an empty text.
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& bind(int slot, std::int64_t value);
    Statement& bind(int slot, double value);
    // Exact on a server; on SQLite whole amounts as integers, the others as the nearest
    // double, which a NUMERIC column reads back as the same four places. An amount too large
    // for that is refused.
    Statement& bind(int slot, Fixed4 value);
    Statement& bind(int slot, const QString& text);
    // A blob; an empty one stays an empty blob, not null.
    Statement& bind(int slot, const QByteArray& blob);
    Statement& bindNull(int slot);

    // One step: true while it yields a row, false at its end.
    bool step();
    // Runs it to its end and readies it for the next values.
    void run();
    // Runs it and keeps every row.
    void fetchAll(ResultRows& rows);

private:
    std::unique_ptr<PreparedStatement> m_impl;
};
