#include "tools/FormArguments.h"

#include "tools/Commands.h"
#include "tools/Usage.h"

std::optional<FormArguments> takeFormArguments(QStringList& args, bool paperAllowed,
                                               const QString& command, int& status) {
    FormArguments read;
    bool paperGiven = false;
    auto mistake = [&](const QString& text) {
        status = fail(text + QLatin1Char('\n') + usageLine(command), 2);
        return std::nullopt;
    };
    for (qsizetype i = 0; i < args.size();) {
        const QString option = args.at(i);
        const bool form = option == QLatin1String("--form");
        const bool paper = paperAllowed && option == QLatin1String("--paper");
        if (!form && !paper) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size())
            return form ? mistake(QStringLiteral("После --form нужна форма: price или gost."))
                        : mistake(QStringLiteral("После --paper нужен формат: A3 или A4."));
        const QString value = args.at(i + 1);
        if (form && value == QLatin1String("gost"))
            read.gost = true;
        else if (form && value == QLatin1String("price"))
            read.gost = false;
        else if (paper && value.compare(QLatin1String("A3"), Qt::CaseInsensitive) == 0)
            read.paper = GostPaper::A3;
        else if (paper && value.compare(QLatin1String("A4"), Qt::CaseInsensitive) == 0)
            read.paper = GostPaper::A4;
        else if (form)
            return mistake(
                QStringLiteral("Неизвестная форма: %1 (нужна price или gost).").arg(value));
        else
            return mistake(
                QStringLiteral("Неизвестный формат бумаги: %1 (нужен A3 или A4).").arg(value));
        paperGiven = paperGiven || paper;
        args.remove(i, 2);
    }
    if (paperGiven && !read.gost)
        return mistake(
            QStringLiteral("--paper задаётся только для --form gost: прайс печатается на A4."));
    return read;
}
