#include "app/StartFailure.h"

#include "store/Database.h"

#include <QFileInfo>
#include <QRegularExpression>

QString startFailureText(const QString& path, const QString& failure) {
    if (!isJetFile(path))
        return failure;
    // A line the user can paste into a shell as it stands.
    const auto shell = [](const QString& arg) {
        static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+-]+$"));
        return plain.match(arg).hasMatch()
                   ? arg
                   : QLatin1Char('\'') + QString(arg).replace("'", "'\\''") + QLatin1Char('\'');
    };
    const QString file = QFileInfo(path).absoluteFilePath();
    // The command reads the whole Access file before it moves the new store over it.
    return failure + QStringLiteral(
                         " Преобразуйте его командой\n"
                         "ulmar-tool import-mdb %1 %2 --replace\n"
                         "(файл Access будет заменён; сохраните копию, если она нужна).")
                         .arg(shell(file), shell(QFileInfo(file).absolutePath()));
}
