#include "store/Database.h"

#include "store/SqlFunctions.h"
#include "store/StoreError.h"
#include "store/SystemText.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isJetFile(const QString& path) {
    if (!isRegularFile(path))
        return false;  // reading a named pipe would wait for a writer that never comes
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(32);
    return head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB";
}

bool isSqliteFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool isSameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return !a.isEmpty() && !b.isEmpty() && ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

QString Database::path() const {
    return QString::fromUtf8(sqlite3_db_filename(m_db, "main"));
}

std::unique_ptr<Database> Database::open(const QString& path) {
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
    sqlite3* db = nullptr;
    // One thread uses the connection, so the engine's own locking would only cost time.
    // URI names let a command attach another file read-only; the store's own name is taken as
    // a plain path even when it starts like one.
    const QString plain =
        path.startsWith(QLatin1String("file:")) ? QStringLiteral("./") + path : path;
    const int rc =
        sqlite3_open_v2(plain.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = db ? engineText(db) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw StoreError(QStringLiteral("%1: %2").arg(shown, text));
    }
    std::unique_ptr<Database> result(new Database(db));
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    // Reading the schema proves the file is a database at all, before any window is shown.
    // It is the one wait for a file another program holds: what needs the schema comes after.
    try {
        registerSqlFunctions(db);
        result->execute(QStringLiteral("select count(*) from sqlite_master"));
        result->checkPages();
    } catch (const StoreError& e) {
        throw StoreError(QStringLiteral("%1: %2").arg(shown, e.message()));
    }
    // A maker's catalogue is tens of megabytes; lookups by key stay in memory once read.
    // (Set after the page check, which runs faster through the small cache.)
    sqlite3_exec(db, "pragma cache_size = -32768", nullptr, nullptr, nullptr);
    return result;
}

void Database::checkPages() {
    // Damaged pages are found here, before anything is shown, rather than halfway through a
    // later command. The quick check reads every page but compares no index with its table.
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "pragma quick_check(1)", -1, &stmt, nullptr) != SQLITE_OK)
        throw StoreError(engineText(m_db));
    const int rc = sqlite3_step(stmt);
    const QString finding =
        rc == SQLITE_ROW
            ? QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
            : QString();
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW)
        throw StoreError(engineText(m_db));
    if (finding != QLatin1String("ok"))
        // The engine heads its findings with "*** in database main ***" on a line of its own.
        throw StoreError(QStringLiteral("Файл базы данных повреждён: проверка его страниц "
                                        "нашла ошибку (%1). Восстановите базу из резервной "
                                        "копии.")
                             .arg(finding.section(QLatin1Char('\n'), -1).trimmed()));
}

Database::~Database() {
    sqlite3_close_v2(m_db);
}

void Database::execute(const QString& sql) {
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

std::int64_t Database::lastInsertKey() const {
    return sqlite3_last_insert_rowid(m_db);
}

Database::Transaction::Transaction(Database& db) : m_db(db) {
    m_db.execute(QStringLiteral("begin immediate"));
}

Database::Transaction::~Transaction() {
    if (!m_done)
        sqlite3_exec(m_db.handle(), "rollback", nullptr, nullptr, nullptr);
}

void Database::Transaction::commit() {
    m_db.execute(QStringLiteral("commit"));
    m_done = true;
}
