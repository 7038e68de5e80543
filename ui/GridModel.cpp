#include "ui/GridModel.h"

#include "store/Query.h"
#include "store/StoreError.h"

#include <QBrush>
#include <QLocale>
#include <algorithm>

GridModel::GridModel(QObject* parent)
    : QAbstractItemModel(parent), m_decimalPoint(QLocale().decimalPoint()) {
    m_nodes.resize(1);
}

void GridModel::setColumns(const QList<GridColumn>& columns) {
    beginResetModel();
    m_columns = columns;
    m_fieldOfColumn.assign(std::size_t(columns.size()), -1);
    endResetModel();
}

void GridModel::setTreeFields(const QString& keyField, const QString& parentField) {
    m_keyField = keyField;
    m_parentField = parentField;
}

void GridModel::reload(const Query* query) {
    beginResetModel();
    m_query = query && query->isOpen() ? query : nullptr;
    m_nodes.assign(1, Node());
    m_nodeOfRecNo.clear();
    m_nodeOfKey.clear();
    m_keyColumn = -1;
    m_fieldOfColumn.assign(std::size_t(m_columns.size()), -1);
    if (m_query) {
        for (int c = 0; c < m_columns.size(); ++c)
            m_fieldOfColumn[std::size_t(c)] = m_query->columnIndex(m_columns[c].field);
        const int rows = m_query->recordCount();
        m_nodes.resize(std::size_t(rows) + 1);
        m_nodeOfRecNo.resize(std::size_t(rows));
        for (int r = 0; r < rows; ++r) {
            m_nodes[std::size_t(r) + 1].recNo = r + 1;
            m_nodeOfRecNo[std::size_t(r)] = r + 1;
        }
        const int keyColumn = m_keyField.isEmpty() ? -1 : m_query->columnIndex(m_keyField);
        const int parentColumn = m_parentField.isEmpty() ? -1 : m_query->columnIndex(m_parentField);
        if (keyColumn >= 0 && parentColumn >= 0) {
            m_keyColumn = keyColumn;
            m_nodeOfKey.reserve(std::size_t(rows));
            for (int r = 0; r < rows; ++r)
                m_nodeOfKey.emplace_back(m_query->value(r, keyColumn).toInt(), r + 1);
            // Of rows with the same key, the first is the one found.
            std::sort(m_nodeOfKey.begin(), m_nodeOfKey.end());
        }
        for (int r = 0; r < rows; ++r) {
            int parentNode = 0;
            if (m_keyColumn >= 0) {
                const int found = nodeOfKey(m_query->value(r, parentColumn).toInt());
                if (found != r + 1)
                    parentNode = found;
            }
            Node& node = m_nodes[std::size_t(r) + 1];
            node.parentNode = parentNode;
            node.rowInParent = int(m_nodes[std::size_t(parentNode)].children.size());
            m_nodes[std::size_t(parentNode)].children.push_back(r + 1);
        }
    }
    endResetModel();
}

std::vector<std::pair<std::int64_t, int>>::const_iterator GridModel::keyAt(std::int64_t key) const {
    return std::lower_bound(m_nodeOfKey.begin(), m_nodeOfKey.end(), std::pair(key, 0),
                            [](const auto& a, const auto& b) { return a.first < b.first; });
}

int GridModel::nodeOfKey(std::int64_t key) const {
    const auto at = keyAt(key);
    return at != m_nodeOfKey.end() && at->first == key ? at->second : 0;
}

QModelIndex GridModel::indexOfNode(int node) const {
    if (node <= 0)
        return {};
    return createIndex(m_nodes[std::size_t(node)].rowInParent, 0, quintptr(node));
}

void GridModel::shiftRecNos(int recNo, int step) {
    for (std::size_t n = 1; n < m_nodes.size(); ++n)
        if (m_nodes[n].recNo >= recNo)
            m_nodes[n].recNo += step;
}

void GridModel::insertRecord(int recNo, std::int64_t parentKey, const std::function<void()>& edit) {
    const int parentNode = m_keyColumn >= 0 ? nodeOfKey(parentKey) : 0;
    std::vector<int>& siblings = m_nodes[std::size_t(parentNode)].children;
    // Children stand in the order of their rows.
    const auto at = std::lower_bound(siblings.begin(), siblings.end(), recNo, [&](int node, int r) {
        return m_nodes[std::size_t(node)].recNo < r;
    });
    const int row = int(at - siblings.begin());
    beginInsertRows(indexOfNode(parentNode), row, row);
    edit();
    shiftRecNos(recNo, 1);
    const int node = int(m_nodes.size());
    Node added;
    added.recNo = recNo;
    added.parentNode = parentNode;
    added.rowInParent = row;
    m_nodes.push_back(added);
    std::vector<int>& children = m_nodes[std::size_t(parentNode)].children;
    children.insert(children.begin() + row, node);
    for (std::size_t i = std::size_t(row) + 1; i < children.size(); ++i)
        m_nodes[std::size_t(children[i])].rowInParent = int(i);
    m_nodeOfRecNo.insert(m_nodeOfRecNo.begin() + (recNo - 1), node);
    if (m_keyColumn >= 0) {
        const std::int64_t key = m_query->value(recNo - 1, m_keyColumn).toInt();
        const auto at = keyAt(key);
        if (at != m_nodeOfKey.end() && at->first == key)
            m_nodeOfKey[std::size_t(at - m_nodeOfKey.begin())].second = node;
        else
            m_nodeOfKey.emplace(at, key, node);
    }
    endInsertRows();
}

