// ulmar-tool update-catalogue SOURCE [DIR] [--dry-run] [--report FILE] [--force]: a maker's new
// price list replaces the catalogue of a store, which keeps the old one; the projects, their
// lines and snapshots stay as they are. --undo [DIR] brings the old catalogue back.
#include "catalogue/PriceListUpdate.h"
#include "export/ExportTarget.h"
#include "export/PriceReportSheet.h"
#include "export/Spreadsheet.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/StoreChoice.h"
#include "store/StoreError.h"
#include "store/SystemText.h"
#include "tools/Commands.h"
#include "tools/StoreFolder.h"
#include "tools/Usage.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <csignal>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

// The converted list lives in a temporary folder; an interruption removes it before the tool
// ends as the signal would. The handler uses only what is safe in a signal handler.
char g_convertedFolder[4096];
volatile pid_t g_converter = 0;

extern "C" void removeConverted(int signal) {
    if (g_converter > 0) {
        ::kill(g_converter, SIGTERM);  // the import removes what it has half written
        ::waitpid(g_converter, nullptr, 0);
    }
    if (const pid_t rm = ::fork(); rm == 0) {
        ::execl("/bin/rm", "rm", "-rf", "--", g_convertedFolder, static_cast<char*>(nullptr));
        ::_exit(127);
    } else if (rm > 0) {
        ::waitpid(rm, nullptr, 0);
    }
    std::signal(signal, SIG_DFL);
    ::raise(signal);
}

class ConvertedFolderCleanup {
public:
    explicit ConvertedFolderCleanup(const QString& folder) {
        const QByteArray name = QFile::encodeName(folder);
        std::snprintf(g_convertedFolder, sizeof g_convertedFolder, "%s", name.constData());
        for (int s : interruptions)
            std::signal(s, removeConverted);
    }
    ~ConvertedFolderCleanup() {
        for (int s : interruptions)
            std::signal(s, SIG_DFL);
    }
    ConvertedFolderCleanup(const ConvertedFolderCleanup&) = delete;
    ConvertedFolderCleanup& operator=(const ConvertedFolderCleanup&) = delete;

private:
    static constexpr int interruptions[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
};

// The store a command works on: a server's store named by --store, ULMAR_STORE or ulmar.store
// unless a folder is given, otherwise the base.mdb of the folder (the current one by default).
// On a server the catalogue changes in one transaction while designers work: the windows show
// the new list at their next refill.
QString storeOf(const QString& dir, QString& failure, bool readOnly = false) {
    if (dir.isEmpty() && storeNamed() && Database::isServerAddress(chosenStore()))
        return chosenStore();
    return existingStoreIn(dir.isEmpty() ? QStringLiteral(".") : dir, failure, readOnly);
}

int undoCommand(const QString& dir) {
    QString failure;
    const QString target = storeOf(dir, failure);
    if (target.isEmpty())
        return fail(failure);
    try {
        auto db = Database::openStore(target);
        Query q(*db, QStringLiteral("undo"));
        const catalogueArchive::Origin replaced = catalogueArchive::currentOrigin(q);
        Database::Transaction transaction(*db);
        const catalogueArchive::KeptList back = catalogueArchive::restoreNewest(*db, q);
        transaction.commit();
        QTextStream(stdout) << QStringLiteral(
                                   "Каталог %1 заменён прежним: %2 (снят %3). Проекты не "
                                   "изменены. База: %4\n")
                                   .arg(catalogueArchive::originText(replaced),
                                        catalogueArchive::originText(back.origin), back.replaced,
                                        target);
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Прежний каталог не возвращён: %1 База %2 не изменена.")
                        .arg(e.message(), target));
    }
}

}  // namespace

