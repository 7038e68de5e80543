#include "tools/ProjectArguments.h"

#include "tools/Commands.h"

std::optional<ProjectArguments> readProjectArguments(const QStringList& args, const QString& usage,
                                                     int& status) {
    const QString line = QStringLiteral("Использование: ") + usage;
    ProjectArguments read;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (arg == QLatin1String("--project")) {
            if (++i >= args.size()) {
                status = fail(QStringLiteral("После --project нужен ключ проекта.\n") + line, 2);
                return std::nullopt;
            }
            bool ok = false;
            read.project = args.at(i).toInt(&ok);
            if (!ok) {
                status = fail(
                    QStringLiteral("Ключ проекта должен быть целым числом: %1").arg(args.at(i)), 2);
                return std::nullopt;
            }
            if (read.project < 0) {
                status = fail(
                    QStringLiteral("Ключ проекта не может быть отрицательным: %1").arg(args.at(i)),
                    2);
                return std::nullopt;
            }
        } else if (arg.startsWith(QLatin1String("--")) || !read.other.isEmpty()) {
            status = fail(QStringLiteral("Лишний аргумент: %1\n").arg(arg) + line, 2);
            return std::nullopt;
        } else {
            read.other = arg;
        }
    }
    return read;
}
