#include "store/StoreChoice.h"

#include <QFile>

namespace {

const char* const variable = "ULMAR_STORE";

QString namedStore() {
    const QString fromEnvironment = qEnvironmentVariable(variable).trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    QFile file(QStringLiteral("ulmar.store"));
    if (file.open(QIODevice::ReadOnly))
        return QString::fromUtf8(file.readLine()).trimmed();
    return QString();
}

}  // namespace

QString chosenStore() {
    const QString named = namedStore();
    return named.isEmpty() ? QStringLiteral("base.mdb") : named;
}

bool storeNamed() {
    return !namedStore().isEmpty();
}

bool takeStoreOption(QStringList& args, QString& failure) {
    for (int i = 0; i < args.size(); ++i) {
        QString name;
        if (args[i] == QLatin1String("--store")) {
            if (i + 1 >= args.size() || args[i + 1].startsWith(QLatin1String("--"))) {
                failure = QStringLiteral(
                    "После --store не указана база: файл или адрес сервера "
                    "(postgresql://пользователь@сервер/база).");
                return false;
            }
            name = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(QLatin1String("--store="))) {
            name = args[i].mid(8);
            args.remove(i);
        } else {
            continue;
        }
        if (name.trimmed().isEmpty()) {
            failure = QStringLiteral("После --store не указана база.");
            return false;
        }
        qputenv(variable, name.toUtf8());
        --i;
    }
    return true;
}
