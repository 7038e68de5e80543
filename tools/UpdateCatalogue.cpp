// ulmar-tool update-catalogue SOURCE [DIR] [--dry-run]: a maker's new price list replaces the
// catalogue of a store; the projects, their lines and snapshots stay as they are.
#include "specification/Reprice.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"
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
#include <QUrl>
#include <csignal>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QStringList catalogueTables = {
    QStringLiteral("EXPORT_VIDTMC"), QStringLiteral("EXPORT_TMC"),
    QStringLiteral("EXPORT_PODVID"), QStringLiteral("EXPORT_FOTO"),
    QStringLiteral("Export_INFOTO"), QStringLiteral("EXPORT_KREP"),
};
const QStringList ownTables = {QStringLiteral("project"), QStringLiteral("buy"),
                               QStringLiteral("arh")};

QString identifier(const QString& name) {
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) +
           QLatin1Char('"');
}

// Names as the engine matches them: Latin letters in either case, every other letter exactly
// (the statements say Фото, so a column фото would not be found).
bool sameName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QChar x = a.at(i);
        const QChar y = b.at(i);
        if (x != y && !(x.unicode() < 128 && y.unicode() < 128 && x.toLower() == y.toLower()))
            return false;
    }
    return true;
}

QString findName(const QStringList& names, const QString& name) {
    for (const QString& n : names)
        if (sameName(n, name))
            return n;
    return QString();
}

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

// The list as a URI that the engine opens read-only: attached for reading, it takes no part in
// the store's transaction, so a kill mid-way leaves no journal that spans both files.
QString readOnlyUri(const QString& path) {
    return QStringLiteral("file:") +
           QString::fromLatin1(QUrl::toPercentEncoding(path, QByteArrayLiteral("/"))) +
           QStringLiteral("?mode=ro");
}

QStringList column0(Query& q, const QString& sql) {
    q.open(sql);
    QStringList values;
    for (int row = 0; row < q.recordCount(); ++row)
        values << q.value(row, 0).toText();
    q.close();
    return values;
}

QStringList tablesOf(Query& q, const QString& database) {
    return column0(
        q, QStringLiteral("select name from %1.sqlite_master where type = 'table'").arg(database));
}

struct Column {
    QString name;
    QString type;
};

std::vector<Column> columnsOf(Query& q, const QString& database, const QString& table) {
    q.open(QStringLiteral("select name, type from pragma_table_info(%1, %2)")
               .arg(sqlText(table), sqlText(database)));
    std::vector<Column> columns;
    for (int row = 0; row < q.recordCount(); ++row)
        columns.push_back({q.value(row, 0).toText(), q.value(row, 1).toText()});
    q.close();
    return columns;
}

// The store's statement that creates a catalogue table, made to create it in the database
// named.
QString createIn(const QString& database, const QString& table) {
    const QString create = QStringLiteral("create table ");
    for (const QString& sql : schema::createTables())
        if (sql.startsWith(create + table + QStringLiteral(" (")))
            return create + database + QLatin1Char('.') + sql.mid(create.size());
    throw StoreError(QStringLiteral("Нет описания таблицы %1.").arg(table));
}

// How one catalogue table of the source goes into the store: into the store's own columns,
// and columns the store lacks added as the source declares them.
struct TableCopy {
    QString table;   // as the store names it
    QString source;  // as the source names it
    QStringList targetColumns;
    QStringList sourceColumns;
    std::vector<Column> extra;
};

// The source has every catalogue table with every column the program's statements read.
std::vector<TableCopy> planCopies(Database& db, Query& q, const QString& shown) {
    const QStringList sourceTables = tablesOf(q, QStringLiteral("src"));
    QStringList missingTables;
    QStringList missingColumns;
    std::vector<TableCopy> copies;
    for (const QString& table : catalogueTables) {
        TableCopy copy;
        copy.table = table;
        copy.source = findName(sourceTables, table);
        if (copy.source.isEmpty()) {
            missingTables << table;
            continue;
        }
        db.execute(createIn(QStringLiteral("shape"), table));
        QStringList needed;
        for (const Column& column : columnsOf(q, QStringLiteral("shape"), table))
            needed << column.name;
        QStringList present;
        for (const Column& column : columnsOf(q, QStringLiteral("src"), copy.source)) {
            present << column.name;
            const QString target = findName(needed, column.name);
            copy.targetColumns << (target.isEmpty() ? column.name : target);
            copy.sourceColumns << column.name;
            if (target.isEmpty())
                copy.extra.push_back(column);
        }
        for (const QString& column : needed)
            if (findName(present, column).isEmpty())
                missingColumns << table + QLatin1Char('.') + column;
        copies.push_back(copy);
    }
    if (!missingTables.isEmpty())
        throw StoreError(QStringLiteral("В файле %1 нет таблиц каталога: %2.")
                             .arg(shown, missingTables.join(QStringLiteral(", "))));
    if (!missingColumns.isEmpty())
        throw StoreError(QStringLiteral("В каталоге файла %1 нет столбцов: %2.")
                             .arg(shown, missingColumns.join(QStringLiteral(", "))));
    return copies;
}

