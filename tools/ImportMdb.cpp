// ulmar-tool import-mdb: brings a maker's Access catalogue (Jet 3 or Jet 4) into this
// program's store.
#include "store/Database.h"
#include "store/StoreError.h"
#include "store/StoreReplacement.h"
#include "store/SystemText.h"
#include "tools/Commands.h"
#include "tools/LimitedChild.h"
#include "tools/MdbImport.h"
#include "tools/MdbReader.h"
#include "tools/Usage.h"

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
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
    if (positional.size() != 2)
        return fail(usage, 2);

    const QFileInfo sourceInfo(positional.at(0));
    const QString source = sourceInfo.absoluteFilePath();
    if (!sourceInfo.exists())
        return fail(QStringLiteral("Не найден файл %1.").arg(source));
    if (!sourceInfo.isFile())
        return fail(QStringLiteral("%1 — не файл.").arg(source));
    {
        QFile probe(source);
        if (!probe.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("Не удалось прочитать %1: %2.")
                            .arg(source, russianSystemText(probe.errorString())));
    }
    if (!isJetFile(source))
        return fail(QStringLiteral("Файл %1 — не база Microsoft Access (Jet).").arg(source));

    const QString dir = QFileInfo(positional.at(1)).absoluteFilePath();
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

    // The store is written beside its place and moved there whole, so an interrupted import
    // leaves the old base.mdb (or none) rather than half a new one.
    std::optional<StoreReplacement> store;
    try {
        store.emplace(target, QStringLiteral("import"));
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    const QByteArray tempName = QFile::encodeName(store->path());
    const QByteArray journalName = tempName + "-journal";
    if (std::size_t(journalName.size()) >= sizeof g_tempPath)
        return fail(QStringLiteral("Слишком длинный путь к папке %1.").arg(dir));
    std::strcpy(g_tempPath, tempName.constData());
    std::strcpy(g_journalPath, journalName.constData());
    const InterruptionCleanup cleanup;

    const ChildLimits limits = readerLimits(sourceInfo.size());
    const ChildOutcome outcome = runLimited(
        [&] {
            InterruptionCleanup::release();
            return importInto(source, store->path(), limits);
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
    try {
        store->putInPlace();
    } catch (const StoreError& e) {
        return fail(e.message());
    }
    QTextStream(stdout) << QStringLiteral("База записана: %1\n").arg(target);
    return 0;
}
