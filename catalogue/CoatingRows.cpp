#include "catalogue/CoatingRows.h"

#include "catalogue/CatalogueColumns.h"
#include "catalogue/CatalogueSql.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"
#include "store/Statement.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace {

using namespace catalogue;

using Cell = ResultRows::Cell;

// The columns of a product read whole, in the order of the select below; the codes and
// prices of the coatings read come last.
enum Column {
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

// The columns of the search's pass: what places a product in its list and its tree's group.
enum Found { FoundKey, FoundType, FoundSubtype, FoundParentId };

// Products with the codes and prices of the coatings first to first + count - 1; from: the
// table or join and its condition.
QString coatingsSql(const QString& from, int first, int count) {
    QStringList covers, items, prices;
    for (int n = first; n < first + count; ++n) {
        covers << QStringLiteral("k%1").arg(n);
        items << QStringLiteral("t%1k").arg(n);
        prices << QStringLiteral("p%1").arg(n);
    }
    return QStringLiteral(
               "select Ключ, Название, Ширина, Высота, Номер, ТМЦ, -1*Подвид as parentid, "
               "Ключ as ID, Длина, Подвид, ЕИ, Вид, %1, %2, %3 from %4")
        .arg(covers.join(QLatin1String(", ")), items.join(QLatin1String(", ")),
             prices.join(QLatin1String(", ")), from);
}

// The subtypes that may head the tree, in the engine's order of their names.
QString subtypesSql() {
    return QStringLiteral(
               "select Ключ, Название from EXPORT_PODVID where Ключ <> %1 order by Название, Ключ")
        .arg(sqlInt(schema::branchSubtype));
}

// The keys of a type's products, from the type's index alone.
QString typeKeysSql(int typeKey) {
    return QStringLiteral(
               "select Ключ, Вид, Подвид, -1*Подвид as parentid from EXPORT_TMC "
               "where Подвид <> %1 and Вид = %2")
        .arg(sqlInt(schema::branchSubtype), sqlInt(typeKey));
}

QString searchTypes(bool accessoriesToo) {
    return accessoriesToo ? schema::trayTypes + QLatin1Char(',') + schema::accessoryTypes
                          : schema::trayTypes;
}

QString passSql(const QString& text, bool accessoriesToo, bool indexed) {
    return QStringLiteral("select Ключ, Вид, Подвид, -1*Подвид as parentid from ") +
           searchedProducts(searchTypes(accessoriesToo), text, indexed);
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

// The products of these keys read whole, with the coatings first to first + count - 1, in the
// order of their keys. The keys go in blocks, so no statement grows with the list.
ResultRows readByKey(Database& db, const std::vector<std::int64_t>& keys, int first, int count) {
    constexpr std::size_t keysAStatement = 500;
    ResultRows rows;
    for (std::size_t at = 0; at < keys.size(); at += keysAStatement) {
        QStringList list;
        for (std::size_t k = at; k < std::min(keys.size(), at + keysAStatement); ++k)
            list << sqlInt(keys[k]);
        const ResultRows part =
            fetch(db, coatingsSql(QStringLiteral("EXPORT_TMC where Ключ in (%1) order by Ключ")
                                      .arg(list.join(QLatin1Char(','))),
                                  first, count));
        if (rows.columns.isEmpty())
            rows.columns = part.columns;
        for (const Cell& cell : part.cells)
            copyCell(part, cell, rows);
        rows.count += part.count;
    }
    return rows;
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

// Sorts rows by the columns given, as an index on them orders its entries; the key (in the
// column keyColumn) breaks the last tie, as it does in every index. Rows that come in that
// order already, as the index hands them over, are left as they are.
void sortBy(const ResultRows& rows, std::vector<int>& picked, std::initializer_list<int> columns,
            int keyColumn = Key) {
    const auto before = [&](int a, int b) {
        for (int c : columns)
            if (const int order = compare(rows, cellOf(rows, a, c), cellOf(rows, b, c)))
                return order < 0;
        return compare(rows, cellOf(rows, a, keyColumn), cellOf(rows, b, keyColumn)) < 0;
    };
    if (!std::is_sorted(picked.begin(), picked.end(), before))
        std::sort(picked.begin(), picked.end(), before);
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

enum class Kind { Tree, Branch, Accessory, None };

// Where a found product is listed: its type and subtype decide, as the three statements do.
Kind kindOf(const Cell& type, const Cell& subtype) {
    static const std::set<std::int64_t> trays = keysOf(schema::trayTypes);
    if (type.type != Cell::Integer || !trays.count(type.integer))
        return Kind::Accessory;
    if (isInteger(subtype, schema::branchSubtype))
        return Kind::Branch;
    return subtype.type != Cell::Null ? Kind::Tree : Kind::None;
}

}  // namespace

// What a CoatingRows holds: group rows made in memory, with every coating's columns (zeros);
// the products, read whole with every coating (a list), or only by key (the columns of Found)
// when store is set, their full rows read from it as shown (a tree); and which products are
// listed, in order.
struct CoatingRows::Read {
    ResultRows groups;
    std::shared_ptr<const ResultRows> products;
    std::vector<int> order;
    Shape shape = Shape::List;
    Database* store = nullptr;
};

namespace {

// The tree of the products found (the columns of Found), their rows read from db as they are
// shown: a group row for each subtype the products use, the branch subtype left out, in the
// engine's order of their names, then the products by key. Union and order of treeSql give
// the same, as a group row's key is 0.
CoatingRows treeOf(Database& db, std::shared_ptr<const ResultRows> products,
                   std::vector<int> picked) {
    sortBy(*products, picked, {FoundKey}, FoundKey);
    std::set<std::int64_t> used;
    for (int row : picked)
        if (const Cell& subtype = cellOf(*products, row, FoundSubtype);
            subtype.type == Cell::Integer)
            used.insert(subtype.integer);
    const ResultRows subtypes = fetch(db, subtypesSql());

    auto read = std::make_shared<CoatingRows::Read>();
    ResultRows& groups = read->groups;
    const int columns = Covers + 3 * schema::coatingCount;
    groups.columns = QStringList(columns, QString());
    const Cell zero = integerCell(0);
    for (int s = 0; s < subtypes.count; ++s) {
        const Cell& key = cellOf(subtypes, s, 0);
        if (key.type != Cell::Integer || !used.count(key.integer))
            continue;
        for (int c = 0; c < columns; ++c) {
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
    read->products = std::move(products);
    read->order = std::move(picked);
    read->shape = CoatingRows::Shape::Tree;
    read->store = &db;
    return CoatingRows(std::move(read));
}

// The rows of one coating, made from the rows read as they are asked for.
class CoatingView : public RowSource {
public:
    CoatingView(std::shared_ptr<const CoatingRows::Read> read, int coating)
        : m_read(std::move(read)),
          m_coating(coating),
          m_suffix(QStringLiteral("-%1").arg(coating)),
          m_tree(m_read->shape == CoatingRows::Shape::Tree) {
        for (int c = 0; c < shown(); ++c)
            m_columns << (m_tree ? columnName(treeColumns[c]) : columnName(listColumns[c]));
    }

    const QStringList& columns() const override { return m_columns; }
    int count() const override { return m_read->groups.count + int(m_read->order.size()); }

    Value value(int row, int column) const override {
        const int source = (m_tree ? treeSources : listSources)[column];
        const ResultRows& groups = m_read->groups;
        if (row < groups.count)
            return field(groups, row, source, 1, schema::coatingCount);
        const int at = row - groups.count;
        const int product = m_read->order[std::size_t(at)];
        if (!m_read->store)
            return field(*m_read->products, product, source, 1, schema::coatingCount);
        // What the pass read is at hand; the rest comes with the product's block.
        const ResultRows& found = *m_read->products;
        switch (source) {
            case Key:
            case Id:
                return found.value(cellOf(found, product, FoundKey));
            case Subtype:
                return found.value(cellOf(found, product, FoundSubtype));
            case ParentId:
                return found.value(cellOf(found, product, FoundParentId));
            default:
                break;
        }
        const Block& block = blockOf(at / blockRows);
        const int inBlock = block.rowOf[std::size_t(at % blockRows)];
        if (inBlock < 0)
            return Value();  // no longer in the catalogue
        return field(block.rows, inBlock, source, m_coating, 1);
    }

    bool isNull(int row, int column) const override { return value(row, column).isNull(); }

private:
    static constexpr int blockRows = 128;
    // Blocks kept: the rows of a few screens either way; the others are read again.
    static constexpr std::size_t blocksKept = 64;

    struct Block {
        ResultRows rows;
        std::vector<int> rowOf;  // the row in rows of each product of the block; -1: none
    };

    static constexpr TreeColumn treeColumns[] = {
        TreeColumn::Key,     TreeColumn::Name,     TreeColumn::Width,     TreeColumn::Height,
        TreeColumn::Article, TreeColumn::BaseCode, TreeColumn::CoverCode, TreeColumn::ItemCode,
        TreeColumn::Price,   TreeColumn::ParentId, TreeColumn::Id,        TreeColumn::Length,
        TreeColumn::Subtype, TreeColumn::Unit};
    static constexpr ListColumn listColumns[] = {
        ListColumn::Article,   ListColumn::Key,      ListColumn::Name,    ListColumn::BaseCode,
        ListColumn::CoverCode, ListColumn::ItemCode, ListColumn::Price,   ListColumn::ParentId,
        ListColumn::Id,        ListColumn::Length,   ListColumn::Subtype, ListColumn::Unit};
    // Where each shown column comes from; Covers, Items and Prices stand for the coating's own.
    static constexpr int treeSources[] = {Key,      Name,   Width,   Height, Article,
                                          BaseCode, Covers, Items,   Prices, ParentId,
                                          Id,       Length, Subtype, Unit};
    static constexpr int listSources[] = {Article, Key,      Name, BaseCode, Covers,  Items,
                                          Prices,  ParentId, Id,   Length,   Subtype, Unit};

    int shown() const { return m_tree ? int(std::size(treeSources)) : int(std::size(listSources)); }

    // A shown field of a row read whole with the coatings first to first + coatings - 1.
    Value field(const ResultRows& read, int r, int source, int first, int coatings) const {
        if (source == Covers || source == Items || source == Prices) {
            const int block = source - Covers;
            const Cell& cell = cellOf(read, r, Covers + block * coatings + m_coating - first);
            if (source == Covers && cell.type == Cell::Null)
                return Value(std::int64_t(0));  // coalesce(kN, 0)
            return read.value(cell);
        }
        const Cell& cell = cellOf(read, r, source);
        // Номер||'-'||'N' on a product; null stays null.
        if (source == Article && cell.type != Cell::Null &&
            cellOf(read, r, Type).type != Cell::Null)
            return Value(read.value(cell).toText() + m_suffix);
        return read.value(cell);
    }

    const Block& blockOf(int index) const {
        if (const auto it = m_blocks.find(index); it != m_blocks.end())
            return it->second;
        const ResultRows& found = *m_read->products;
        const std::size_t first = std::size_t(index) * blockRows;
        const std::size_t end = std::min(m_read->order.size(), first + blockRows);
        std::vector<std::int64_t> keys;
        for (std::size_t at = first; at < end; ++at)
            keys.push_back(found.value(cellOf(found, m_read->order[at], FoundKey)).toInt());
        Block block;
        block.rows = readByKey(*m_read->store, keys, m_coating, 1);
        // Both in the order of the keys: each product finds its row, or none if it is gone.
        int next = 0;
        for (std::int64_t key : keys) {
            while (next < block.rows.count && cellOf(block.rows, next, Key).type == Cell::Integer &&
                   cellOf(block.rows, next, Key).integer < key)
                ++next;
            const bool there = next < block.rows.count &&
                               cellOf(block.rows, next, Key).type == Cell::Integer &&
                               cellOf(block.rows, next, Key).integer == key;
            block.rowOf.push_back(there ? next : -1);
        }
        if (m_blocks.size() >= blocksKept)
            m_blocks.clear();
        return m_blocks.emplace(index, std::move(block)).first->second;
    }

    std::shared_ptr<const CoatingRows::Read> m_read;
    int m_coating;
    QString m_suffix;
    bool m_tree;
    QStringList m_columns;
    mutable std::unordered_map<int, Block> m_blocks;
};

}  // namespace

std::shared_ptr<const RowSource> CoatingRows::inCoating(int coating) const {
    static const auto nothing = std::make_shared<const CoatingRows::Read>();
    return std::make_shared<CoatingView>(m_read ? m_read : nothing, coating);
}

int CoatingRows::count() const {
    return m_read ? m_read->groups.count + int(m_read->order.size()) : 0;
}

CoatingRows CoatingRows::readTypeTree(Database& db, int typeKey) {
    // A type holds up to a tenth of the catalogue: its tree, like a search's, holds the keys.
    auto found = std::make_shared<const ResultRows>(fetch(db, typeKeysSql(typeKey)));
    std::vector<int> all(std::size_t(found->count));
    for (int r = 0; r < found->count; ++r)
        all[std::size_t(r)] = r;
    return treeOf(db, std::move(found), std::move(all));
}

SearchRows SearchRows::read(Database& db, const QString& text, bool accessoriesToo, bool indexed) {
    auto found =
        std::make_shared<const ResultRows>(fetch(db, passSql(text, accessoriesToo, indexed)));
    std::vector<int> tree;
    std::vector<std::int64_t> listed;  // the keys of the branch elements and accessories
    for (int r = 0; r < found->count; ++r) {
        const Kind kind = kindOf(cellOf(*found, r, FoundType), cellOf(*found, r, FoundSubtype));
        if (kind == Kind::Tree)
            tree.push_back(r);
        else if (kind != Kind::None)
            listed.push_back(found->value(cellOf(*found, r, FoundKey)).toInt());
    }

    // The lists read whole, each in the order in which its scan reads it from its index.
    auto lists = std::make_shared<const ResultRows>(readByKey(db, listed, 1, schema::coatingCount));
    std::vector<int> branches, accessories;
    for (int r = 0; r < lists->count; ++r) {
        const Kind kind = kindOf(cellOf(*lists, r, Type), cellOf(*lists, r, Subtype));
        if (kind == Kind::Branch)
            branches.push_back(r);
        else if (kind == Kind::Accessory)
            accessories.push_back(r);
    }
    sortBy(*lists, branches, {Type, Height, Width, Article, Name});
    sortBy(*lists, accessories, {Type, Subtype, Article, Name});
    const auto list = [&](std::vector<int> order) {
        auto read = std::make_shared<CoatingRows::Read>();
        read->products = lists;
        read->order = std::move(order);
        return CoatingRows(std::move(read));
    };

    SearchRows rows;
    rows.tree = treeOf(db, found, std::move(tree));
    rows.branches = list(std::move(branches));
    if (accessoriesToo)
        rows.accessories = list(std::move(accessories));
    return rows;
}

QStringList CoatingRows::typeTreeStatements(int typeKey) {
    return {typeKeysSql(typeKey), subtypesSql()};
}

QStringList SearchRows::statements(const QString& text, bool accessoriesToo, bool indexed) {
    return {passSql(text, accessoriesToo, indexed), subtypesSql()};
}
