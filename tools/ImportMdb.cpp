// ulmar-tool import-mdb: brings a maker's Access catalogue (Jet 3 or Jet 4) into this
// program's store: a folder's base.mdb, or an empty store on a server.
#include "store/Database.h"
#include "store/Query.h"
#include "store/StoreChoice.h"
#include "store/StoreError.h"
#include "store/StoreReplacement.h"
#include "store/SystemText.h"
#include "store/TableCheck.h"
#include "tools/Commands.h"
#include "tools/LimitedChild.h"
#include "tools/MdbImport.h"
#include "tools/MdbReader.h"
#include "tools/ServerCopy.h"
#include "tools/Usage.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

// The half-written store and its journal are removed when the import is interrupted; the
// handler may only use what is safe in a signal handler.
char g_tempPath[4096];
char g_journalPath[4096 + 16];
volatile pid_t g_reader = 0;

extern "C" void removeHalfMade(int signal) {
    if (g_reader > 0)
        ::kill(g_reader, SIGKILL);
    ::unlink(g_tempPath);
    ::unlink(g_journalPath);
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

// While it lives, an interruption of the tool removes the half-made store first.
class InterruptionCleanup {
public:
    InterruptionCleanup() {
        for (int s : interruptions)
            std::signal(s, removeHalfMade);
    }
    ~InterruptionCleanup() { release(); }
    InterruptionCleanup(const InterruptionCleanup&) = delete;
    InterruptionCleanup& operator=(const InterruptionCleanup&) = delete;
    static void release() {
        for (int s : interruptions)
            std::signal(s, SIG_DFL);
    }

private:
    static constexpr int interruptions[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
};

// A damaged file can make libmdb read in circles for ever, its memory growing: the reader is
// stopped past a time and a size that a sound catalogue of that file's size never needs.
// A sound file is read at about 4 MB a second (the test catalogue of 0,3 MB in under 0,08 s,
// start included); 5 s a megabyte is twenty times that, the base 10 s covers a slow start.
// For an unusually large catalogue both can be raised.
ChildLimits readerLimits(qint64 sourceBytes) {
    const long long megabytes = sourceBytes >> 20;
    const long long reading = 10 + (5 * sourceBytes + (1 << 20) - 1) / (1 << 20);
    ChildLimits limits{int(std::min(reading, 86400LL)), 1024 + 8 * megabytes};
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("ULMAR_IMPORT_SECONDS", &ok);
    if (ok && seconds > 0)
        limits.seconds = seconds;
    const int memory = qEnvironmentVariableIntValue("ULMAR_IMPORT_MEGABYTES", &ok);
    if (ok && memory > 0)
        limits.megabytes = memory;
    return limits;
}

// The Access library warns in English on the error output: each such line is said in Russian,
// its own words after it for whoever looks into the file.
QString readerMessages(const QByteArray& errors) {
    static const QRegularExpression russian(QStringLiteral("[А-Яа-яЁё]"));
    QString text;
    for (const QString& line : QString::fromUtf8(errors).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.contains(russian) || line.trimmed() == QStringLiteral("…"))
            text += line + QLatin1Char('\n');
        else
            text += QStringLiteral(
                        "Предупреждение при чтении файла Access (файл может быть "
                        "повреждён): %1\n")
                        .arg(line.trimmed());
    }
    return text;
}

// The import proper, in a process of its own: libmdb reads whatever a damaged file holds and
// may fail in ways no check foresees; then only that process ends, and the command says so.
int importInto(const QString& source, const QString& storePath, const ChildLimits& limits) {
    try {
        MdbReader reader(source);
        const std::vector<ImportedTable> tables = importTables(reader, storePath);
        QTextStream out(stdout);
        out << QStringLiteral("%1 (%2):\n").arg(QFileInfo(source).fileName(), reader.formatName());
        for (const ImportedTable& t : tables)
            out << QStringLiteral("  %1: %2\n").arg(t.name).arg(t.rows);
        return 0;
    } catch (const StoreError& e) {
        return fail(e.message());
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("Не хватило памяти (предел %1 МБ): файл %2 повреждён или "
                                   "слишком велик. (Предел задаёт ULMAR_IMPORT_MEGABYTES.)")
                        .arg(limits.megabytes)
                        .arg(QFileInfo(source).absoluteFilePath()));
    }
}

