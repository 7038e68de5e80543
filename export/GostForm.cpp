#include "export/GostForm.h"

#include "export/PrintContent.h"
#include "store/Query.h"
#include "store/Schema.h"

#include <QStringList>
#include <cstdint>

QString gostColumnTitle(int column) {
    static const QStringList titles = {
        QStringLiteral("Поз."),
        QStringLiteral("Наименование и техническая характеристика"),
        QStringLiteral("Тип, марка, обозначение документа, опросного листа"),
        QStringLiteral("Код продукции"),
        QStringLiteral("Поставщик"),
        QStringLiteral("Единица измерения"),
        QStringLiteral("Кол."),
        QStringLiteral("Масса 1 ед., кг"),
        QStringLiteral("Примечание"),
    };
    return titles.value(column);
}

QString gostSupplier() {
    return QStringLiteral("УЛМАР");
}

QString gostUnit(const QString& stored) {
    const QString unit = stored.trimmed();
    if (unit == schema::runningMetre || unit == QStringLiteral("м"))
        return QStringLiteral("м");
    if (unit == QStringLiteral("шт"))
        return QStringLiteral("шт.");
    return unit;
}

QString coatingInWords(int code) {
    static const QStringList words = {
        QStringLiteral("грунт"),
        QStringLiteral("цинк"),
        QStringLiteral("полимер"),
        QStringLiteral("горячий цинк"),
        QStringLiteral("термодиффузионный цинк"),
    };
    return code >= 1 && code <= words.size() ? words.at(code - 1) : QString();
}

GostDocument loadGostDocument(Query& scratch, int project) {
    GostDocument doc;
    doc.properties = loadProjectProperties(scratch, project);
    scratch.open(printLinesSql(project));
    const PrintLineColumns column(scratch);
    std::int64_t sectionVid = 0;
    for (int line = 0; line < scratch.recordCount(); ++line) {
        // Lines of an unknown subtype share one section, whatever their vid.
        const Value subtype = scratch.value(line, column.subtype);
        const std::int64_t vid =
            subtype.isNull() ? INT64_MIN : scratch.value(line, column.vid).toInt();
        if (line == 0 || vid != sectionVid) {
            GostRow heading;
            heading.section = true;
            heading.cells[GostName] = subtype.isNull() ? printUnknownSubtype() : subtype.toText();
            doc.rows.push_back(heading);
        }
        sectionVid = vid;

        GostRow row;
        const int coating = int(scratch.value(line, column.coating).toInt());
        const QString name = scratch.value(line, column.name).toText();
        const QString coatingWords = coatingInWords(coating);
        row.cells[GostPosition] = QString::number(++doc.lineCount);
        row.cells[GostName] = name.isEmpty() || coatingWords.isEmpty()
                                  ? name
                                  : name + QStringLiteral(", покрытие: ") + coatingWords;
        row.cells[GostType] = scratch.value(line, column.article).toText() + QLatin1Char('-') +
                              QString::number(coating);
        row.cells[GostCode] = scratch.value(line, column.code).toText();
        row.cells[GostSupplier] = gostSupplier();
        const QString stored = scratch.value(line, column.unit).toText();
        row.cells[GostUnit] = gostUnit(stored);
        row.quantity = scratch.value(line, column.quantity).toFixed();
        row.cells[GostQuantity] = russianQuantity(*row.quantity);
        if (stored.trimmed() == schema::runningMetre)
            row.cells[GostNote] =
                QStringLiteral("по проекту %1 м")
                    .arg(russianQuantity(scratch.value(line, column.designed).toFixed()));
        doc.rows.push_back(row);
    }
    scratch.close();
    return doc;
}
