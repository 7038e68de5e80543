#include "specification/Reprice.h"

#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"

namespace {

QString arrow(Fixed4 from, Fixed4 to) {
    return from.toString() + QStringLiteral(" → ") + to.toString();
}

// The article as the spreadsheet prints it: the product's number, a hyphen and the coating code.
QString articleOf(const RepriceLine& line) {
    if (line.article.isEmpty())
        return QStringLiteral("товар с ключом %1").arg(line.product);
    return line.article + QLatin1Char('-') + QString::number(line.coating);
}

// The product as the line has it and as the list has it; item codes only when they differ,
// since the article alone may be the same.
QString productChange(const RepriceLine& line) {
    const bool codes = line.itemCode != line.listItemCode;
    const auto side = [&](const QString& article, std::int64_t code, const QString& unit) {
        QString text = article.isEmpty()
                           ? QStringLiteral("товар с ключом %1").arg(line.product)
                           : article + QLatin1Char('-') + QString::number(line.coating);
        if (codes)
            text += QStringLiteral(", код %1").arg(code);
        return text + QStringLiteral(" (%1)").arg(unit);
    };
    return side(line.article, line.itemCode, line.unit) + QStringLiteral(" → ") +
           side(line.listArticle, line.listItemCode, line.listUnit);
}

// The text a store holds for a unit or an article, without the blanks an import may leave.
bool differs(const QString& old, const QString& now) {
    return !old.trimmed().isEmpty() && !now.trimmed().isEmpty() && old.trimmed() != now.trimmed();
}

}  // namespace

QString repriceLinesSql(int project, const QString& listSchema, const QString& oldSchema) {
    // The list's price in the line's coating: case line.Pokr when 1 then listItem.p1 … end.
    QString listPrice = QStringLiteral("case line.Pokr");
    for (int code = 1; code <= schema::coatingCount; ++code)
        listPrice += QStringLiteral(" when %1 then listItem.p%1").arg(sqlInt(code));
    listPrice += QStringLiteral(" end");
    // The list's item code of the product in the line's coating, to compare with the line's.
    QString listCode = QStringLiteral("case line.Pokr");
    for (int code = 1; code <= schema::coatingCount; ++code)
        listCode += QStringLiteral(" when %1 then listItem.t%1k").arg(sqlInt(code));
    listCode += QStringLiteral(" end");
    return QStringLiteral(
               "select line.Ключ, line.TMC, line.Pokr, line.kol, line.izm, line.price, "
               "coalesce(oldItem.Номер, listItem.Номер), "
               "coalesce(oldItem.Название, listItem.Название), listItem.Ключ is not null, %1, "
               "line.TMC2, listItem.Номер, listItem.ЕИ, %2 "
               "from main.buy line "
               "left join %3.EXPORT_TMC oldItem on oldItem.Ключ = line.TMC "
               "left join %4.EXPORT_TMC listItem on listItem.Ключ = line.TMC "
               "where line.project = %5 order by line.Ключ")
        .arg(listPrice, listCode, oldSchema, listSchema, sqlInt(project));
}

std::vector<RepriceLine> readRepriceLines(Query& q, int project, const QString& listSchema,
                                          const QString& oldSchema) {
    q.open(repriceLinesSql(project, listSchema, oldSchema));
    std::vector<RepriceLine> lines;
    lines.reserve(std::size_t(q.recordCount()));
    for (int row = 0; row < q.recordCount(); ++row) {
        RepriceLine line;
        line.key = q.value(row, 0).toInt();
        line.product = q.value(row, 1).toInt();
        line.coating = int(q.value(row, 2).toInt());
        line.kol = q.value(row, 3).toFixed();
        line.unit = q.value(row, 4).toText();
        line.price = q.value(row, 5).toFixed();
        line.article = q.value(row, 6).toText();
        line.name = q.value(row, 7).toText();
        line.listed = q.value(row, 8).toInt() != 0;
        // A missing or zero price is no price: a line priced at 0 would read as a group row.
        const Fixed4 listPrice = q.value(row, 9).toFixed();
        if (listPrice > Fixed4())
            line.listPrice = listPrice;
        line.itemCode = q.value(row, 10).toInt();
        line.listArticle = q.value(row, 11).toText();
        line.listUnit = q.value(row, 12).toText();
        line.listItemCode = q.value(row, 13).toInt();
        // A line without an item code (0 for a group row, none in old stores) is told by its
        // unit and article only.
        line.productChanged =
            line.listed &&
            (differs(line.unit, line.listUnit) || differs(line.article, line.listArticle) ||
             (line.itemCode != 0 && line.listItemCode != 0 && line.itemCode != line.listItemCode));
        lines.push_back(line);
    }
    q.close();
    return lines;
}