// Where an interruption leaves the half-made store to be removed; false when the path is
// too long for the handler's buffers.
bool armCleanupOf(const QString& storePath) {
    const QByteArray tempName = QFile::encodeName(storePath);
    const QByteArray journalName = tempName + "-journal";
    if (std::size_t(journalName.size()) >= sizeof g_tempPath)
        return false;
    std::strcpy(g_tempPath, tempName.constData());
    std::strcpy(g_journalPath, journalName.constData());
    return true;
}

// Refuses a source that is missing, unreadable or no Access file, before anything is written.
QString sourceRefusal(const QFileInfo& sourceInfo) {
    const QString source = sourceInfo.absoluteFilePath();
    if (!sourceInfo.exists())
        return QStringLiteral("Не найден файл %1.").arg(source);
    if (!sourceInfo.isFile())
        return QStringLiteral("%1 — не файл.").arg(source);
    QFile probe(source);
    if (!probe.open(QIODevice::ReadOnly))
        return QStringLiteral("Не удалось прочитать %1: %2.")
            .arg(source, russianSystemText(probe.errorString()));
    if (!isJetFile(source))
        return QStringLiteral("Файл %1 — не база Microsoft Access (Jet).").arg(source);
    return QString();
}

// Reads the Access file into the new store file at storePath, in a process of its own within
// the reader's limits. Returns 0, or the status of the refusal after saying why.
int readInto(const QFileInfo& sourceInfo, const QString& storePath) {
    const QString source = sourceInfo.absoluteFilePath();
    const ChildLimits limits = readerLimits(sourceInfo.size());
    const ChildOutcome outcome = runLimited(
        [&] {
            InterruptionCleanup::release();
            return importInto(source, storePath, limits);
        },
        limits, g_reader);
    QTextStream(stderr) << readerMessages(outcome.errors);
    switch (outcome.end) {
        case ChildOutcome::End::NotStarted:
            return fail(
                QStringLiteral("Не удалось начать чтение: %1.").arg(systemErrorText(outcome.code)));
        case ChildOutcome::End::OutOfTime:
            return fail(QStringLiteral("Файл %1 не прочитан за %2 с: похоже, он повреждён и "
                                       "чтение зациклилось. База не записана. (Если каталог "
                                       "действительно так велик, задайте предел больше: "
                                       "ULMAR_IMPORT_SECONDS.)")
                            .arg(source)
                            .arg(limits.seconds));
        case ChildOutcome::End::Signalled:
            return fail(QStringLiteral("Файл %1 повреждён: чтение оборвалось (сигнал %2). База "
                                       "не записана.")
                            .arg(source)
                            .arg(outcome.code));
        case ChildOutcome::End::Exited:
            if (outcome.code != 0)
                return fail(QStringLiteral("База не записана."));
            break;
    }
    return 0;
}

