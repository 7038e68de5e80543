#pragma once

#include "store/ResultRows.h"
#include "store/RowSource.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Database;

// Catalogue rows read once, shown in any coating: each coating's rows are made from them as a
// grid reads them, field for field what that coating's statement returns, so a coating change
// asks the store nothing. A type's tree and a search's tree, which a large type or a common
// word makes long, hold only their products' keys and subtypes: the rest of a product's row is read
// by key, a block of rows at a time, when a grid first asks for it, in the coating that grid shows.
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

    // The rows as the statement of this coating (1 to 5) returns them. Reading a field of a
    // product held by key may run a statement and throw StoreError.
    std::shared_ptr<const RowSource> inCoating(int coating) const;
    int count() const;

    struct Read;
    explicit CoatingRows(std::shared_ptr<const Read> read) : m_read(std::move(read)) {}

private:
    std::shared_ptr<const Read> m_read;
};

// What the search text finds: the tree as searchTreeSql, the branch elements as
// searchBranchSql and, when accessoriesToo, the accessories as searchAccessoriesSql give them,
// row for row and in their order, in every coating. One pass over the products finds them all
// and reads only their keys; the two lists, usually short, are then read whole by key, the
// tree's products only as they are shown. indexed: the store's search index is ready.
struct SearchRows {
    static SearchRows read(Database& db, const QString& text, bool accessoriesToo, bool indexed);
    // The pass and the subtype names, for measuring them on the engine.
    static QStringList statements(const QString& text, bool accessoriesToo, bool indexed);

    CoatingRows tree;
    CoatingRows branches;
    CoatingRows accessories;
};
