#include "store/PgDatabase.h"

#include "store/PgDialect.h"
#include "store/PreparedStatement.h"
#include "store/StoreError.h"

#include <libpq-fe.h>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>

#include <optional>
#include <vector>

namespace {

// Type keys of the server's built-in types, as its catalogue fixes them.
enum : Oid {
    BoolType = 16,
    ByteaType = 17,
    Int8Type = 20,
    Int2Type = 21,
    Int4Type = 23,
    OidType = 26,
    Float4Type = 700,
    Float8Type = 701,
    NumericType = 1700,
};

QString serverText(PGconn* conn, const PGresult* result) {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    // libpq adds lines of guesses to a lost connection's text; its first line says it.
    return QString::fromUtf8(primary ? primary : PQerrorMessage(conn))
        .trimmed()
        .section(QLatin1Char('\n'), 0, 0)
        .remove(QLatin1String("FATAL:  "));
}

struct PgResult {
    PGresult* result;
    explicit PgResult(PGresult* r) : result(r) {}
    ~PgResult() { PQclear(result); }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;
};

// A numeric field as ten-thousandths: exact, more places rounded ties to even; a value beyond
// the range is refused rather than shown as another number.
std::int64_t decimalField(const char* text, int length) {
    std::int64_t whole = 0;
    int i = text[0] == '-' ? 1 : 0;
    const bool negative = i == 1;
    int places = -1;
    bool simple = true;
    for (; i < length; ++i) {
        const char c = text[i];
        if (c == '.' && places < 0) {
            places = 0;
        } else if (c >= '0' && c <= '9' && places < 4 && whole < INT64_MAX / 100) {
            whole = whole * 10 + (c - '0');
            if (places >= 0)
                ++places;
        } else {
            simple = false;
            break;
        }
    }
    if (simple) {
        for (int p = places < 0 ? 0 : places; p < 4; ++p)
            whole *= 10;
        return negative ? -whole : whole;
    }
    const auto parsed = Fixed4::parse(QString::fromUtf8(text, length));
    if (!parsed)
        throw AmountTooLarge();
    return parsed->raw();
}

class PgStatement final : public PreparedStatement {
public:
    PgStatement(PgDatabase& db, const QString& sql)
        : m_db(db), m_sql(pgStatementText(sql).toUtf8()) {
        if (sql.trimmed().isEmpty())
            throw StoreError(QStringLiteral("Пустой текст запроса."));
    }
    ~PgStatement() override { PQclear(m_result); }

    void bind(int slot, std::int64_t value) override { set(slot, QByteArray::number(value)); }
    void bind(int slot, double value) override { set(slot, QByteArray::number(value, 'g', 17)); }
    void bind(int slot, Fixed4 value) override { set(slot, value.toString().toUtf8()); }
    void bind(int slot, const QString& text) override { set(slot, text.toUtf8()); }
    void bind(int slot, const QByteArray& blob) override { set(slot, blob, true); }
    void bindNull(int slot) override { set(slot, std::nullopt); }

    bool step() override {
        if (!m_result)
            run();
        return m_row++ < PQntuples(m_result);
    }
    void reset() override {
        PQclear(m_result);
        m_result = nullptr;
        m_row = 0;
        m_values.clear();
        m_binary.clear();
    }