// Into a folder's base.mdb: written beside its place and moved there whole, so an interrupted
// import leaves the old base.mdb (or none) rather than half a new one.
int importIntoFolder(const QFileInfo& sourceInfo, const QString& folder, bool replace) {
    const QString dir = QFileInfo(folder).absoluteFilePath();
    if (!QDir().mkpath(dir))
        return fail(QStringLiteral("Не удалось создать папку %1.").arg(dir));
    const QString target = QDir(dir).filePath(QStringLiteral("base.mdb"));
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink()) {
        if (targetInfo.isDir())
            return fail(QStringLiteral("%1 — папка, а не файл базы.").arg(target));
        if (!replace)
            return fail(QStringLiteral("Файл %1 уже есть. Чтобы заменить его, добавьте --replace.")
                            .arg(target));
    }
    std::optional<StoreReplacement> store;
    try {
        store.emplace(target, QStringLiteral("import"));
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    if (!armCleanupOf(store->path()))
        return fail(QStringLiteral("Слишком длинный путь к папке %1.").arg(dir));
    const InterruptionCleanup cleanup;
    if (const int refused = readInto(sourceInfo, store->path()))
        return refused;
    try {
        store->putInPlace();
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    QTextStream(stdout) << QStringLiteral("База записана: %1\n").arg(target);
    return 0;
}

// A server's store is filled only while it holds nothing of the program's: its catalogue and
// projects belong to the whole office, and a new price list goes in by update-catalogue.
void requireEmptyServerStore(Database& server) {
    requireProgramTables(server, server.shownName());
    for (const QString& table : programTableNames()) {
        Query rows(server, QStringLiteral("filled"));
        rows.open(QStringLiteral("select 1 from %1 limit 1").arg(table));
        if (rows.recordCount() > 0)
            throw StoreError(
                QStringLiteral("В базе %1 уже есть каталог или проекты (таблица %2 не пуста). "
                               "import-mdb заполняет только пустую базу, подготовленную "
                               "server-init; новый прайс-лист в работающую базу берёт "
                               "update-catalogue.")
                    .arg(server.shownName(), table));
    }
}

// Onto a server's empty store: the file is converted as for a folder, into a temporary one,
// and copied onto the server in one transaction of the server, checked as copy-store checks.
int importOntoServer(const QFileInfo& sourceInfo, const QString& address) {
    const QString unchanged = QStringLiteral("База %1 не изменена.").arg(address);
    std::unique_ptr<Database> server;
    try {
        server = Database::connect(address);
        requireEmptyServerStore(*server);
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Каталог не перенесён: %1 ").arg(e.message()) + unchanged);
    }
    QTemporaryDir work;
    if (!work.isValid())
        return fail(QStringLiteral("Не удалось создать временную папку: %1. ")
                        .arg(russianSystemText(work.errorString())) +
                    unchanged);
    std::optional<StoreReplacement> store;
    try {
        store.emplace(work.filePath(QStringLiteral("base.mdb")), QStringLiteral("import"));
    } catch (const StoreError& e) {
        return fail(e.message() + QLatin1Char(' ') + unchanged);
    }
    if (!armCleanupOf(store->path()))
        return fail(QStringLiteral("Слишком длинный путь к временной папке %1. ").arg(work.path()) +
                    unchanged);
    // Interrupted while copying, the tool ends without a commit: the server rolls back.
    const InterruptionCleanup cleanup;
    if (const int refused = readInto(sourceInfo, store->path()))
        return refused;
    try {
        auto converted = Database::open(store->path());
        const QStringList report = copyWholeStore(*converted, *server);
        QTextStream out(stdout);
        out << QStringLiteral("Перенесено в %1 (строк / суммы):\n").arg(server->shownName());
        for (const QString& line : report)
            out << QStringLiteral("  ") << line << '\n';
        out << QStringLiteral("База на сервере заполнена: %1\n").arg(address);
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Каталог не перенесён: %1 ").arg(e.message()) + unchanged);
    }
}

}  // namespace

int importMdbCommand(const QStringList& args) {
    const QString usage = usageLine(QStringLiteral("import-mdb"));
    QStringList positional;
    bool replace = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--replace"))
            replace = true;
        else if (arg.startsWith(QLatin1String("--")))
            return fail(QStringLiteral("Неизвестный параметр %1.\n").arg(arg) + usage, 2);
        else
            positional << arg;
    }
    // Without a folder the catalogue goes onto the server named by --store, ULMAR_STORE or
    // ulmar.store; a folder given means that folder's base.mdb.
    const bool onServer =
        positional.size() == 1 && storeNamed() && Database::isServerAddress(chosenStore());
    if (positional.size() != 2 && !onServer)
        return fail(usage, 2);
    if (onServer && replace)
        return fail(QStringLiteral("База на сервере не заменяется целиком (--replace): в ней "
                                   "проекты всего бюро. Новый прайс-лист в неё берёт "
                                   "update-catalogue; чтобы начать с чистого листа, подготовьте "
                                   "новую базу командой server-init."),
                    2);
    const QFileInfo sourceInfo(positional.at(0));
    const QString refusal = sourceRefusal(sourceInfo);
    if (!refusal.isEmpty())
        return fail(refusal);
    return onServer ? importOntoServer(sourceInfo, chosenStore())
                    : importIntoFolder(sourceInfo, positional.at(1), replace);
}
