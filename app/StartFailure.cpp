#include "app/StartFailure.h"

#include "store/Database.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// A path as the user pastes it into a shell.
QString shell(const QString& arg) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
    return plain.match(arg).hasMatch()
               ? arg
               : QLatin1Char('\'') + QString(arg).replace("'", "'\\''") + QLatin1Char('\'');
}

}  // namespace

QString startFailureText(const QString& path, const QString& failure, bool notACatalogue) {
    const QString file = QFileInfo(path).absoluteFilePath();
    const QString folder = shell(QFileInfo(file).absolutePath());
    if (isJetFile(path)) {
        // The command reads the whole Access file before it moves the new store over it.
        return failure + QStringLiteral(
                             " Преобразуйте его командой\n"
                             "ulmar-tool import-mdb %1 %2 --replace\n"
                             "(файл Access будет заменён; сохраните копию, если она нужна).")
                             .arg(shell(file), folder);
    }
    if (!notACatalogue)
        return failure;
    return failure + QStringLiteral(
                         "\nБазу с демонстрационным каталогом создаёт команда\n"
                         "ulmar-tool demo-db %1\n"
                         "а каталог, поставленный файлом Access (.mdb), преобразует команда\n"
                         "ulmar-tool import-mdb ФАЙЛ.mdb %1")
                         .arg(folder);
}
