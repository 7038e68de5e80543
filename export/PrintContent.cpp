#include "export/PrintContent.h"

#include "export/ResultColumn.h"
#include "projects/ProjectRequote.h"
#include "specification/SpecSql.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"

#include <QStringList>
#include <cstdint>

namespace {

// Digits of the whole part in groups of three, a decimal comma, then the decimals kept.
QString russianNumber(Fixed4 value, int minDecimals) {
    const std::int64_t raw = value.raw();
    const std::uint64_t magnitude = raw < 0 ? std::uint64_t(-(raw + 1)) + 1 : std::uint64_t(raw);
    QString whole = QString::number(magnitude / Fixed4::Scale);
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, QChar(0x00A0));
    QString decimals = QStringLiteral("%1").arg(magnitude % Fixed4::Scale, 4, 10, QLatin1Char('0'));
    while (decimals.size() > minDecimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    QString text = raw < 0 ? QStringLiteral("-") + whole : whole;
    if (!decimals.isEmpty())
        text += QLatin1Char(',') + decimals;
    return text;
}

}  // namespace

QString printTitle() {
    return QStringLiteral("СПЕЦИФИКАЦИЯ ИЗДЕЛИЙ КАБЕЛЕНЕСУЩИХ СИСТЕМ \"УЛМАР\"");
}

QString printNotice() {
    return QStringLiteral(
        "Внимание! Указаны розничные цены для проектирования! Точную сумму уточняйте в отделах "
        "продаж");
}

QString printTotalLabel() {
    return QStringLiteral("Итого с НДС:");
}

QString printUnknownSubtype() {
    return QStringLiteral("Подвид не найден в каталоге");
}

QString printColumnTitle(int column) {
    static const QStringList titles = {
        QStringLiteral("№п/п"),
        QStringLiteral("Артикул"),
        QStringLiteral("Наименование"),
        QStringLiteral("Покрытие"),
        QStringLiteral("Кол-во"),
        QStringLiteral("Ед. изм."),
        QStringLiteral("Цена с НДС, руб."),
        QStringLiteral("Сумма с НДС, руб."),
    };
    return titles.value(column);
}

QString printLinesSql(int project) {
    return QStringLiteral(
               "select buy.Ключ, Pokr, kol, kolm, price, izm, vid, TMC2, "
               "(select Номер from EXPORT_TMC where Ключ = buy.TMC) as Номер, "
               "(select Название from EXPORT_TMC where Ключ = buy.TMC) as Tname, "
               "%3 as podvid "
               "from buy where project = %1 %2")
        .arg(sqlInt(project),
             specOrderSql(QStringLiteral("podvid"), QStringLiteral("vid"),
                          QStringLiteral("buy.Ключ")),
             subtypeNameSql(QStringLiteral("buy.vid")));
}

PrintLineColumns::PrintLineColumns(Query& rows)
    : subtype(resultColumn(rows, u"podvid")),
      vid(resultColumn(rows, u"vid")),
      coating(resultColumn(rows, u"Pokr")),
      article(resultColumn(rows, u"Номер")),
      name(resultColumn(rows, u"Tname")),
      code(resultColumn(rows, u"TMC2")),
      quantity(resultColumn(rows, u"kol")),
      designed(resultColumn(rows, u"kolm")),
      unit(resultColumn(rows, u"izm")),
      price(resultColumn(rows, u"price")) {}

PrintDocument loadPrintDocument(Query& scratch, int project, const QDate& date) {
    PrintDocument doc;
    doc.date = date;
    scratch.open(specCaptionSql(project));
    doc.projectLine = scratch.recordCount() > 0
                          ? QStringLiteral("Проект: ") + scratch.field(u"Название").toText()
                          : QStringLiteral("Рабочая спецификация");
    scratch.close();
    const catalogueArchive::Origin origin = projectPriceOrigin(scratch, project);
    if (!origin.source.isEmpty())
        doc.priceSource = QStringLiteral("Цены: ") + catalogueArchive::originText(origin);

    scratch.open(printLinesSql(project));
    const PrintLineColumns column(scratch);
    constexpr std::int64_t unknownSubtype = INT64_MIN;
    std::int64_t groupVid = 0;
    for (int row = 0; row < scratch.recordCount(); ++row) {
        // Lines of an unknown subtype share one nameless group, whatever their vid.
        const Value subtype = scratch.value(row, column.subtype);
        const bool known = !subtype.isNull();
        const std::int64_t vid = known ? scratch.value(row, column.vid).toInt() : unknownSubtype;
        if (doc.groups.empty() || vid != groupVid) {
            doc.groups.push_back(
                PrintGroup{known ? subtype.toText() : printUnknownSubtype(), Fixed4(), {}});
            groupVid = vid;
        }
        PrintLine line;
        line.number = ++doc.lineCount;
        const int coating = int(scratch.value(row, column.coating).toInt());
        line.article = scratch.value(row, column.article).toText() + QLatin1Char('-') +
                       QString::number(coating);
        line.name = scratch.value(row, column.name).toText();
        line.coating = schema::coatingName(coating);
        line.quantity = scratch.value(row, column.quantity).toFixed();
        line.unit = scratch.value(row, column.unit).toText();
        line.price = scratch.value(row, column.price).toFixed();
        line.sum = line.price * line.quantity;
        PrintGroup& group = doc.groups.back();
        group.sum += line.sum;
        doc.total += line.sum;
        group.lines.push_back(line);
    }
    return doc;
}

QString russianQuantity(Fixed4 value) {
    return russianNumber(value, 0);
}

QString russianMoney(Fixed4 value) {
    return russianNumber(value, 2);
}
