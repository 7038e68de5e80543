// ulmar-tool server-init URI and copy-store FROM TO: an office's store on a PostgreSQL server.
#include "projects/WorkingSpecification.h"
#include "store/Database.h"
#include "store/Schema.h"
#include "store/ServerSchema.h"
#include "store/StoreCopy.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"
#include "tools/Commands.h"
#include "tools/ServerCopy.h"
#include "tools/Usage.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

bool hasOption(const QStringList& args) {
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1String("--")))
            return true;
    return false;
}

// A new store file to copy into: made empty with the program's tables, removed again unless
// the copy is committed.
class NewStoreFile {
public:
    explicit NewStoreFile(const QString& path) : m_path(path) {
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly))
            throw StoreError(QStringLiteral("Файл %1 не создаётся: %2")
                                 .arg(QFileInfo(path).absoluteFilePath(), file.errorString()));
    }
    ~NewStoreFile() {
        if (!m_kept)
            QFile::remove(m_path);
    }
    void keep() { m_kept = true; }

private:
    QString m_path;
    bool m_kept = false;
};

}  // namespace

QStringList copyWholeStore(Database& from, Database& to) {
    return copyStore(from, to, {storedProjectKey(from, 0), storedProjectKey(to, 0)});
}

int serverInitCommand(const QStringList& args) {
    QStringList rest = args;
    const qsizetype upgrades = rest.removeAll(QStringLiteral("--upgrade"));
    const bool upgrade = upgrades == 1;
    if (upgrades > 1 || rest.size() != 1 || hasOption(rest))
        return fail(usageLine(QStringLiteral("server-init")), 2);
    if (!Database::isServerAddress(rest[0]))
        return fail(QStringLiteral("%1 — не адрес базы данных на сервере "
                                   "(postgresql://пользователь@сервер/база).")
                        .arg(rest[0]),
                    2);
    try {
        auto db = Database::connect(rest[0]);
        QTextStream out(stdout);
        const bool indexed =
            upgrade ? schema::upgradeServerStore(*db) : schema::initServerStore(*db);
        out << (upgrade ? QStringLiteral("Функции и индексы программы в базе %1 обновлены; "
                                         "таблицы и данные не менялись.\n")
                        : QStringLiteral("База %1 готова: таблицы, функции и индексы "
                                         "программы созданы.\n"))
                   .arg(db->shownName());
        if (!indexed)
            out << QStringLiteral(
                "Поиск по каталогу — без индекса: расширение pg_trgm на сервере "
                "не установлено или этому пользователю его не добавить. Поиск "
                "находит то же, но читает каждый товар; чтобы ускорить его, "
                "добавьте pg_trgm (пакет postgresql-contrib) и запустите "
                "server-init --upgrade.\n");
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("База не подготовлена: %1").arg(e.message()));
    }
}

int copyStoreCommand(const QStringList& args) {
    if (args.size() != 2 || hasOption(args))
        return fail(usageLine(QStringLiteral("copy-store")), 2);
    const QString& from = args[0];
    const QString& to = args[1];
    try {
        auto source = Database::openStore(from);
        requireProgramTables(*source, from);
        // A file that is not there yet is made; a server's database is made by server-init.
        std::unique_ptr<NewStoreFile> made;
        if (!Database::isServerAddress(to) && !QFileInfo::exists(to) && !QFileInfo(to).isSymLink())
            made = std::make_unique<NewStoreFile>(to);
        auto target = Database::openStore(to);
        if (made)
            for (const QString& statement : schema::createTables())
                target->execute(statement);
        requireProgramTables(*target, to);
        const QStringList report = copyWholeStore(*source, *target);
        if (made) {
            for (const QString& statement : schema::createIndexes())
                target->execute(statement);
            made->keep();
        }
        QTextStream out(stdout);
        out << QStringLiteral("Скопировано из %1 в %2 (строк / суммы):\n")
                   .arg(source->shownName(), target->shownName());
        for (const QString& line : report)
            out << QStringLiteral("  ") << line << '\n';
        return 0;
    } catch (const StoreError& e) {
        return fail(QStringLiteral("База не скопирована: %1").arg(e.message()));
    }
}
