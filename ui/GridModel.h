#pragma once

#include <QAbstractItemModel>
#include <QColor>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class Query;

// One column of a data grid: which field it shows and how.
struct GridColumn {
    QString field;
    QString title;
    int width = 64;
    bool visible = true;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor background;         // invalid: the view's own
    bool twoDecimals = false;  // "#.##": at most two decimals, no trailing zeros
    bool figure = false;       // a price, quantity or sum: shown whole, never cut
    bool indicator = false;    // the narrow first column that marks the current row
};

// Adapts an open static cursor to Qt's views. With key and parent fields it builds the tree
// once from the flat rows: a row hangs under the row whose key equals its parent value, and
// rows whose parent matches no key are roots. Every node remembers its 1-based row number.
class GridModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    void setTreeFields(const QString& keyField, const QString& parentField);
    // Rebuilds from the query as it stands now (closed reads as empty).
    void reload(const Query* query);

    // A few rows changed among many, in place of a reload, each with the signals a view needs.
    // insertRecord: the query gains a row at recNo, under the row keyed parentKey (a root
    // when no row has that key), when edit() runs between the signals; removeRecord: it loses
    // the row at recNo, which has no rows under it; recordChanged: after its fields changed.
    void insertRecord(int recNo, std::int64_t parentKey, const std::function<void()>& edit);
    void removeRecord(int recNo, const std::function<void()>& edit);
    void recordChanged(int recNo);

    // Row number (1-based) of a node, 0 for an invalid index; and the node of a row number.
    int recNoOf(const QModelIndex& index) const;
    QModelIndex indexOfRecNo(int recNo) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Node {
        int recNo = 0;        // 1-based row of the query; 0 for the invisible root
        int parentNode = -1;  // index into m_nodes; -1 for the root
        int rowInParent = 0;
        std::vector<int> children;
    };
    QString cellText(int recNo, int column) const;
    QModelIndex indexOfNode(int node) const;
    // Row numbers from recNo on move by step.
    void shiftRecNos(int recNo, int step);
    // The first entry of m_nodeOfKey not below key; the node of a key, 0 for none.
    std::vector<std::pair<std::int64_t, int>>::const_iterator keyAt(std::int64_t key) const;
    int nodeOfKey(std::int64_t key) const;

    QList<GridColumn> m_columns;
    QString m_decimalPoint;  // numbers are shown as the user's locale writes them
    QString m_keyField;
    QString m_parentField;
    const Query* m_query = nullptr;
    std::vector<int> m_fieldOfColumn;  // query column of each grid column, -1 when absent
    std::vector<Node> m_nodes;         // m_nodes[0] is the root
    std::vector<int> m_nodeOfRecNo;    // node index by recNo - 1
    int m_keyColumn = -1;              // query column of the tree's key, -1 for a flat grid
    // Every row's key with its node, sorted: a tree of many rows takes no heap node for each.
    std::vector<std::pair<std::int64_t, int>> m_nodeOfKey;
};
