#pragma once

#include "store/ResultRows.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Database;

// Catalogue rows read once with the item codes and prices of every coating. Each coating's
// rows are made from them in memory, cell for cell what that coating's statement returns, so a
// coating change asks the store nothing.
class CoatingRows {
public:
    // Tree: the columns of TreeColumn; List: those of ListColumn.
    enum class Shape { Tree, List };

    // The products of a tray type outside the branch subtype, and one group row per subtype
    // they use, in the order of productTreeSql: the groups by name, then the products by key.
    static CoatingRows readTypeTree(Database& db, int typeKey);
    // The statements it runs, for measuring them on the engine.
    static QStringList typeTreeStatements(int typeKey);

    CoatingRows() = default;
    // The group rows, then the products' rows listed in order; a search's three lists share
    // the products read.
    CoatingRows(ResultRows groups, std::shared_ptr<const ResultRows> products,
                std::vector<int> order, Shape shape)
        : m_groups(std::move(groups)),
          m_products(std::move(products)),
          m_order(std::move(order)),
          m_shape(shape) {}

    // The rows as the statement of this coating (1 to 5) returns them.
    ResultRows inCoating(int coating) const;
    int count() const { return m_groups.count + int(m_order.size()); }

private:
    ResultRows m_groups;
    std::shared_ptr<const ResultRows> m_products;
    std::vector<int> m_order;
    Shape m_shape = Shape::List;
};

// What the search text finds, read in one pass over the products: the tree as searchTreeSql,
// the branch elements as searchBranchSql and, when accessoriesToo, the accessories as
// searchAccessoriesSql give them, row for row and in their order. indexed: the store's
// search index is ready.
struct SearchRows {
    static SearchRows read(Database& db, const QString& text, bool accessoriesToo, bool indexed);
    static QStringList statements(const QString& text, bool accessoriesToo, bool indexed);

    CoatingRows tree;
    CoatingRows branches;
    CoatingRows accessories;
};
