// ulmar-tool: the program's companion on the command line.
#include "tools/Commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int usage() {
    QTextStream(stderr) << "Использование:\n"
                           "  ulmar-tool demo-db DIR [--replace]\n"
                           "  ulmar-tool export FILE [--project KEY]\n"
                           "  ulmar-tool import-mdb SOURCE DIR [--replace]\n"
                           "  ulmar-tool update-catalogue SOURCE [DIR] [--dry-run]\n"
                           "  ulmar-tool reprice [--project KEY] [DIR]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
    if (command == QLatin1String("update-catalogue"))
        return updateCatalogueCommand(rest);
    if (command == QLatin1String("reprice"))
        return repriceCommand(rest);
    return usage();
}
