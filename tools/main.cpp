// ulmar-tool: the program's companion on the command line.
#include "store/Database.h"
#include "store/StoreChoice.h"
#include "tools/Commands.h"
#include "tools/Usage.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <memory>

namespace {

int usage() {
    QTextStream(stderr) << commandList();
    return 2;
}

bool asksForHelp(const QString& arg) {
    return arg == QLatin1String("--help") || arg == QLatin1String("-h");
}

}  // namespace

int fail(const QString& message, int status) {
    QTextStream(stderr) << message << '\n';
    return status;
}

int main(int argc, char** argv) {
    // Past a file-size limit a write fails with its own error, which a command reports in
    // words, rather than the signal ending the tool without one.
    std::signal(SIGXFSZ, SIG_IGN);
    // The PDF needs fonts, and so a GUI application; on the offscreen platform it needs no
    // display. The other commands stay on the core.
    const bool pdf = argc > 1 && std::strcmp(argv[1], "pdf") == 0;
    if (pdf)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        pdf ? std::make_unique<QGuiApplication>(argc, argv)
            : std::make_unique<QCoreApplication>(argc, argv);
    // The system's own texts (file errors among them) in Russian, as in the window.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);
    const QStringList args = app->arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    QStringList rest = args.mid(1);
    if (asksForHelp(command) || command == QLatin1String("help")) {
        QTextStream(stdout) << commandList();
        return 0;
    }
    if (commandNames().contains(command) && std::any_of(rest.begin(), rest.end(), asksForHelp)) {
        QTextStream(stdout) << commandHelp(command);
        return 0;
    }
    // Every command may be told its store; the rest of the arguments are the command's own.
    QString badStore;
    const int before = int(rest.size());
    if (!takeStoreOption(rest, badStore))
        return fail(badStore, 2);
    // demo-db writes or replaces a store file in a folder; a server's store is filled by
    // copy-store. A store named where none is taken would be a change made somewhere the user
    // did not mean.
    if (command == QLatin1String("demo-db") && rest.size() != before)
        return fail(
            QStringLiteral("Команда demo-db работает только с файлом base.mdb в папке. Для "
                           "базы на сервере обновите файл и перенесите его в новую базу "
                           "командами server-init и copy-store."));
    // An Access catalogue or a new price list goes into the base.mdb of a folder or into a
    // server's store.
    const bool folderOrServer =
        command == QLatin1String("import-mdb") || command == QLatin1String("update-catalogue");
    if (folderOrServer && rest.size() != before && !Database::isServerAddress(chosenStore()))
        return fail(QStringLiteral("Команда %1 работает с файлом base.mdb в папке (укажите "
                                   "папку) или с базой на сервере (--store "
                                   "postgresql://пользователь@сервер/база).")
                        .arg(command),
                    2);
    if (command == QLatin1String("demo-db"))
        return demoDbCommand(rest);
    if (command == QLatin1String("export"))
        return exportCommand(rest);
    if (command == QLatin1String("import-mdb"))
        return importMdbCommand(rest);
    if (command == QLatin1String("pdf"))
        return pdfCommand(rest);
    if (command == QLatin1String("update-catalogue"))
        return updateCatalogueCommand(rest);
    if (command == QLatin1String("reprice"))
        return repriceCommand(rest);
    if (command == QLatin1String("server-init"))
        return serverInitCommand(rest);
    if (command == QLatin1String("copy-store"))
        return copyStoreCommand(rest);
    QTextStream(stderr) << QStringLiteral("Неизвестная команда %1.\n").arg(command);
    return usage();
}