    void fetchAll(ResultRows& rows) override {
        run();
        const int columns = PQnfields(m_result);
        std::vector<Oid> types;
        for (int c = 0; c < columns; ++c) {
            rows.columns << QString::fromUtf8(PQfname(m_result, c));
            types.push_back(PQftype(m_result, c));
        }
        const int count = PQntuples(m_result);
        rows.cells.reserve(std::size_t(count) * std::size_t(columns));
        for (int r = 0; r < count; ++r) {
            for (int c = 0; c < columns; ++c) {
                ResultRows::Cell cell;
                if (PQgetisnull(m_result, r, c)) {
                    rows.cells.push_back(cell);
                    continue;
                }
                const char* text = PQgetvalue(m_result, r, c);
                const int length = PQgetlength(m_result, r, c);
                switch (types[std::size_t(c)]) {
                    case Int2Type:
                    case Int4Type:
                    case Int8Type:
                    case OidType:
                        cell.type = ResultRows::Cell::Integer;
                        cell.integer = std::strtoll(text, nullptr, 10);
                        break;
                    case BoolType:
                        cell.type = ResultRows::Cell::Integer;
                        cell.integer = text[0] == 't' ? 1 : 0;
                        break;
                    case Float4Type:
                    case Float8Type:
                        cell.type = ResultRows::Cell::Real;
                        cell.real = std::strtod(text, nullptr);
                        break;
                    case NumericType:
                        cell.type = ResultRows::Cell::Decimal;
                        cell.integer = decimalField(text, length);
                        break;
                    case ByteaType: {
                        std::size_t size = 0;
                        unsigned char* bytes =
                            PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
                        rows.addSlice(ResultRows::Cell::Blob, reinterpret_cast<char*>(bytes), size);
                        PQfreemem(bytes);
                        continue;
                    }
                    default:
                        rows.addSlice(ResultRows::Cell::Text, text, std::size_t(length));
                        continue;
                }
                rows.cells.push_back(cell);
            }
            ++rows.count;
        }
    }

private:
    void set(int slot, std::optional<QByteArray> value, bool binary = false) {
        if (slot < 1)
            throw StoreError(QStringLiteral("Нет параметра запроса с номером %1.").arg(slot));
        if (m_values.size() < std::size_t(slot)) {
            m_values.resize(std::size_t(slot));
            m_binary.resize(std::size_t(slot));
        }
        m_values[std::size_t(slot - 1)] = std::move(value);
        m_binary[std::size_t(slot - 1)] = binary;
    }

    void run() {
        PQclear(m_result);
        m_result = nullptr;
        m_row = 0;
        m_db.ensureConnected();
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
        std::vector<Oid> types;
        for (std::size_t i = 0; i < m_values.size(); ++i) {
            values.push_back(m_values[i] ? m_values[i]->constData() : nullptr);
            lengths.push_back(m_values[i] ? int(m_values[i]->size()) : 0);
            formats.push_back(m_binary[i] ? 1 : 0);
            types.push_back(m_binary[i] ? Oid(ByteaType) : Oid(0));
        }
        m_result = PQexecParams(m_db.handle(), m_sql.constData(), int(values.size()), types.data(),
                                values.data(), lengths.data(), formats.data(), 0);
        checkPgResult(m_db.handle(), m_result);
    }

    PgDatabase& m_db;
    QByteArray m_sql;
    std::vector<std::optional<QByteArray>> m_values;
    std::vector<bool> m_binary;
    PGresult* m_result = nullptr;
    int m_row = 0;
};

}  // namespace

QString pgFailureText(PGconn* conn, const PGresult* result) {
    const QString text = serverText(conn, result);
    // The program's own functions on the server speak Russian already.
    static const QRegularExpression russian(QStringLiteral("^[А-Яа-яЁё]"));
    if (text.contains(russian))
        return text;
    const char* field = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const QString state = field ? QString::fromLatin1(field) : QString();
    if (state.isEmpty() || state.startsWith(QLatin1String("08")) ||
        state.startsWith(QLatin1String("57P")) || PQstatus(conn) == CONNECTION_BAD)
        return QStringLiteral(
                   "Нет связи с сервером базы данных; проверьте сеть и сервер и "
                   "повторите действие. (%1)")
            .arg(text);
    if (state == QLatin1String("53100"))
        return QStringLiteral("Нет места на диске сервера базы данных. (%1)").arg(text);
    if (state == QLatin1String("57014"))
        return QStringLiteral(
                   "Сервер базы данных не выполнил запрос за отведённое время; "
                   "повторите действие позже. (%1)")
            .arg(text);
    if (state == QLatin1String("55P03") || state.startsWith(QLatin1String("40")))
        return QStringLiteral(
                   "База данных занята другим пользователем; повторите действие "
                   "позже. (%1)")
            .arg(text);
    if (state == QLatin1String("22003"))
        return Fixed4::tooLargeMessage();
    if (state == QLatin1String("42501"))
        return QStringLiteral("Нет прав на это действие в базе данных на сервере. (%1)").arg(text);
    if (state.startsWith(QLatin1String("23")))
        return QStringLiteral("База данных не приняла изменение: оно нарушает её правила. (%1)")
            .arg(text);
    if (state == QLatin1String("42P01") || state == QLatin1String("42703") ||
        state == QLatin1String("42883") || state == QLatin1String("42704"))
        return QStringLiteral(
                   "В базе данных на сервере нет нужной таблицы, столбца или функции: "
                   "она не подготовлена командой ulmar-tool server-init. (%1)")
            .arg(text);
    if (state.startsWith(QLatin1String("53")))
        return QStringLiteral("Серверу базы данных не хватило ресурсов. (%1)").arg(text);
    return QStringLiteral("База данных не выполнила запрос. (%1)").arg(text);
}

