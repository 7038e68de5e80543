#include "store/SqliteDatabase.h"

#include "store/PreparedStatement.h"

#include "store/SqlFunctions.h"
#include "store/StoreError.h"
#include "store/SystemText.h"

#include <sqlite3.h>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <atomic>
#include <thread>

QString engineText(sqlite3* db) {
    const QString text = QString::fromUtf8(sqlite3_errmsg(db));
    // The program's own functions and the store's triggers speak Russian already; the
    // engine's own texts start in English.
    static const QRegularExpression russian(QStringLiteral("^[А-Яа-яЁё]"));
    if (text.contains(russian))
        return text;
    // The failures a user can do something about are told in words, the engine's after them.
    switch (sqlite3_errcode(db) & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                       "База данных занята другой программой; повторите действие "
                       "позже. (%1)")
                .arg(text);
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return QStringLiteral("В файл базы данных нельзя записать: нет прав на запись. (%1)")
                .arg(text);
        case SQLITE_FULL:
            return QStringLiteral("Нет места на диске для базы данных. (%1)").arg(text);
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("Файл базы данных повреждён или не является базой данных. (%1)")
                .arg(text);
        case SQLITE_CANTOPEN:
            return QStringLiteral(
                       "Файл базы данных не открывается: нет прав на чтение и запись "
                       "или это не файл. (%1)")
                .arg(text);
        case SQLITE_IOERR:
            // The system's reason (a size limit, a disk error) in its own sentence.
            if (const int error = sqlite3_system_errno(db))
                return QStringLiteral("Ошибка чтения или записи файла базы данных: %1. (%2)")
                    .arg(systemErrorText(error), text);
            return QStringLiteral("Ошибка чтения или записи файла базы данных. (%1)").arg(text);
        case SQLITE_NOMEM:
            return QStringLiteral("Не хватило памяти для работы с базой данных. (%1)").arg(text);
        case SQLITE_CONSTRAINT:
            return QStringLiteral(
                       "База данных не приняла изменение: оно нарушает её правила. "
                       "(%1)")
                .arg(text);
        case SQLITE_ERROR:
            if (text.startsWith(QLatin1String("no such")))
                return QStringLiteral(
                           "В базе данных нет нужной таблицы или столбца: файл не "
                           "из этой программы или повреждён. (%1)")
                    .arg(text);
            return QStringLiteral("База данных не выполнила запрос. (%1)").arg(text);
        default:
            return QStringLiteral("Ошибка базы данных. (%1)").arg(text);
    }
}

QString SqliteDatabase::path() const {
    return QString::fromUtf8(sqlite3_db_filename(m_db, "main"));
}

namespace {

// One thread uses a connection, so the engine's own locking would only cost time. URI names
// let a command attach another file read-only; the store's own name is taken as a plain path
// even when it starts like one.
sqlite3* openConnection(const QString& path, int flags, const QString& shown) {
    const QString plain =
        path.startsWith(QLatin1String("file:")) ? QStringLiteral("./") + path : path;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(plain.toUtf8().constData(), &db,
                                   flags | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = db ? engineText(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw StoreError(QStringLiteral("%1: %2").arg(shown, text));
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    return db;
}

// Reads every page but compares no index with its table. Gives the engine's result code and,
// when it ran, its first finding ("ok" for a sound store).
int quickCheck(sqlite3* db, QByteArray& finding) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "pragma quick_check(1)", -1, &stmt, nullptr) != SQLITE_OK)
        return sqlite3_errcode(db);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        finding = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    return rc;
}

// What the user is told of quickCheck's result on db; empty for a sound store.
QString pageCheckFailure(sqlite3* db, int rc, const QByteArray& finding) {
    if (rc != SQLITE_ROW)
        return engineText(db);
    if (finding == "ok")
        return {};
    // The engine heads its findings with "*** in database main ***" on a line of its own.
    return QStringLiteral(
               "Файл базы данных повреждён: проверка его страниц нашла ошибку (%1). "
               "Восстановите базу из резервной копии.")
        .arg(QString::fromUtf8(finding).section(QLatin1Char('\n'), -1).trimmed());
}

}  // namespace

