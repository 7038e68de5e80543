#include "store/Query.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

struct StatementDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* db, const QString& sql) {
    sqlite3_stmt* stmt = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK)
        throw StoreError(engineText(db));
    if (!stmt)
        throw StoreError(QStringLiteral("Пустой текст запроса."));
    return Statement(stmt);
}

}  // namespace

Query::Query(Database& db, QString name) : m_db(db), m_name(std::move(name)) {}

void Query::setSql(const QString& sql) {
    if (m_open)
        throw StoreError(
            QStringLiteral("Запрос %1 открыт: текст меняется только у закрытого.").arg(m_name));
    m_sql = sql;
}

void Query::open() {
    close();
    m_db.beforeStatement(m_sql);
    Statement stmt = prepare(m_db.handle(), m_sql);
    const int columns = sqlite3_column_count(stmt.get());
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names << QString::fromUtf8(sqlite3_column_name(stmt.get(), c));
    std::vector<Cell> cells;
    std::string buffer;
    int rows = 0;
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            Cell cell;
            switch (sqlite3_column_type(stmt.get(), c)) {
                case SQLITE_INTEGER:
                    cell.type = Cell::Integer;
                    cell.integer = sqlite3_column_int64(stmt.get(), c);
                    break;
                case SQLITE_FLOAT:
                    cell.type = Cell::Real;
                    cell.real = sqlite3_column_double(stmt.get(), c);
                    break;
                case SQLITE_TEXT:
                case SQLITE_BLOB: {
                    const bool text = sqlite3_column_type(stmt.get(), c) == SQLITE_TEXT;
                    const char* data =
                        text ? reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), c))
                             : static_cast<const char*>(sqlite3_column_blob(stmt.get(), c));
                    const int length = sqlite3_column_bytes(stmt.get(), c);
                    cell.type = text ? Cell::Text : Cell::Blob;
                    cell.slice.offset = std::uint32_t(buffer.size());
                    cell.slice.length = std::uint32_t(length);
                    buffer.append(data ? data : "", std::size_t(length));
                    break;
                }
                default:
                    break;
            }
            cells.push_back(cell);
        }
        ++rows;
    }
    if (rc != SQLITE_DONE)
        throw StoreError(engineText(m_db.handle()));
    m_columns = names;
    m_foldedColumns.clear();
    for (const QString& n : names)
        m_foldedColumns << n.toCaseFolded();
    m_cells = std::move(cells);
    m_buffer = std::move(buffer);
    m_rowCount = rows;
    m_recNo = rows > 0 ? 1 : 0;
    m_eof = rows == 0;
    m_open = true;
}

void Query::open(const QString& sql) {
    close();
    setSql(sql);
    open();
}

void Query::execute(const QString& sql) {
    close();
    setSql(sql);
    execute();
}

void Query::execute() {
    close();
    m_db.beforeStatement(m_sql);
    Statement stmt = prepare(m_db.handle(), m_sql);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw StoreError(engineText(m_db.handle()));
}

void Query::close() {
    m_open = false;
    m_eof = true;
    m_rowCount = 0;
    m_recNo = 0;
    m_columns.clear();
    m_foldedColumns.clear();
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

void Query::setRecNo(int row) {
    if (!m_open || m_rowCount == 0)
        return;
    m_recNo = std::clamp(row, 1, m_rowCount);
    m_eof = false;
}

void Query::next() {
    if (!m_open || m_eof)
        return;
    if (m_recNo < m_rowCount)
        ++m_recNo;
    else
        m_eof = true;
}

int Query::columnIndex(QStringView name) const {
    const QString folded = name.toString().toCaseFolded();
    for (int c = int(m_foldedColumns.size()) - 1; c >= 0; --c)
        if (m_foldedColumns[c] == folded)
            return c;
    return -1;
}

void Query::swapResult(Query& other) {
    std::swap(m_sql, other.m_sql);
    std::swap(m_open, other.m_open);
    std::swap(m_eof, other.m_eof);
    std::swap(m_rowCount, other.m_rowCount);
    std::swap(m_recNo, other.m_recNo);
    m_columns.swap(other.m_columns);
    m_foldedColumns.swap(other.m_foldedColumns);
    m_cells.swap(other.m_cells);
    m_buffer.swap(other.m_buffer);
}

Value Query::value(int row, int column) const {
    // A view that outlived its rows reads nothing rather than memory past them.
    if (row < 0 || row >= m_rowCount || column < 0 || column >= m_columns.size())
        return Value();
    const Cell& cell =
        m_cells[std::size_t(row) * std::size_t(m_columns.size()) + std::size_t(column)];
    switch (cell.type) {
        case Cell::Integer:
            return Value(cell.integer);
        case Cell::Real:
            return Value(cell.real);
        case Cell::Text:
            return Value(QString::fromUtf8(m_buffer.data() + cell.slice.offset,
                                           qsizetype(cell.slice.length)));
        case Cell::Blob:
            return Value(
                QByteArray(m_buffer.data() + cell.slice.offset, qsizetype(cell.slice.length)));
        default:
            return Value();
    }
}

Value Query::field(QStringView name) const {
    const int column = columnIndex(name);
    if (column < 0)
        throw StoreError(
            QStringLiteral("Поле %1 не найдено в запросе %2.").arg(name.toString(), m_name));
    if (!m_open || m_recNo < 1)
        throw StoreError(QStringLiteral("В запросе %1 нет текущей строки.").arg(m_name));
    return value(m_recNo - 1, column);
}
