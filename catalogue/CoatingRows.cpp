#include "catalogue/CoatingRows.h"

#include "catalogue/CatalogueColumns.h"
#include "catalogue/CatalogueSql.h"
#include "store/Schema.h"
#include "store/SearchIndex.h"
#include "store/SqlLiteral.h"
#include "store/Statement.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <set>
#include <vector>

namespace {

using namespace catalogue;

using Cell = ResultRows::Cell;

// The columns read, in the order of the select below; the codes and prices of the coatings
// read come last.
enum Read {
    Key,
    Name,
    Width,
    Height,
    Article,  // without the coating code
    BaseCode,
    ParentId,  // the subtype negated
    Id,
    Length,
    Subtype,
    Unit,
    Type,    // null on a group row
    Covers,  // k<N> of each coating read, then t<N>k of each, then p<N> of each
    Items,   // (in the lists of shown columns below only)
    Prices,
};

// Products with the codes and prices of the coatings first to first + count - 1.
QString coatingsSql(const QString& condition, int first, int count) {
    QStringList covers, items, prices;
    for (int n = first; n < first + count; ++n) {
        covers << QStringLiteral("k%1").arg(n);
        items << QStringLiteral("t%1k").arg(n);
        prices << QStringLiteral("p%1").arg(n);
    }
    return QStringLiteral(
               "select Ключ, Название, Ширина, Высота, Номер, ТМЦ, -1*Подвид as parentid, "
               "Ключ as ID, Длина, Подвид, ЕИ, Вид, %1, %2, %3 from EXPORT_TMC where %4")
        .arg(covers.join(QLatin1String(", ")), items.join(QLatin1String(", ")),
             prices.join(QLatin1String(", ")), condition);
}

// The subtypes that may head the tree, in the engine's order of their names.
QString subtypesSql() {
    return QStringLiteral(
               "select Ключ, Название from EXPORT_PODVID where Ключ <> %1 order by Название, Ключ")
        .arg(sqlInt(schema::branchSubtype));
}

QString typeProductsSql(int typeKey) {
    return coatingsSql(QStringLiteral("Подвид <> %1 and Вид = %2")
                           .arg(sqlInt(schema::branchSubtype), sqlInt(typeKey)),
                       1, schema::coatingCount);
}

QString searchTypes(bool accessoriesToo) {
    return accessoriesToo ? schema::trayTypes + QLatin1Char(',') + schema::accessoryTypes
                          : schema::trayTypes;
}

ResultRows fetch(Database& db, const QString& sql) {
    ResultRows rows;
    Statement(db, sql).fetchAll(rows);
    return rows;
}

const Cell& cellOf(const ResultRows& rows, int row, int column) {
    return rows.cells[std::size_t(row) * std::size_t(rows.columns.size()) + std::size_t(column)];
}

void copyCell(const ResultRows& from, const Cell& cell, ResultRows& to) {
    if (cell.type == Cell::Text || cell.type == Cell::Blob)
        to.addSlice(cell.type, from.buffer.data() + cell.slice.offset, cell.slice.length);
    else
        to.cells.push_back(cell);
}

Cell integerCell(std::int64_t value) {
    Cell cell;
    cell.type = Cell::Integer;
    cell.integer = value;
    return cell;
}

// The engine's order of two values in an index: null, numbers, texts by their bytes, blobs.
int rank(const Cell& cell) {
    switch (cell.type) {
        case Cell::Null:
            return 0;
        case Cell::Text:
            return 2;
        case Cell::Blob:
            return 3;
        default:
            return 1;
    }
}

double number(const Cell& cell) {
    if (cell.type == Cell::Integer)
        return double(cell.integer);
    if (cell.type == Cell::Decimal)
        return double(cell.integer) / double(Fixed4::Scale);
    return cell.real;
}

int compare(const ResultRows& rows, const Cell& a, const Cell& b) {
    if (rank(a) != rank(b))
        return rank(a) < rank(b) ? -1 : 1;
    switch (rank(a)) {
        case 0:
            return 0;
        case 1:
            if (a.type == Cell::Integer && b.type == Cell::Integer)
                return a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
            return number(a) < number(b) ? -1 : number(a) > number(b) ? 1 : 0;
        default: {
            const int common = std::memcmp(rows.buffer.data() + a.slice.offset,
                                           rows.buffer.data() + b.slice.offset,
                                           std::min(a.slice.length, b.slice.length));
            if (common != 0)
                return common;
            return a.slice.length < b.slice.length ? -1 : a.slice.length > b.slice.length ? 1 : 0;
        }
    }
}

// Sorts rows by the columns given, as an index on them orders its entries; the key breaks
// the last tie, as it does in every index.
void sortBy(const ResultRows& rows, std::vector<int>& picked, std::initializer_list<int> columns) {
    std::sort(picked.begin(), picked.end(), [&](int a, int b) {
        for (int c : columns)
            if (const int order = compare(rows, cellOf(rows, a, c), cellOf(rows, b, c)))
                return order < 0;
        return compare(rows, cellOf(rows, a, Key), cellOf(rows, b, Key)) < 0;
    });
}

bool isInteger(const Cell& cell, std::int64_t value) {
    return (cell.type == Cell::Integer && cell.integer == value) ||
           (cell.type == Cell::Real && cell.real == double(value));
}

std::set<std::int64_t> keysOf(const QString& list) {
    std::set<std::int64_t> keys;
    for (const QString& key : list.split(QLatin1Char(',')))
        keys.insert(key.trimmed().toLongLong());
    return keys;
}

// The tree's rows: a group row for each subtype the products use, the branch subtype left
// out, in the engine's order of their names, then the products by key. Union and order of
// treeSql give the same, as a group row's key is 0.
CoatingRows treeOf(Database& db, std::shared_ptr<const ResultRows> products,
                   std::vector<int> picked, int firstCoating, int coatings) {
    sortBy(*products, picked, {Key});
    std::set<std::int64_t> used;
    for (int row : picked)
        if (const Cell& subtype = cellOf(*products, row, Subtype); subtype.type == Cell::Integer)
            used.insert(subtype.integer);
    const ResultRows subtypes = fetch(db, subtypesSql());

    ResultRows groups;
    groups.columns = products->columns;
    const Cell zero = integerCell(0);
    for (int s = 0; s < subtypes.count; ++s) {
        const Cell& key = cellOf(subtypes, s, 0);
        if (key.type != Cell::Integer || !used.count(key.integer))
            continue;
        for (int c = 0; c < int(products->columns.size()); ++c) {
            if (c == Name)
                copyCell(subtypes, cellOf(subtypes, s, 1), groups);
            else if (c == Article)
                groups.addSlice(Cell::Text, "", 0);
            else if (c == Unit)
                groups.addSlice(Cell::Text, "-", 1);
            else if (c == Id)
                groups.cells.push_back(integerCell(-key.integer));
            else if (c == Subtype)
                groups.cells.push_back(key);
            else if (c == Type)
                groups.cells.push_back(Cell());
            else
                groups.cells.push_back(zero);
        }
        ++groups.count;
    }
    return CoatingRows(std::move(groups), std::move(products), std::move(picked),
                       CoatingRows::Shape::Tree, firstCoating, coatings);
}

}  // namespace

