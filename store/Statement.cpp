#include "store/Statement.h"

#include "store/Database.h"
#include "store/PreparedStatement.h"

namespace {

std::unique_ptr<PreparedStatement> prepared(Database& db, const QString& sql) {
    db.beforeStatement(sql);
    return db.prepare(sql);
}

}  // namespace

Statement::Statement(Database& db, const QString& sql) : m_impl(prepared(db, sql)) {}

Statement::~Statement() = default;

Statement& Statement::bind(int slot, std::int64_t value) {
    m_impl->bind(slot, value);
    return *this;
}

Statement& Statement::bind(int slot, double value) {
    m_impl->bind(slot, value);
    return *this;
}

Statement& Statement::bind(int slot, Fixed4 value) {
    m_impl->bind(slot, value);
    return *this;
}

Statement& Statement::bind(int slot, const QString& text) {
    m_impl->bind(slot, text);
    return *this;
}

Statement& Statement::bind(int slot, const QByteArray& blob) {
    m_impl->bind(slot, blob);
    return *this;
}

Statement& Statement::bindNull(int slot) {
    m_impl->bindNull(slot);
    return *this;
}

bool Statement::step() {
    return m_impl->step();
}

void Statement::run() {
    while (m_impl->step()) {
    }
    m_impl->reset();
}

void Statement::fetchAll(ResultRows& rows) {
    m_impl->fetchAll(rows);
}
