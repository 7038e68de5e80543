#include "tools/MdbReader.h"

#include "store/StoreError.h"
#include "tools/JetDecode.h"

// libmdb's header includes glib inside extern "C"; glib must come first for C++.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFileInfo>
#include <charconv>
#include <cstdio>

namespace {

// libmdb checks a page number against the file's end and then quietly treats the page as
// missing, so a cut-off file would read as one with fewer tables or rows. The file is read
// through this stream instead: it claims to be endless and notes every read past the real end.
struct PageStream {
    int fd = -1;
    off64_t position = 0;
    off64_t size = 0;
    bool pastEnd = false;
    QByteArray buffer;  // exactly one page, so stdio reads whole pages and never ahead

    static ssize_t read(void* cookie, char* data, size_t length) {
        auto* s = static_cast<PageStream*>(cookie);
        if (s->position >= s->size && length > 0)
            s->pastEnd = true;
        const ssize_t got = ::pread(s->fd, data, length, s->position);
        if (got < 0) {
            s->pastEnd = true;
            return -1;
        }
        s->position += got;
        return got;
    }
    static int seek(void* cookie, off64_t* offset, int whence) {
        auto* s = static_cast<PageStream*>(cookie);
        constexpr off64_t endless = off64_t(1) << 50;
        const off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? s->position : endless;
        s->position = base + *offset;
        *offset = s->position;
        return 0;
    }
    static int close(void* cookie) {
        auto* s = static_cast<PageStream*>(cookie);
        ::close(s->fd);
        delete s;
        return 0;
    }
};

MdbColumn* columnAt(MdbTableDef* table, unsigned i) {
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
}

QString fromLibText(const char* text) {
    return QString::fromUtf8(text);
}

// Texts from libmdb are g_malloc'ed UTF-8; invalid sequences are replaced, not passed on.
QByteArray takeLibText(char* text) {
    if (!text)
        return QByteArray();
    const QByteArray utf8 = QString::fromUtf8(text).toUtf8();
    g_free(text);
    return utf8;
}

// Number texts of libmdb follow the thread's locale; the reader works in the C locale.
class CLocale {
public:
    CLocale() : m_c(newlocale(LC_ALL_MASK, "C", locale_t(0))) {
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CLocale() {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;

private:
    locale_t m_c;
    locale_t m_previous = locale_t(0);
};

}  // namespace

struct MdbReader::Private {
    QString path;
    MdbHandle* mdb = nullptr;
    PageStream* stream = nullptr;  // owned by the FILE libmdb closes
    std::vector<MdbTableDef*> tables;

    ~Private() {
        for (MdbTableDef* t : tables)
            mdb_free_tabledef(t);
        if (mdb)
            mdb_close(mdb);
    }

