#include "store/Query.h"

#include "store/Database.h"
#include "store/Statement.h"
#include "store/StoreError.h"

#include <algorithm>

Query::Query(Database& db, QString name) : m_db(db), m_name(std::move(name)) {}

void Query::setSql(const QString& sql) {
    if (m_open)
        throw StoreError(
            QStringLiteral("Запрос %1 открыт: текст меняется только у закрытого.").arg(m_name));
    m_sql = sql;
}

void Query::open() {
    close();
    ResultRows rows;
    Statement(m_db, m_sql).fetchAll(rows);
    openRows(std::move(rows));
}

void Query::openRows(ResultRows rows) {
    close();
    m_rows = std::move(rows);
    openColumns();
}

void Query::openRows(std::shared_ptr<const RowSource> rows) {
    close();
    m_rows.columns = rows->columns();
    m_rows.count = rows->count();
    m_source = std::move(rows);
    openColumns();
}

void Query::openColumns() {
    for (const QString& n : m_rows.columns)
        m_foldedColumns << n.toCaseFolded();
    m_recNo = m_rows.count > 0 ? 1 : 0;
    m_eof = m_rows.count == 0;
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
    Statement(m_db, m_sql).run();
}

void Query::close() {
    m_open = false;
    m_eof = true;
    m_recNo = 0;
    m_rows = ResultRows();
    m_source.reset();
    m_foldedColumns.clear();
}

void Query::setRecNo(int row) {
    if (!m_open || m_rows.count == 0)
        return;
    m_recNo = std::clamp(row, 1, m_rows.count);
    m_eof = false;
}

void Query::next() {
    if (!m_open || m_eof)
        return;
    if (m_recNo < m_rows.count)
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
    std::swap(m_recNo, other.m_recNo);
    std::swap(m_rows, other.m_rows);
    std::swap(m_source, other.m_source);
    m_foldedColumns.swap(other.m_foldedColumns);
}

Value Query::value(int row, int column) const {
    // A view that outlived its rows reads nothing rather than memory past them.
    const auto columns = std::size_t(m_rows.columns.size());
    if (row < 0 || row >= m_rows.count || column < 0 || std::size_t(column) >= columns)
        return Value();
    if (m_source)
        return m_source->value(row, column);
    return m_rows.value(m_rows.cells[std::size_t(row) * columns + std::size_t(column)]);
}

bool Query::isNull(int row, int column) const {
    const auto columns = std::size_t(m_rows.columns.size());
    if (row < 0 || row >= m_rows.count || column < 0 || std::size_t(column) >= columns)
        return true;
    if (m_source)
        return m_source->isNull(row, column);
    return m_rows.cells[std::size_t(row) * columns + std::size_t(column)].type ==
           ResultRows::Cell::Null;
}

std::vector<ResultRows::Cell> Query::cellsOf(int row) const {
    const auto columns = std::size_t(m_rows.columns.size());
    const auto first = m_rows.cells.begin() + std::ptrdiff_t(std::size_t(row) * columns);
    return std::vector<ResultRows::Cell>(first, first + std::ptrdiff_t(columns));
}

void Query::takeCells(std::size_t at, const Query& from, int fromRow) {
    if (!m_open || m_source || from.m_source ||
        from.m_rows.columns.size() != m_rows.columns.size() || fromRow < 0 ||
        fromRow >= from.m_rows.count)
        throw StoreError(QStringLiteral("Строка не подходит к запросу %1.").arg(m_name));
    // Texts and blobs are slices of the other result's buffer: they move into this one's.
    for (ResultRows::Cell cell : from.cellsOf(fromRow)) {
        if (cell.type == ResultRows::Cell::Text || cell.type == ResultRows::Cell::Blob) {
            const std::string& buffer = from.m_rows.buffer;
            const auto offset = std::uint32_t(m_rows.buffer.size());
            m_rows.buffer.append(buffer, cell.slice.offset, cell.slice.length);
            cell.slice.offset = offset;
        }
        m_rows.cells[at++] = cell;
    }
}

void Query::insertRow(int row, const Query& from, int fromRow) {
    const auto columns = std::size_t(m_rows.columns.size());
    row = std::clamp(row, 0, m_rows.count);
    const std::size_t at = std::size_t(row) * columns;
    m_rows.cells.insert(m_rows.cells.begin() + std::ptrdiff_t(at), columns, ResultRows::Cell());
    ++m_rows.count;
    try {
        takeCells(at, from, fromRow);
    } catch (...) {
        m_rows.cells.erase(m_rows.cells.begin() + std::ptrdiff_t(at),
                           m_rows.cells.begin() + std::ptrdiff_t(at + columns));
        --m_rows.count;
        throw;
    }
    if (m_recNo > row)
        ++m_recNo;
    else if (m_recNo == 0)
        m_recNo = 1;
    m_eof = false;
}

void Query::replaceRow(int row, const Query& from, int fromRow) {
    if (row < 0 || row >= m_rows.count)
        return;
    takeCells(std::size_t(row) * std::size_t(m_rows.columns.size()), from, fromRow);
}

void Query::removeRow(int row) {
    if (m_source || row < 0 || row >= m_rows.count)
        return;
    const auto columns = std::size_t(m_rows.columns.size());
    const auto first = m_rows.cells.begin() + std::ptrdiff_t(std::size_t(row) * columns);
    m_rows.cells.erase(first, first + std::ptrdiff_t(columns));
    --m_rows.count;
    if (m_recNo > row + 1 || m_recNo > m_rows.count)
        --m_recNo;
    m_eof = m_rows.count == 0;
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