bool priceChanges(const RepriceLine& line) {
    return line.listPrice && !line.productChanged && *line.listPrice != line.price;
}

RepriceTotals repriceTotals(const std::vector<RepriceLine>& lines) {
    RepriceTotals totals;
    for (const RepriceLine& line : lines) {
        ++totals.lines;
        if (!line.listPrice)
            ++totals.kept;
        else if (line.productChanged)
            ++totals.productChanged;
        else if (priceChanges(line))
            ++totals.changed;
        totals.before += line.price * line.kol;
        totals.after += (priceChanges(line) ? *line.listPrice : line.price) * line.kol;
    }
    return totals;
}

QString repriceLineSql(std::int64_t line, Fixed4 price) {
    return QStringLiteral("update buy set price = %1 where Ключ = %2")
        .arg(sqlFixed(price), sqlInt(line));
}

QStringList repriceSql(const std::vector<RepriceLine>& lines) {
    QStringList statements;
    for (const RepriceLine& line : lines)
        if (priceChanges(line))
            statements << repriceLineSql(line.key, *line.listPrice);
    return statements;
}

QString repriceTitle(int project, const QString& name) {
    if (project == 0)
        return QStringLiteral("Рабочая спецификация");
    return QStringLiteral("Проект «%1» (ключ %2)").arg(name).arg(project);
}

QString repriceReport(const QString& title, const std::vector<RepriceLine>& lines) {
    QString text = title + QLatin1Char('\n');
    if (lines.empty())
        return text + QStringLiteral("  Строк нет.\n");
    QString kept;
    QString productChanged;
    QString changed;
    for (const RepriceLine& line : lines) {
        if (line.listed && line.productChanged) {
            productChanged += QStringLiteral("    Товар изменён: %1  %2 %3\n")
                                  .arg(productChange(line), line.kol.toString(), line.unit);
        } else if (!line.listPrice) {
            QStringList parts = {articleOf(line), line.name,
                                 (line.kol.toString() + QLatin1Char(' ') + line.unit).trimmed()};
            parts.removeAll(QString());
            kept += QStringLiteral("    ") + parts.join(QStringLiteral("  "));
            if (line.listed)
                kept += QStringLiteral(" (нет цены в покрытии «%1»)")
                            .arg(schema::coatingName(line.coating));
            kept += QLatin1Char('\n');
        } else if (priceChanges(line)) {
            changed += QStringLiteral("    %1  цена %2  сумма %3\n")
                           .arg(articleOf(line), arrow(line.price, *line.listPrice),
                                arrow(line.price * line.kol, *line.listPrice * line.kol));
        }
    }
    if (!kept.isEmpty())
        text += QStringLiteral("  Нет в каталоге, цена оставлена прежней:\n") + kept;
    if (!productChanged.isEmpty())
        text += QStringLiteral("  Товар изменён, цена оставлена прежней:\n") + productChanged;
    if (!changed.isEmpty())
        text += QStringLiteral("  Меняется цена:\n") + changed;
    if (kept.isEmpty() && productChanged.isEmpty() && changed.isEmpty())
        text += QStringLiteral("  Цены совпадают с каталогом.\n");
    const RepriceTotals totals = repriceTotals(lines);
    return text + QStringLiteral("  Итого: %1\n").arg(arrow(totals.before, totals.after));
}

QString repriceQuestion(const RepriceTotals& totals, const QString& decimalPoint) {
    const auto shown = [&](Fixed4 value) {
        return value.toString().replace(QLatin1Char('.'), decimalPoint);
    };
    QString text =
        QStringLiteral("Обновить цены по каталогу?\nИзменится строк: %1.\nСумма: %2 → %3.")
            .arg(totals.changed)
            .arg(shown(totals.before), shown(totals.after));
    if (totals.kept > 0)
        text += QStringLiteral("\nСтрок без цены в каталоге (их цены останутся прежними): %1.")
                    .arg(totals.kept);
    if (totals.productChanged > 0)
        text += productChangedNote(totals);
    return text;
}

QString productChangedNote(const RepriceTotals& totals) {
    return QStringLiteral(
               "\nСтрок, где в каталоге теперь другой товар или другая единица "
               "(их цены останутся прежними): %1.")
        .arg(totals.productChanged);
}