    // Whatever else went wrong, pages missing at the end are the cause worth telling.
    [[noreturn]] void damaged(const QString& what) const {
        if (stream && stream->pastEnd && !what.contains(QStringLiteral("обрезан")))
            checkPages();
        throw StoreError(
            QStringLiteral("Файл %1 повреждён: %2.").arg(QFileInfo(path).absoluteFilePath(), what));
    }
    void checkPages() const {
        if (stream->pastEnd)
            damaged(
                QStringLiteral("он ссылается на страницы за своим концом — файл обрезан "
                               "или испорчен"));
    }
};

MdbReader::MdbReader(const QString& path) : m_d(new Private) {
    CLocale c;
    m_d->path = path;
    const QString shown = QFileInfo(path).absoluteFilePath();
    const QByteArray name = QFile::encodeName(path);
    m_d->mdb = mdb_open(name.constData(), MDB_NOFLAGS);
    if (!m_d->mdb)
        throw StoreError(
            QStringLiteral("Не удалось открыть %1 как базу Microsoft Access (Jet).").arg(shown));
    MdbHandle* mdb = m_d->mdb;
    const off64_t pageSize = mdb->fmt->pg_size;

    auto* stream = new PageStream;
    stream->fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (stream->fd < 0 || ::fstat(stream->fd, &info) != 0) {
        if (stream->fd >= 0)
            ::close(stream->fd);
        delete stream;
        throw StoreError(QStringLiteral("Не удалось прочитать %1.").arg(shown));
    }
    stream->size = info.st_size;
    stream->buffer.resize(qsizetype(pageSize));
    cookie_io_functions_t io{&PageStream::read, nullptr, &PageStream::seek, &PageStream::close};
    FILE* file = fopencookie(stream, "r", io);
    if (!file) {
        PageStream::close(stream);
        throw StoreError(QStringLiteral("Не удалось прочитать %1.").arg(shown));
    }
    setvbuf(file, stream->buffer.data(), _IOFBF, std::size_t(pageSize));
    std::fclose(mdb->f->stream);
    mdb->f->stream = file;
    m_d->stream = stream;

    if (info.st_size % pageSize != 0)
        m_d->damaged(QStringLiteral("его длина %1 байт — не целое число страниц по %2 байт "
                                    "(файл обрезан)")
                         .arg(info.st_size)
                         .arg(pageSize));

    if (!mdb_read_catalog(mdb, MDB_ANY))
        m_d->damaged(QStringLiteral("не читается список таблиц"));
    m_d->checkPages();

    // The catalogue is itself the table MSysObjects; a row lost there would be a lost table.
    // Only the catalogue's own entries are used below: looking tables up by name rebuilds it.
    std::vector<MdbCatalogEntry*> userTables;
    bool catalogueChecked = false;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && qstrcmp(entry->object_name, "MSysObjects") == 0 &&
            !catalogueChecked) {
            MdbTableDef* table = mdb_read_table(entry);
            if (!table || !mdb_read_columns(table)) {
                if (table)
                    mdb_free_tabledef(table);
                m_d->damaged(QStringLiteral("не читается список таблиц"));
            }
            mdb_rewind_table(table);
            unsigned rows = 0;
            while (mdb_fetch_row(table))
                ++rows;
            const unsigned recorded = table->num_rows;
            mdb_free_tabledef(table);
            m_d->checkPages();
            if (rows != recorded)
                m_d->damaged(QStringLiteral("в списке таблиц прочитано %1 записей из %2")
                                 .arg(rows)
                                 .arg(recorded));
            catalogueChecked = true;
        }
        if (mdb_is_user_table(entry))
            userTables.push_back(entry);
    }
    if (!catalogueChecked)
        m_d->damaged(QStringLiteral("в нём нет списка таблиц"));

    for (MdbCatalogEntry* entry : userTables) {
        const QString tableName = fromLibText(entry->object_name);
        MdbTableDef* table = mdb_read_table(entry);
        if (!table)
            m_d->damaged(QStringLiteral("не читается описание таблицы %1").arg(tableName));
        m_d->tables.push_back(table);
        if (!mdb_read_columns(table) || table->num_cols == 0 || table->num_cols > MDB_MAX_COLS ||
            table->columns->len != table->num_cols)
            m_d->damaged(QStringLiteral("не читаются столбцы таблицы %1").arg(tableName));
        mdb_read_indices(table);
        m_d->checkPages();

        Table t;
        t.name = tableName;
        t.rowCount = table->num_rows;
        for (unsigned c = 0; c < table->num_cols; ++c) {
            MdbColumn* col = columnAt(table, c);
            Column column;
            column.name = fromLibText(col->name);
            if (column.name.trimmed().isEmpty())
                m_d->damaged(QStringLiteral("у столбца таблицы %1 нет имени").arg(tableName));
            column.type = col->col_type;
            column.precision = col->col_prec;
            column.scale = col->col_scale;
            column.autoNumber = col->is_long_auto != 0;
            t.columns.push_back(column);
        }
        for (unsigned i = 0; table->indices && i < table->indices->len; ++i) {
            auto* index = static_cast<MdbIndex*>(g_ptr_array_index(table->indices, i));
            if (index->index_type != 1)  // 1 is the primary key
                continue;
            for (unsigned k = 0; k < index->num_keys && k < MDB_MAX_IDX_COLS; ++k) {
                const int colNo = index->key_col_num[k];
                if (colNo >= 1 && unsigned(colNo) <= table->num_cols)
                    t.primaryKey << t.columns[std::size_t(colNo - 1)].name;
            }
            break;
        }
        m_tables.push_back(std::move(t));
    }
}

MdbReader::~MdbReader() = default;

QString MdbReader::formatName() const {
    switch (m_d->mdb->f->jet_version) {
        case MDB_VER_JET3:
            return QStringLiteral("Jet 3");
        case MDB_VER_JET4:
            return QStringLiteral("Jet 4");
        case MDB_VER_ACCDB_2007:
            return QStringLiteral("Access 2007");
        case MDB_VER_ACCDB_2010:
            return QStringLiteral("Access 2010");
        case MDB_VER_ACCDB_2013:
            return QStringLiteral("Access 2013");
        case MDB_VER_ACCDB_2016:
            return QStringLiteral("Access 2016");
        case MDB_VER_ACCDB_2019:
            return QStringLiteral("Access 2019");
        default:
            return QStringLiteral("Access");
    }
}

