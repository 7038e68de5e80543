#pragma once

#include "store/ResultRows.h"
#include "store/RowSource.h"
#include "store/Value.h"

#include <QString>
#include <QStringList>
#include <memory>

class Database;

// A named query object with a static cursor: open() runs a select and holds every row, the
// record count is known at once, the current row is 1-based (0 when there is none).
class Query {
public:
    Query(Database& db, QString name);

    const QString& name() const { return m_name; }
    Database& database() const { return m_db; }
    // Only while closed, as the window's queries are always closed before their text changes.
    void setSql(const QString& sql);
    const QString& sql() const { return m_sql; }

    void open();     // throws StoreError; the query stays closed on failure
    void execute();  // insert, update, delete; throws StoreError
    // Every use of the window's queries: close, give the statement, open or execute.
    void open(const QString& sql);
    void execute(const QString& sql);
    // Holds rows made in memory as if a select had returned them; the statement text stays.
    void openRows(ResultRows rows);
    // Shows rows another holds, reading each field from them as it is asked for.
    void openRows(std::shared_ptr<const RowSource> rows);
    void close();
    bool isOpen() const { return m_open; }

    int recordCount() const { return m_rows.count; }
    int recNo() const { return m_recNo; }
    void setRecNo(int row);  // clamped to 1..recordCount
    void first() { setRecNo(1); }
    void next();
    bool eof() const { return !m_open || m_recNo < 1 || m_eof; }

    int columnCount() const { return int(m_rows.columns.size()); }
    QString columnName(int column) const { return m_rows.columns.value(column); }
    // Case-insensitive; where two output names differ only in case, the later column wins.
    int columnIndex(QStringView name) const;
    // The field of the current row; throws StoreError for an unknown name or no current row.
    Value field(QStringView name) const;
    // Row and column from 0; null outside the rows. Rows another holds may be read from the
    // store as they are asked for, and throw StoreError as a statement does.
    Value value(int row, int column) const;
    bool isNull(int row, int column) const;
    // Every cell as read, for comparing two results cell by cell.
    const ResultRows& rows() const { return m_rows; }

    // A few rows changed among many, without reading them all again: a row of another result
    // with the same columns goes in at row (from 0) or over it, or the row goes. The current
    // row stays on its record (on the one after a removed one).
    void insertRow(int row, const Query& from, int fromRow);
    void replaceRow(int row, const Query& from, int fromRow);
    void removeRow(int row);

    // Exchanges the rows, columns and current row with another query of the same connection:
    // a result read aside takes its place at once, and the old one can be put back.
    void swapResult(Query& other);

private:
    void openColumns();  // after the rows came: the names looked up and the first row current
    std::vector<ResultRows::Cell> cellsOf(int row) const;
    // Copies a row of another result over the cells from at.
    void takeCells(std::size_t at, const Query& from, int fromRow);

    Database& m_db;
    QString m_name;
    QString m_sql;
    bool m_open = false;
    bool m_eof = false;
    int m_recNo = 0;
    ResultRows m_rows;  // with a source: only its columns and count
    std::shared_ptr<const RowSource> m_source;
    QStringList m_foldedColumns;
};
