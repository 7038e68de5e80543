// Placeholder; the command is filled in by its own work.
#include "tools/Commands.h"

#include <QTextStream>

int demoDbCommand(const QStringList&) {
    QTextStream(stderr) << "Команда ещё не готова.\n";
    return 1;
}
