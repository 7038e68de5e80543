// ulmar-tool: the program's companion on the command line.
#include "tools/Commands.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

namespace {

int usage() {
    QTextStream(stderr) << "Использование:\n"
                           "  ulmar-tool demo-db DIR [--replace]\n"
                           "  ulmar-tool export FILE [--project KEY]\n"
                           "  ulmar-tool import-mdb SOURCE DIR [--replace]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The system's own texts (file errors among them) in Russian, as in the window.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslations);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("demo-db"))
        return demoDbCommand(rest);
    if (command == QLatin1String("export"))
        return exportCommand(rest);
    if (command == QLatin1String("import-mdb"))
        return importMdbCommand(rest);
    return usage();
}
