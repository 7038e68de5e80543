#include "specification/PriceListReport.h"

#include "store/Schema.h"

namespace {

PriceChange changeOf(const RepriceLine& line) {
    if (line.listed && line.productChanged)
        return PriceChange::ProductChanged;
    if (!line.listPrice)
        return line.listed ? PriceChange::NotPriced : PriceChange::Gone;
    return PriceChange::PriceChanged;
}

QString reasonOf(PriceChange change, const RepriceLine& line) {
    switch (change) {
        case PriceChange::Gone:
            return QStringLiteral("Нет в каталоге");
        case PriceChange::NotPriced:
            return QStringLiteral("Нет цены в покрытии «%1»")
                .arg(schema::coatingName(line.coating));
        case PriceChange::ProductChanged:
            return QStringLiteral("Товар изменён: ") + productChange(line);
        case PriceChange::PriceChanged:
            break;
    }
    return QStringLiteral("Цена изменилась");
}

}  // namespace

std::vector<PriceReportRow> priceReportRows(const ProjectLines& project) {
    std::vector<PriceReportRow> rows;
    const QString title = repriceTitle(project.key, project.name);
    for (const RepriceLine& line : project.lines) {
        const PriceChange change = changeOf(line);
        if (change == PriceChange::PriceChanged && !priceChanges(line))
            continue;
        PriceReportRow row;
        row.project = project.key;
        row.projectTitle = title;
        row.article = lineArticle(line);
        row.name = line.name;
        row.kol = line.kol;
        row.unit = line.unit;
        row.oldPrice = line.price;
        row.newPrice = change == PriceChange::PriceChanged ? *line.listPrice : line.price;
        row.oldSum = row.oldPrice * row.kol;
        row.newSum = row.newPrice * row.kol;
        row.change = change;
        row.reason = reasonOf(change, line);
        rows.push_back(row);
    }
    return rows;
}

std::vector<PriceReportRow> priceReportRows(const std::vector<ProjectLines>& projects) {
    std::vector<PriceReportRow> rows;
    for (const ProjectLines& project : projects) {
        std::vector<PriceReportRow> some = priceReportRows(project);
        rows.insert(rows.end(), some.begin(), some.end());
    }
    return rows;
}