// The page check on a read-only connection of its own in a worker thread, so that on two cores
// the window's first reads need not wait for it. It holds the same shared lock as a check at
// open while it runs; the engine keeps its connections' locks apart within one process.
class SqliteDatabase::BesideCheck {
public:
    BesideCheck(const QString& path, const QString& shown)
        : m_db(openConnection(path, SQLITE_OPEN_READONLY, shown)), m_shown(shown) {
        try {
            registerSqlFunctions(m_db);  // whatever the schema names, as on the store's own
        } catch (...) {
            sqlite3_close(m_db);
            throw;
        }
        // Stopped when the check is not needed any more (the start failed further on), however
        // far it has come.
        sqlite3_progress_handler(
            m_db, 1000,
            [](void* stop) { return int(static_cast<std::atomic_bool*>(stop)->load()); }, &m_stop);
        m_thread = std::thread([this] { m_rc = quickCheck(m_db, m_finding); });
    }
    ~BesideCheck() {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        sqlite3_close_v2(m_db);
    }
    // The sentence open() would throw, once the check has ended; empty for a sound store.
    // The text is made here, on the caller's thread, from what the worker left on its connection.
    QString failure() {
        m_thread.join();
        const QString failure = pageCheckFailure(m_db, m_rc, m_finding);
        return failure.isEmpty() ? failure : QStringLiteral("%1: %2").arg(m_shown, failure);
    }

private:
    sqlite3* m_db;
    QString m_shown;
    int m_rc = SQLITE_OK;
    QByteArray m_finding;
    std::atomic_bool m_stop{false};
    std::thread m_thread;
};

SqliteDatabase::SqliteDatabase(sqlite3* db) : m_db(db) {}

std::unique_ptr<SqliteDatabase> SqliteDatabase::open(const QString& path, PageCheck check) {
    // Before the engine starts: no memory statistics, so no global lock around every allocation.
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)configured;
    const QString shown = QFileInfo(path).absoluteFilePath();
    if (!QFileInfo::exists(path))
        throw NotACatalogue(QStringLiteral("Не найден файл базы данных %1.").arg(shown));
    if (QFileInfo(path).isDir())
        throw NotACatalogue(QStringLiteral("%1 — папка, а не файл базы данных.").arg(shown));
    // Opening a named pipe waits for a writer, reading a device never ends: only a regular
    // file (or a link to one) is read at all.
    if (!isRegularFile(path))
        throw StoreError(QStringLiteral("%1 — не обычный файл, а именованный канал, устройство "
                                        "или сокет: базой данных он быть не может.")
                             .arg(shown));
    if (isJetFile(path))
        throw NotACatalogue(QStringLiteral("Файл %1 — база Microsoft Access (Jet), а программа "
                                           "работает с базой SQLite.")
                                .arg(shown));
    std::unique_ptr<SqliteDatabase> result(
        new SqliteDatabase(openConnection(path, SQLITE_OPEN_READWRITE, shown)));
    sqlite3* db = result->m_db;
    // Reading the schema proves the file is a database at all, before any window is shown.
    // It is the one wait for a file another program holds: what needs the schema comes after.
    // It also rolls back a journal a crashed writer left, which a read-only connection can not.
    try {
        registerSqlFunctions(db);
        result->execute(QStringLiteral("select count(*) from sqlite_master"));
        if (check == PageCheck::AtOpen) {
            QByteArray finding;
            const QString failure = pageCheckFailure(db, quickCheck(db, finding), finding);
            if (!failure.isEmpty())
                throw StoreError(failure);
        }
    } catch (const StoreError& e) {
        throw StoreError(QStringLiteral("%1: %2").arg(shown, e.message()));
    }
    if (check == PageCheck::Beside)
        result->m_check = std::make_unique<BesideCheck>(path, shown);
    // A maker's catalogue is tens of megabytes; lookups by key stay in memory once read.
    // (Not for the page check, which runs faster through the small cache.)
    sqlite3_exec(db, "pragma cache_size = -32768", nullptr, nullptr, nullptr);
    return result;
}

void SqliteDatabase::awaitPageCheck() {
    if (!m_check)
        return;
    const QString failure = m_check->failure();
    m_check.reset();
    if (!failure.isEmpty())
        throw StoreError(failure);
}

SqliteDatabase::~SqliteDatabase() {
    m_check.reset();
    sqlite3_close_v2(m_db);
}

void SqliteDatabase::execute(const QString& sql) {
    beforeStatement(sql);
    const QByteArray utf8 = sql.toUtf8();
    const char* tail = utf8.constData();
    while (tail && *tail) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, tail, -1, &stmt, &tail) != SQLITE_OK)
            throw StoreError(engineText(m_db));
        if (!stmt)
            break;  // only blanks or a comment were left
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        }
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            throw StoreError(engineText(m_db));
    }
}