void checkPgResult(PGconn* conn, const PGresult* result) {
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && status != PGRES_EMPTY_QUERY)
        throw StoreError(pgFailureText(conn, result));
}

std::unique_ptr<PgDatabase> PgDatabase::connect(const QString& address) {
    // The computer's name goes with the connection, so another designer is told where a
    // project is open (the server shows every login the application name, not the address).
    const QByteArray given = address.toUtf8();
    const QByteArray application = "ulmar@" + QSysInfo::machineHostName().toUtf8();
    const char* const keywords[] = {"dbname", "fallback_application_name", nullptr};
    const char* const values[] = {given.constData(), application.constData(), nullptr};
    PGconn* conn = PQconnectdbParams(keywords, values, 1);
    std::unique_ptr<PgDatabase> db(new PgDatabase(conn, address));
    if (!conn || PQstatus(conn) != CONNECTION_OK)
        throw StoreError(QStringLiteral("Нет связи с базой данных %1 на сервере: %2")
                             .arg(db->shownName(), serverText(conn, nullptr)));
    // Texts travel as UTF-8 whatever the server's own settings.
    PQsetClientEncoding(conn, "UTF8");
    // The server's notices (analyze skipping the tables of others) are not the user's concern.
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    return db;
}

std::unique_ptr<Database> Database::connect(const QString& address) {
    return PgDatabase::connect(address);
}

PgDatabase::~PgDatabase() {
    PQfinish(m_conn);
}

QString PgDatabase::shownName() const {
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        // Not connected: the address as given, without any password it might carry.
        QUrl url(m_address);
        return url.isValid() && !url.scheme().isEmpty()
                   ? url.toString(QUrl::RemovePassword | QUrl::RemoveQuery)
                   : m_address;
    }
    const QString host = QString::fromUtf8(PQhost(m_conn));
    // A socket folder is no server name a user would know.
    const QString server = host.startsWith(QLatin1Char('/')) ? QStringLiteral("localhost") : host;
    return QStringLiteral("%1 на %2").arg(QString::fromUtf8(PQdb(m_conn)), server);
}

void PgDatabase::ensureConnected() {
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    const bool lostTransaction = m_transactionOpen;
    m_transactionOpen = false;
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK || lostTransaction)
        throw StoreError(pgFailureText(m_conn, nullptr));
    PQsetClientEncoding(m_conn, "UTF8");
    ++m_reconnections;
}

void PgDatabase::execute(const QString& sql) {
    beforeStatement(sql);
    ensureConnected();
    PgResult result(PQexec(m_conn, pgStatementText(sql).toUtf8().constData()));
    checkPgResult(m_conn, result.result);
}

std::int64_t PgDatabase::lastInsertKey() {
    ensureConnected();
    PgResult result(PQexec(m_conn, "select lastval()"));
    checkPgResult(m_conn, result.result);
    return std::strtoll(PQgetvalue(result.result, 0, 0), nullptr, 10);
}

bool PgDatabase::inTransaction() const {
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

std::unique_ptr<PreparedStatement> PgDatabase::prepare(const QString& sql) {
    return std::make_unique<PgStatement>(*this, sql);
}

void PgDatabase::begin() {
    execute(QStringLiteral("begin"));
    m_transactionOpen = true;
}

void PgDatabase::commit() {
    beforeStatement(QStringLiteral("commit"));
    ensureConnected();
    PgResult result(PQexec(m_conn, "commit"));
    m_transactionOpen = false;
    checkPgResult(m_conn, result.result);
    // The server answers a commit of a transaction that a failed statement spoilt with a
    // rollback: that is no success.
    if (qstrcmp(PQcmdStatus(result.result), "ROLLBACK") == 0)
        throw StoreError(
            QStringLiteral("База данных не выполнила запрос: изменение отменено "
                           "сервером после ошибки в нём."));
}

void PgDatabase::rollbackQuietly() noexcept {
    m_transactionOpen = false;
    if (PQstatus(m_conn) == CONNECTION_OK)
        PQclear(PQexec(m_conn, "rollback"));
}