ResultRows CoatingRows::inCoating(int coating) const {
    static const TreeColumn treeColumns[] = {
        TreeColumn::Key,     TreeColumn::Name,     TreeColumn::Width,     TreeColumn::Height,
        TreeColumn::Article, TreeColumn::BaseCode, TreeColumn::CoverCode, TreeColumn::ItemCode,
        TreeColumn::Price,   TreeColumn::ParentId, TreeColumn::Id,        TreeColumn::Length,
        TreeColumn::Subtype, TreeColumn::Unit};
    static const ListColumn listColumns[] = {
        ListColumn::Article,   ListColumn::Key,      ListColumn::Name,    ListColumn::BaseCode,
        ListColumn::CoverCode, ListColumn::ItemCode, ListColumn::Price,   ListColumn::ParentId,
        ListColumn::Id,        ListColumn::Length,   ListColumn::Subtype, ListColumn::Unit};
    // Where each shown column comes from; Covers, Items and Prices stand for the coating's own.
    static const int treeSources[] = {Key,   Name,   Width,    Height, Article, BaseCode, Covers,
                                      Items, Prices, ParentId, Id,     Length,  Subtype,  Unit};
    static const int listSources[] = {Article, Key,      Name, BaseCode, Covers,  Items,
                                      Prices,  ParentId, Id,   Length,   Subtype, Unit};

    ResultRows rows;
    const bool tree = m_shape == Shape::Tree;
    const int* sources = tree ? treeSources : listSources;
    const int shown = tree ? int(std::size(treeSources)) : int(std::size(listSources));
    for (int c = 0; c < shown; ++c)
        rows.columns << (tree ? columnName(treeColumns[c]) : columnName(listColumns[c]));
    const QByteArray suffix = QByteArrayLiteral("-") + QByteArray::number(coating);
    rows.cells.reserve(std::size_t(count()) * std::size_t(shown));
    auto add = [&](const ResultRows& read, int r) {
        const bool product = cellOf(read, r, Type).type != Cell::Null;
        for (int c = 0; c < shown; ++c) {
            const int source = sources[c];
            if (source == Covers || source == Items || source == Prices) {
                const int block = source - Covers;
                const Cell& cell =
                    cellOf(read, r, Covers + block * m_coatings + coating - m_firstCoating);
                // coalesce(kN, 0)
                if (source == Covers && cell.type == Cell::Null)
                    rows.cells.push_back(integerCell(0));
                else
                    copyCell(read, cell, rows);
                continue;
            }
            const Cell& cell = cellOf(read, r, source);
            if (source == Article && product && cell.type != Cell::Null) {
                // Номер||'-'||'N'; null stays null.
                Cell article;
                article.type = Cell::Text;
                article.slice.offset = std::uint32_t(rows.buffer.size());
                article.slice.length = cell.slice.length + std::uint32_t(suffix.size());
                rows.buffer.append(read.buffer, cell.slice.offset, cell.slice.length);
                rows.buffer.append(suffix.constData(), std::size_t(suffix.size()));
                rows.cells.push_back(article);
            } else {
                copyCell(read, cell, rows);
            }
        }
    };
    for (int r = 0; r < m_groups.count; ++r)
        add(m_groups, r);
    for (int r : m_order)
        add(*m_products, r);
    rows.count = count();
    return rows;
}