std::int64_t SqliteDatabase::lastInsertKey() {
    return sqlite3_last_insert_rowid(m_db);
}

bool SqliteDatabase::inTransaction() const {
    return !sqlite3_get_autocommit(m_db);
}

QString SqliteDatabase::shownName() const {
    return QFileInfo(path()).fileName();
}

void SqliteDatabase::begin() {
    execute(QStringLiteral("begin immediate"));
}

void SqliteDatabase::rollbackQuietly() noexcept {
    sqlite3_exec(m_db, "rollback", nullptr, nullptr, nullptr);
}

std::unique_ptr<Database> Database::open(const QString& path, PageCheck check) {
    return SqliteDatabase::open(path, check);
}

namespace {

class SqliteStatement final : public PreparedStatement {
public:
    SqliteStatement(sqlite3* db, const QString& sql) : m_db(db) {
        const QByteArray utf8 = sql.toUtf8();
        if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) !=
            SQLITE_OK)
            fail();
        if (!m_stmt)
            throw StoreError(QStringLiteral("Пустой текст запроса."));
    }
    ~SqliteStatement() override { sqlite3_finalize(m_stmt); }

    void bind(int slot, std::int64_t value) override {
        check(sqlite3_bind_int64(m_stmt, slot, value));
    }
    void bind(int slot, double value) override { check(sqlite3_bind_double(m_stmt, slot, value)); }
    // Whole amounts as integers, the others as the nearest double, which a NUMERIC column
    // reads back as the same four places. An amount too large for that is refused.
    void bind(int slot, Fixed4 value) override {
        if (value.raw() % Fixed4::Scale == 0)
            return bind(slot, std::int64_t(value.raw() / Fixed4::Scale));
        if (Fixed4::fromDouble(value.toDouble()) != value)
            throw StoreError(QStringLiteral("Сумма %1 слишком велика, чтобы сохранить её точно.")
                                 .arg(value.toString()));
        bind(slot, value.toDouble());
    }
    void bind(int slot, const QString& text) override {
        const QByteArray utf8 = text.toUtf8();
        check(sqlite3_bind_text64(m_stmt, slot, utf8.constData(), sqlite3_uint64(utf8.size()),
                                  SQLITE_TRANSIENT, SQLITE_UTF8));
    }
    void bind(int slot, const QByteArray& blob) override {
        check(blob.isEmpty() ? sqlite3_bind_zeroblob(m_stmt, slot, 0)
                             : sqlite3_bind_blob64(m_stmt, slot, blob.constData(),
                                                   sqlite3_uint64(blob.size()), SQLITE_TRANSIENT));
    }
    void bindNull(int slot) override { check(sqlite3_bind_null(m_stmt, slot)); }

    bool step() override {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    void reset() override {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    void fetchAll(ResultRows& rows) override {
        const int columns = sqlite3_column_count(m_stmt);
        for (int c = 0; c < columns; ++c)
            rows.columns << QString::fromUtf8(sqlite3_column_name(m_stmt, c));
        while (step()) {
            for (int c = 0; c < columns; ++c) {
                ResultRows::Cell cell;
                switch (sqlite3_column_type(m_stmt, c)) {
                    case SQLITE_INTEGER:
                        cell.type = ResultRows::Cell::Integer;
                        cell.integer = sqlite3_column_int64(m_stmt, c);
                        break;
                    case SQLITE_FLOAT:
                        cell.type = ResultRows::Cell::Real;
                        cell.real = sqlite3_column_double(m_stmt, c);
                        break;
                    case SQLITE_TEXT:
                        rows.addSlice(ResultRows::Cell::Text,
                                      reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c)),
                                      std::size_t(sqlite3_column_bytes(m_stmt, c)));
                        continue;
                    case SQLITE_BLOB:
                        rows.addSlice(ResultRows::Cell::Blob,
                                      static_cast<const char*>(sqlite3_column_blob(m_stmt, c)),
                                      std::size_t(sqlite3_column_bytes(m_stmt, c)));
                        continue;
                    default:
                        break;
                }
                rows.cells.push_back(cell);
            }
            ++rows.count;
        }
    }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK)
            fail();
    }
    [[noreturn]] void fail() const { throw StoreError(engineText(m_db)); }

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

}  // namespace

std::unique_ptr<PreparedStatement> SqliteDatabase::prepare(const QString& sql) {
    return std::make_unique<SqliteStatement>(m_db, sql);
}