std::uint64_t MdbReader::readRows(std::size_t index,
                                  const std::function<void(const std::vector<MdbCell>&)>& onRow) {
    CLocale c;
    MdbHandle* mdb = m_d->mdb;
    MdbTableDef* table = m_d->tables.at(index);
    const Table& info = m_tables.at(index);
    const unsigned columnCount = table->num_cols;
    const std::size_t fileSize = std::size_t(m_d->stream->size);
    const std::size_t pageSize = std::size_t(mdb->fmt->pg_size);

    // Long binary is read through the bound copy of its field header.
    std::vector<QByteArray> bound(columnCount);
    std::vector<int> boundLength(columnCount, 0);
    for (unsigned i = 0; i < columnCount; ++i) {
        if (columnAt(table, i)->col_type != MDB_OLE)
            continue;
        // Each piece of a long value is copied here; a piece is at most one page.
        bound[i] = QByteArray(qsizetype(std::max<std::size_t>(mdb->bind_size, 4 * pageSize)), '\0');
        if (mdb_bind_column(table, int(i) + 1, bound[i].data(), &boundLength[i]) == -1)
            m_d->damaged(QStringLiteral("не читаются столбцы таблицы %1").arg(info.name));
    }

    std::vector<MdbField> fields(MDB_MAX_COLS);
    std::vector<MdbCell> cells(columnCount);
    std::uint64_t rows = 0;
    mdb_rewind_table(table);
    while (mdb_fetch_row(table)) {
        m_d->checkPages();
        int rowStart = 0;
        size_t rowSize = 0;
        if (table->cur_row < 1 || mdb_find_row(mdb, int(table->cur_row) - 1, &rowStart, &rowSize))
            m_d->damaged(QStringLiteral("не читается строка таблицы %1").arg(info.name));
        const int found = mdb_crack_row(table, rowStart, rowSize, fields.data());
        if (found != int(columnCount))
            m_d->damaged(QStringLiteral("не читается строка таблицы %1").arg(info.name));

        for (int f = 0; f < found; ++f) {
            const MdbField& field = fields[std::size_t(f)];
            if (field.colnum < 0 || unsigned(field.colnum) >= columnCount)
                m_d->damaged(QStringLiteral("не читается строка таблицы %1").arg(info.name));
            MdbColumn* col = columnAt(table, unsigned(field.colnum));
            MdbCell& cell = cells[std::size_t(field.colnum)];
            cell = MdbCell();
            // A yes/no field is never null: its value is the bit that marks null elsewhere.
            if (col->col_type == MDB_BOOL) {
                cell.kind = MdbCell::Kind::Integer;
                cell.integer = field.is_null ? 0 : 1;
                continue;
            }
            if (field.is_null)
                continue;
            const int start = field.start;
            const int length = field.siz;
            if (start < 0 || length < 0 || start + length > int(mdb->fmt->pg_size))
                m_d->damaged(QStringLiteral("не читается строка таблицы %1").arg(info.name));
            const unsigned char* raw = mdb->pg_buf + start;
            const auto needs = [&](int bytes) {
                if (length < bytes)
                    m_d->damaged(QStringLiteral("не читается поле %1 таблицы %2")
                                     .arg(fromLibText(col->name), info.name));
            };
            switch (col->col_type) {
                case MDB_BYTE:
                    needs(1);
                    cell.kind = MdbCell::Kind::Integer;
                    cell.integer = raw[0];
                    break;
                case MDB_INT:
                    needs(2);
                    cell.kind = MdbCell::Kind::Integer;
                    cell.integer = jet::readInt16(raw);
                    break;
                case MDB_LONGINT:
                case MDB_COMPLEX:
                    needs(4);
                    cell.kind = MdbCell::Kind::Integer;
                    cell.integer = jet::readInt32(raw);
                    break;
                case MDB_MONEY:
                    needs(8);
                    cell.kind = MdbCell::Kind::Money;
                    cell.integer = jet::readInt64(raw);
                    break;
                case MDB_FLOAT: {
                    needs(4);
                    // A single keeps its shortest decimal form, 0.1 rather than 0.100000001.
                    char text[32];
                    const auto end = std::to_chars(text, text + sizeof text, jet::readFloat(raw));
                    cell.kind = MdbCell::Kind::Real;
                    std::from_chars(text, end.ptr, cell.real);
                    break;
                }
                case MDB_DOUBLE:
                    needs(8);
                    cell.kind = MdbCell::Kind::Real;
                    cell.real = jet::readDouble(raw);
                    break;
                case MDB_DATETIME: {
                    needs(8);
                    const double days = jet::readDouble(raw);
                    if (const auto text = jet::dateText(days)) {
                        cell.kind = MdbCell::Kind::Text;
                        cell.bytes = text->toUtf8();
                    } else {
                        cell.kind = MdbCell::Kind::Real;
                        cell.real = days;
                    }
                    break;
                }
                case MDB_NUMERIC: {
                    needs(17);
                    const QByteArray text = takeLibText(
                        mdb_numeric_to_string(mdb, start, col->col_scale, col->col_prec));
                    cell.kind = MdbCell::Kind::Text;  // the exact decimal; the store converts
                    cell.bytes = text;
                    break;
                }
                case MDB_REPID:
                    needs(16);
                    cell.kind = MdbCell::Kind::Text;
                    cell.bytes = takeLibText(mdb_uuid_to_string(mdb->pg_buf, start));
                    break;
                case MDB_TEXT:
                    cell.kind = MdbCell::Kind::Text;
                    if (length > 0)
                        cell.bytes = takeLibText(
                            mdb_col_to_string(mdb, mdb->pg_buf, start, MDB_TEXT, length));
                    break;
                case MDB_MEMO: {
                    needs(MDB_MEMO_OVERHEAD);
                    const std::size_t declared = jet::readUInt32(raw) & 0x3fffffffu;
                    if (declared > fileSize)
                        m_d->damaged(QStringLiteral("поле %1 таблицы %2 длиннее самого файла")
                                         .arg(fromLibText(col->name), info.name));
                    cell.kind = MdbCell::Kind::Text;
                    // libmdb cuts a memo at the bind size without a word; a stored byte
                    // becomes at most three bytes of UTF-8.
                    const std::size_t needed = 3 * declared + 64;
                    if (needed > mdb->bind_size)
                        mdb_set_bind_size(mdb, needed);
                    if (declared > 0)
                        cell.bytes = takeLibText(
                            mdb_col_to_string(mdb, mdb->pg_buf, start, MDB_MEMO, length));
                    break;
                }
                case MDB_OLE: {
                    needs(MDB_MEMO_OVERHEAD);
                    const std::size_t declared = jet::readUInt32(raw) & 0x3fffffffu;
                    if (declared > fileSize)
                        m_d->damaged(QStringLiteral("поле %1 таблицы %2 длиннее самого файла")
                                         .arg(fromLibText(col->name), info.name));
                    cell.kind = MdbCell::Kind::Blob;
                    if (declared == 0)
                        break;
                    size_t size = 0;
                    void* data = mdb_ole_read_full(mdb, col, &size);
                    if (data) {
                        cell.bytes = QByteArray(static_cast<const char*>(data), qsizetype(size));
                        std::free(data);
                    }
                    m_d->checkPages();
                    if (std::size_t(cell.bytes.size()) != declared)
                        m_d->damaged(QStringLiteral("в поле %1 таблицы %2 прочитано %3 байт из %4")
                                         .arg(fromLibText(col->name), info.name)
                                         .arg(cell.bytes.size())
                                         .arg(declared));
                    break;
                }
                default:
                    // Binary and any type without a meaning here: the stored bytes themselves.
                    // (A bound binary value would stop at its first zero byte.)
                    cell.kind = MdbCell::Kind::Blob;
                    cell.bytes = QByteArray(reinterpret_cast<const char*>(raw), length);
                    break;
            }
            m_d->checkPages();
        }
        onRow(cells);
        ++rows;
    }
    m_d->checkPages();
    for (unsigned i = 0; i < columnCount; ++i)
        if (!bound[i].isEmpty())
            mdb_bind_column(table, int(i) + 1, nullptr, nullptr);
    // A row that libmdb can not make out is skipped without a word; the count tells.
    if (rows != info.rowCount)
        m_d->damaged(QStringLiteral("в таблице %1 прочитано строк %2 из %3")
                         .arg(info.name)
                         .arg(rows)
                         .arg(info.rowCount));
    return rows;
}

bool MdbReader::isMoney(int type) {
    return type == MDB_MONEY || type == MDB_NUMERIC;
}

bool MdbReader::isInteger(int type) {
    return type == MDB_BOOL || type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT ||
           type == MDB_COMPLEX;
}

bool MdbReader::isReal(int type) {
    return type == MDB_FLOAT || type == MDB_DOUBLE;
}

bool MdbReader::isText(int type) {
    return type == MDB_TEXT || type == MDB_MEMO || type == MDB_REPID;
}

bool MdbReader::isBinary(int type) {
    return type == MDB_BINARY || type == MDB_OLE;
}

bool MdbReader::isDate(int type) {
    return type == MDB_DATETIME;
}
