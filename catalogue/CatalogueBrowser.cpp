#include "catalogue/CatalogueBrowser.h"

#include "catalogue/CatalogueSql.h"

void CatalogueBrowser::start() {
    m_manualBranch = false;
    m_coating = 2;
    m_mounting = 1;
}

std::optional<QString> CatalogueBrowser::rowsOf(const CoatingRows& rows) const {
    if (!rows)
        return std::nullopt;
    return rows(m_coating);
}

QString CatalogueBrowser::showType(int typeKey) {
    m_treeRows = [typeKey](int coating) { return catalogue::productTreeSql(coating, typeKey); };
    return m_treeRows(m_coating);
}

void CatalogueBrowser::showSearch(const QString& text, bool accessoriesToo, bool indexed) {
    m_treeRows = [text, indexed](int coating) {
        return catalogue::searchTreeSql(coating, text, indexed);
    };
    m_branchRows = [text, indexed](int coating) {
        return catalogue::searchBranchSql(coating, text, indexed);
    };
    if (accessoriesToo)
        m_accessoryRows = [text, indexed](int coating) {
            return catalogue::searchAccessoriesSql(coating, text, indexed);
        };
}

QString CatalogueBrowser::showBranchesFor(const QString& trayName, int typeKey, std::int64_t height,
                                          std::int64_t width) {
    m_branchRows = [trayName, typeKey, height, width](int coating) {
        return catalogue::branchAutoSql(coating, trayName, typeKey, height, width);
    };
    return m_branchRows(m_coating);
}

QString CatalogueBrowser::showBranchType(int typeKey) {
    m_branchRows = [typeKey](int coating) { return catalogue::branchManualSql(coating, typeKey); };
    return m_branchRows(m_coating);
}

QString CatalogueBrowser::accessoriesOf(int typeKey, bool generalHardware) const {
    return catalogue::accessoriesSql(m_coating, typeKey, m_mounting, generalHardware);
}
