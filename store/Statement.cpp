#include "store/Statement.h"

#include "store/Database.h"
#include "store/StoreError.h"

#include <sqlite3.h>

Statement::Statement(Database& db, const QString& sql) : m_db(db.handle()) {
    db.beforeStatement(sql);
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw StoreError(QStringLiteral("Пустой текст запроса."));
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

Statement& Statement::bind(int slot, std::int64_t value) {
    check(sqlite3_bind_int64(m_stmt, slot, value));
    return *this;
}

Statement& Statement::bind(int slot, double value) {
    check(sqlite3_bind_double(m_stmt, slot, value));
    return *this;
}

Statement& Statement::bind(int slot, Fixed4 value) {
    if (value.raw() % Fixed4::Scale == 0)
        return bind(slot, value.raw() / Fixed4::Scale);
    if (Fixed4::fromDouble(value.toDouble()) != value)
        throw StoreError(QStringLiteral("Сумма %1 слишком велика, чтобы сохранить её точно.")
                             .arg(value.toString()));
    return bind(slot, value.toDouble());
}

Statement& Statement::bind(int slot, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    check(sqlite3_bind_text64(m_stmt, slot, utf8.constData(), sqlite3_uint64(utf8.size()),
                              SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::bind(int slot, const QByteArray& blob) {
    check(blob.isEmpty() ? sqlite3_bind_zeroblob(m_stmt, slot, 0)
                         : sqlite3_bind_blob64(m_stmt, slot, blob.constData(),
                                               sqlite3_uint64(blob.size()), SQLITE_TRANSIENT));
    return *this;
}

Statement& Statement::bindNull(int slot) {
    check(sqlite3_bind_null(m_stmt, slot));
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        fail();
    return false;
}

void Statement::run() {
    while (step()) {
    }
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::check(int rc) const {
    if (rc != SQLITE_OK)
        fail();
}

void Statement::fail() const {
    throw StoreError(engineText(m_db));
}
