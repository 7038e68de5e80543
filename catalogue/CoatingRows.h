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
    // the products read; they hold the codes and prices of coatings firstCoating to
    // firstCoating + coatings - 1.
    CoatingRows(ResultRows groups, std::shared_ptr<const ResultRows> products,
                std::vector<int> order, Shape shape, int firstCoating, int coatings)
        : m_groups(std::move(groups)),
          m_products(std::move(products)),
          m_order(std::move(order)),
          m_shape(shape),
          m_firstCoating(firstCoating),
          m_coatings(coatings) {}

    // Whether the rows of this coating can be made from what was read.
    bool has(int coating) const {
        return coating >= m_firstCoating && coating < m_firstCoating + m_coatings;
    }
    // The rows as the statement of this coating (1 to 5, one it has) returns them.
    ResultRows inCoating(int coating) const;
    int count() const { return m_groups.count + int(m_order.size()); }

private:
    ResultRows m_groups;
    std::shared_ptr<const ResultRows> m_products;
    std::vector<int> m_order;
    Shape m_shape = Shape::List;
    int m_firstCoating = 1;
    int m_coatings = 5;
};

// What the search text finds in one coating, read in one pass over the products: the tree as
// searchTreeSql, the branch elements as searchBranchSql and, when accessoriesToo, the
// accessories as searchAccessoriesSql give them, row for row and in their order. A common word
// finds much of the catalogue, so only that coating's codes and prices are read. indexed: the
// store's search index is ready.
struct SearchRows {
    static SearchRows read(Database& db, const QString& text, bool accessoriesToo, bool indexed,
                           int coating);
    static QStringList statements(const QString& text, bool accessoriesToo, bool indexed,
                                  int coating);

    CoatingRows tree;
    CoatingRows branches;
    CoatingRows accessories;
};