void GridModel::removeRecord(int recNo, const std::function<void()>& edit) {
    if (recNo < 1 || recNo > int(m_nodeOfRecNo.size()))
        return;
    const int node = m_nodeOfRecNo[std::size_t(recNo) - 1];
    const int parentNode = m_nodes[std::size_t(node)].parentNode;
    const int row = m_nodes[std::size_t(node)].rowInParent;
    if (m_keyColumn >= 0) {
        const std::int64_t key = m_query->value(recNo - 1, m_keyColumn).toInt();
        if (const auto at = keyAt(key); at != m_nodeOfKey.end() && at->first == key)
            m_nodeOfKey.erase(at);
    }
    beginRemoveRows(indexOfNode(parentNode), row, row);
    edit();
    std::vector<int>& children = m_nodes[std::size_t(parentNode)].children;
    children.erase(children.begin() + row);
    for (std::size_t i = std::size_t(row); i < children.size(); ++i)
        m_nodes[std::size_t(children[i])].rowInParent = int(i);
    m_nodeOfRecNo.erase(m_nodeOfRecNo.begin() + (recNo - 1));
    // The node stays as a free slot until the next reload: indexes name nodes by their slot.
    m_nodes[std::size_t(node)] = Node();
    shiftRecNos(recNo + 1, -1);
    endRemoveRows();
}

void GridModel::recordChanged(int recNo) {
    const QModelIndex first = indexOfRecNo(recNo);
    if (first.isValid())
        emit dataChanged(first, first.siblingAtColumn(columnCount() - 1));
}

int GridModel::recNoOf(const QModelIndex& index) const {
    if (!index.isValid())
        return 0;
    return m_nodes[std::size_t(index.internalId())].recNo;
}

QModelIndex GridModel::indexOfRecNo(int recNo) const {
    if (recNo < 1 || recNo > int(m_nodeOfRecNo.size()))
        return {};
    const int node = m_nodeOfRecNo[std::size_t(recNo) - 1];
    return createIndex(m_nodes[std::size_t(node)].rowInParent, 0, quintptr(node));
}

QModelIndex GridModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    const int parentNode = parent.isValid() ? int(parent.internalId()) : 0;
    return createIndex(row, column, quintptr(m_nodes[std::size_t(parentNode)].children[row]));
}

QModelIndex GridModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const int parentNode = m_nodes[std::size_t(child.internalId())].parentNode;
    if (parentNode <= 0)
        return {};
    return createIndex(m_nodes[std::size_t(parentNode)].rowInParent, 0, quintptr(parentNode));
}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const int node = parent.isValid() ? int(parent.internalId()) : 0;
    return int(m_nodes[std::size_t(node)].children.size());
}

int GridModel::columnCount(const QModelIndex&) const {
    return int(m_columns.size());
}

QString GridModel::cellText(int recNo, int column) const {
    const int field = m_fieldOfColumn[std::size_t(column)];
    if (!m_query || !m_query->isOpen() || field < 0)
        return QString();
    Value v;
    try {
        v = m_query->value(recNo - 1, field);
    } catch (const StoreError&) {
        // A row read as it is shown that could not be read shows nothing rather than a guess;
        // a handler that reads it meets the failure itself.
        return QString();
    }
    if (v.isNull() || v.isBlob())
        return QString();
    if (!v.isNumber())
        return v.toText();
    QString text;
    if (m_columns[column].twoDecimals) {
        // "#.##": nothing for zero, at most two decimals otherwise.
        const std::int64_t raw = v.toFixed().raw();
        if (raw == 0)
            return QString();
        text = Fixed4::fromRaw((raw >= 0 ? raw + 50 : raw - 50) / 100 * 100).toString();
    } else {
        text = v.toText();
    }
    return text.replace(QLatin1Char('.'), m_decimalPoint);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int recNo = m_nodes[std::size_t(index.internalId())].recNo;
    const GridColumn& column = m_columns[index.column()];
    switch (role) {
        case Qt::DisplayRole:
            return cellText(recNo, index.column());
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(column.alignment);
        case Qt::BackgroundRole:
            return column.background.isValid() ? QVariant(QBrush(column.background)) : QVariant();
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}