CoatingRows CoatingRows::readTypeTree(Database& db, int typeKey) {
    auto products = std::make_shared<const ResultRows>(fetch(db, typeProductsSql(typeKey)));
    std::vector<int> all(std::size_t(products->count));
    for (int r = 0; r < products->count; ++r)
        all[std::size_t(r)] = r;
    return treeOf(db, std::move(products), std::move(all), 1, schema::coatingCount);
}

SearchRows SearchRows::read(Database& db, const QString& text, bool accessoriesToo, bool indexed,
                            int coating) {
    auto read = std::make_shared<ResultRows>();
    // A common word finds a large share of the catalogue: room for every row the index names,
    // made at once, spares the copies of a growing list, which would double the memory held.
    // Room never written to takes no memory.
    if (const QString named = indexed ? searchIndex::narrowing(text) : QString(); !named.isEmpty())
        if (const ResultRows count = fetch(db, QStringLiteral("select count(*) from ") + named);
            count.count == 1 && count.cells[0].type == Cell::Integer)
            read->cells.reserve(std::size_t(count.cells[0].integer) * std::size_t(Covers + 3));
    Statement(db, statements(text, accessoriesToo, indexed, coating).front()).fetchAll(*read);
    const std::shared_ptr<const ResultRows> shared = std::move(read);
    const ResultRows& found = *shared;
    static const std::set<std::int64_t> trays = keysOf(schema::trayTypes);
    std::vector<int> tree, branches, accessories;
    for (int r = 0; r < found.count; ++r) {
        const Cell& type = cellOf(found, r, Type);
        const Cell& subtype = cellOf(found, r, Subtype);
        if (type.type != Cell::Integer || !trays.count(type.integer))
            accessories.push_back(r);
        else if (isInteger(subtype, schema::branchSubtype))
            branches.push_back(r);
        else if (subtype.type != Cell::Null)
            tree.push_back(r);
    }
    // The lists in the order in which the scans read them from their indexes.
    sortBy(found, branches, {Type, Height, Width, Article, Name});
    sortBy(found, accessories, {Type, Subtype, Article, Name});
    SearchRows rows;
    rows.tree = treeOf(db, shared, std::move(tree), coating, 1);
    rows.branches =
        CoatingRows({}, shared, std::move(branches), CoatingRows::Shape::List, coating, 1);
    if (accessoriesToo)
        rows.accessories =
            CoatingRows({}, shared, std::move(accessories), CoatingRows::Shape::List, coating, 1);
    return rows;
}

QStringList CoatingRows::typeTreeStatements(int typeKey) {
    return {typeProductsSql(typeKey), subtypesSql()};
}

QStringList SearchRows::statements(const QString& text, bool accessoriesToo, bool indexed,
                                   int coating) {
    return {coatingsSql(searchCondition(searchTypes(accessoriesToo), text, indexed), coating, 1),
            subtypesSql()};
}