int updateCatalogueCommand(const QStringList& args) {
    const QString usage = usageLine(QStringLiteral("update-catalogue"));
    QStringList positional;
    bool dryRun = false;
    bool force = false;
    bool undo = false;
    QString reportFile;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--dry-run"))
            dryRun = true;
        else if (arg == QLatin1String("--force"))
            force = true;
        else if (arg == QLatin1String("--undo"))
            undo = true;
        else if (arg == QLatin1String("--report") && i + 1 < args.size())
            reportFile = QFileInfo(args.at(++i)).absoluteFilePath();
        else if (arg.startsWith(QLatin1String("--")))
            return fail(QStringLiteral("Неизвестный параметр %1.\n").arg(arg) + usage, 2);
        else
            positional << arg;
    }
    if (undo) {
        if (positional.size() > 1 || dryRun || force || !reportFile.isEmpty())
            return fail(usage, 2);
        return undoCommand(positional.value(0));
    }
    if (positional.isEmpty() || positional.size() > 2)
        return fail(usage, 2);
    const QString source = QFileInfo(positional.at(0)).absoluteFilePath();
    QString failure;
    // A dry run only reads: it may run beside a window of the program.
    const QString target = storeOf(positional.value(1), failure, dryRun);
    if (target.isEmpty())
        return fail(failure);
    const QString unchanged = QStringLiteral("База %1 не изменена.").arg(target);
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists())
        return fail(QStringLiteral("Не найден файл %1. ").arg(source) + unchanged);
    if (!sourceInfo.isFile())
        return fail(QStringLiteral("%1 — не файл. ").arg(source) + unchanged);
    if (isSameFile(source, target))
        return fail(QStringLiteral("Новый каталог — это сама база %1.").arg(target));

    // An Access file is read as import-mdb reads it, by the command itself in a process of its
    // own, into a store that lives only as long as this command.
    std::optional<QTemporaryDir> converted;
    std::optional<ConvertedFolderCleanup> cleanup;
    QString sourceStore = source;
    if (isJetFile(source)) {
        converted.emplace();
        if (!converted->isValid())
            return fail(QStringLiteral("Не удалось создать временную папку: %1. ")
                            .arg(russianSystemText(converted->errorString())) +
                        unchanged);
        cleanup.emplace(converted->path());
        QProcess import;
        import.start(QCoreApplication::applicationFilePath(),
                     {QStringLiteral("import-mdb"), source, converted->path()});
        g_converter = pid_t(import.processId());
        import.waitForFinished(-1);
        g_converter = 0;
        if (import.exitStatus() != QProcess::NormalExit || import.exitCode() != 0)
            return fail(QStringLiteral("Файл Access %1 не прочитан:\n%2")
                            .arg(source, QString::fromUtf8(import.readAllStandardError())) +
                        unchanged);
        sourceStore = converted->filePath(QStringLiteral("base.mdb"));
    } else if (!isSqliteFile(source)) {
        return fail(
            QStringLiteral("Файл %1 — не база программы и не база Microsoft Access. ").arg(source) +
            unchanged);
    }

    try {
        auto db = Database::openStore(target);
        PriceListUpdate update(*db, sourceStore, source);
        const auto reportOn = [&] {
            const std::vector<ProjectLines> projects = update.projects();
            if (!reportFile.isEmpty()) {
                const QString refusal = databaseTargetRefusal(reportFile, target);
                if (!refusal.isEmpty())
                    throw StoreError(refusal);
                const QString failed = saveSpreadsheet(
                    reportFile,
                    priceReportSpreadsheet(QStringLiteral("Новый прайс-лист: %1").arg(source),
                                           priceReportRows(projects), projectTotals(projects)));
                if (!failed.isEmpty())
                    throw StoreError(failed);
            }
            return QStringLiteral("Новый каталог: %1\n").arg(source) + update.summary() +
                   priceListTextReport(projects);
        };
        QTextStream out(stdout);
        const PriceListRisk risk = update.risk();
        if (dryRun) {
            // Read without a write lock, so a window working on the store is not held up.
            out << reportOn();
            if (risk.asks())
                out << QLatin1Char('\n') << risk.text() << QLatin1Char('\n');
            out << QStringLiteral("\nПробный прогон: база %1 не изменена.\n").arg(target);
            return 0;
        }
        if (risk.asks() && !force)
            return fail(risk.text() +
                        QStringLiteral(" Похоже, это не тот файл. Если это тот прайс-лист, "
                                       "повторите команду с --force. ") +
                        unchanged);
        Database::Transaction transaction(*db);
        const QString report = reportOn();
        const QString counts =
            update.apply({QFileInfo(source).fileName(), catalogueArchive::now()});
        db->execute(schema::createPropertiesTable());  // an old store's projects gain it here
        transaction.commit();
        out << report << QStringLiteral("\nТаблицы каталога заменены, строк в них:\n") << counts
            << QStringLiteral(
                   "Проекты, их строки и снимки сохранены; прежний каталог хранится "
                   "в базе (вернуть: ulmar-tool update-catalogue --undo). База "
                   "обновлена: %1\n")
                   .arg(target);
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Каталог не обновлён: %1\n").arg(e.message()) + unchanged);
    }
}