QString catalogueSummary(Query& q) {
    q.open(QStringLiteral(
        "select (select count(*) from main.EXPORT_TMC), (select count(*) from src.EXPORT_TMC), "
        "(select count(*) from src.EXPORT_TMC where Ключ not in (select Ключ from "
        "main.EXPORT_TMC)), "
        "(select count(*) from main.EXPORT_TMC where Ключ not in (select Ключ from "
        "src.EXPORT_TMC)), "
        "(select count(*) from main.EXPORT_TMC o join src.EXPORT_TMC n on n.Ключ = o.Ключ "
        "where n.p1 is not o.p1 or n.p2 is not o.p2 or n.p3 is not o.p3 or n.p4 is not o.p4 "
        "or n.p5 is not o.p5)"));
    const QString text =
        QStringLiteral(
            "Товаров в каталоге: было %1, стало %2; новых %3, снятых %4, с другой "
            "ценой %5.\n")
            .arg(q.value(0, 0).toText(), q.value(0, 1).toText(), q.value(0, 2).toText(),
                 q.value(0, 3).toText(), q.value(0, 4).toText());
    q.close();
    return text;
}

// What the new list changes in the working specification and in every project.
QString projectsReport(Query& q) {
    std::vector<std::pair<int, QString>> projects = {{0, QString()}};
    q.open(QStringLiteral("select Ключ, Название from main.project order by Ключ"));
    for (int row = 0; row < q.recordCount(); ++row)
        projects.emplace_back(int(q.value(row, 0).toInt()), q.value(row, 1).toText());
    q.close();
    QString text;
    for (const auto& [key, name] : projects)
        text += QLatin1Char('\n') + repriceReport(repriceTitle(key, name),
                                                  readRepriceLines(q, key, QStringLiteral("src"),
                                                                   QStringLiteral("main")));
    return text;
}

QString replaceTables(Database& db, Query& q, const std::vector<TableCopy>& copies) {
    QString counts;
    for (const TableCopy& copy : copies) {
        const QString target = QStringLiteral("main.") + identifier(copy.table);
        const QString source = QStringLiteral("src.") + identifier(copy.source);
        db.execute(QStringLiteral("drop table if exists ") + target);
        db.execute(createIn(QStringLiteral("main"), copy.table));
        for (const Column& column : copy.extra)
            db.execute(QStringLiteral("alter table %1 add column %2 %3")
                           .arg(target, identifier(column.name), column.type));
        QStringList into;
        QStringList from;
        for (const QString& column : copy.targetColumns)
            into << identifier(column);
        for (const QString& column : copy.sourceColumns)
            from << identifier(column);
        db.execute(QStringLiteral("insert into %1 (%2) select %3 from %4")
                       .arg(target, into.join(QStringLiteral(", ")),
                            from.join(QStringLiteral(", ")), source));
        const QString expected =
            column0(q, QStringLiteral("select count(*) from ") + source).value(0);
        const QString stored =
            column0(q, QStringLiteral("select count(*) from ") + target).value(0);
        if (stored != expected)
            throw StoreError(QStringLiteral("В таблицу %1 легло строк: %2 из %3.")
                                 .arg(copy.table, stored, expected));
        counts += QStringLiteral("  %1: %2\n").arg(copy.table, stored);
    }
    for (const QString& sql : schema::createIndexes())
        // Statistics of the store only: a bare analyze would also write into the source.
        db.execute(sql == QLatin1String("analyze") ? QStringLiteral("analyze main") : sql);
    return counts;
}

}  // namespace

int updateCatalogueCommand(const QStringList& args) {
    const QString usage = usageLine(QStringLiteral("update-catalogue"));
    QStringList positional;
    bool dryRun = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--dry-run"))
            dryRun = true;
        else if (arg.startsWith(QLatin1String("--")))
            return fail(QStringLiteral("Неизвестный параметр %1.\n").arg(arg) + usage, 2);
        else
            positional << arg;
    }
    if (positional.isEmpty() || positional.size() > 2)
        return fail(usage, 2);

    const QString source = QFileInfo(positional.at(0)).absoluteFilePath();
    QString failure;
    // A dry run only reads: it may run beside a window of the program.
    const QString target =
        existingStoreIn(positional.value(1, QStringLiteral(".")), failure, dryRun);
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
        auto db = Database::open(target);
        Query q(*db, QStringLiteral("update"));
        const QStringList storeTables = tablesOf(q, QStringLiteral("main"));
        for (const QString& table : ownTables)
            if (findName(storeTables, table).isEmpty())
                return fail(QStringLiteral("%1 — не база программы: в ней нет таблицы %2.")
                                .arg(target, table));

        db->execute(QStringLiteral("attach database ':memory:' as shape"));
        std::vector<TableCopy> copies;
        try {
            db->execute(
                QStringLiteral("attach database %1 as src").arg(sqlText(readOnlyUri(sourceStore))));
            const QStringList check = column0(q, QStringLiteral("pragma src.quick_check"));
            if (check.value(0) != QLatin1String("ok"))
                throw StoreError(QStringLiteral("Файл %1 повреждён: %2.")
                                     .arg(source, check.join(QStringLiteral("; "))));
            copies = planCopies(*db, q, source);
        } catch (const StoreError& e) {
            throw StoreError(
                QStringLiteral("Файл %1 повреждён или не база: %2").arg(source, e.message()));
        }

        const auto reportOn = [&] {
            return QStringLiteral("Новый каталог: %1\n").arg(source) + catalogueSummary(q) +
                   projectsReport(q);
        };
        QTextStream out(stdout);
        if (dryRun) {
            // Read without a write lock, so a window working on the store is not held up.
            out << reportOn()
                << QStringLiteral("\nПробный прогон: база %1 не изменена.\n").arg(target);
            return 0;
        }
        Database::Transaction transaction(*db);
        const QString report = reportOn();
        const QString counts = replaceTables(*db, q, copies);
        transaction.commit();
        out << report << QStringLiteral("\nТаблицы каталога заменены, строк в них:\n") << counts
            << QStringLiteral("Проекты, их строки и снимки сохранены. База обновлена: %1\n")
                   .arg(target);
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("Каталог не обновлён: %1\n").arg(e.message()) + unchanged);
    }
}
