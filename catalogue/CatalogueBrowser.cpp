#include "catalogue/CatalogueBrowser.h"

#include "catalogue/CatalogueSql.h"

void CatalogueBrowser::start() {
    m_manualBranch = false;
    m_coating = 2;
    m_mounting = 1;
}

std::optional<CatalogueBrowser::Shown> CatalogueBrowser::inCoating(
    const std::optional<CoatingRows>& rows) const {
    if (!rows)
        return std::nullopt;
    return rows->inCoating(m_coating);
}

std::optional<CatalogueBrowser::Shown> CatalogueBrowser::treeRows() const {
    return inCoating(m_treeRows);
}

std::optional<CatalogueBrowser::Shown> CatalogueBrowser::searchedAccessoryRows() const {
    return inCoating(m_accessoryRows);
}

std::optional<CatalogueBrowser::Rows> CatalogueBrowser::branchRows() const {
    if (m_branchFromSearch && m_searchBranches)
        return Rows(m_searchBranches->inCoating(m_coating));
    if (!m_branchFromSearch && m_branchStatement)
        return Rows(m_branchStatement(m_coating));
    return std::nullopt;
}

CatalogueBrowser::Shown CatalogueBrowser::showType(Database& db, int typeKey) {
    if (!m_treeRows || m_treeType != typeKey) {
        forgetRows();  // nothing stale stays behind a failed read
        m_treeRows = CoatingRows::readTypeTree(db, typeKey);
        m_treeType = typeKey;
    }
    return m_treeRows->inCoating(m_coating);
}

void CatalogueBrowser::showSearch(Database& db, const QString& text, bool accessoriesToo,
                                  bool indexed) {
    const Search search{text, accessoriesToo, indexed};
    if (!m_search || !(*m_search == search) || !m_treeRows) {
        forgetRows();
        if (accessoriesToo)
            m_accessoryRows.reset();  // replaced, so its rows go before the new ones come
        SearchRows found = SearchRows::read(db, text, accessoriesToo, indexed);
        m_treeRows = std::move(found.tree);
        m_searchBranches = std::move(found.branches);
        if (accessoriesToo) {
            m_accessoryRows = std::move(found.accessories);
            m_accessorySearch = search;
        }
        m_search = search;
    }
    m_branchFromSearch = true;
}

void CatalogueBrowser::forgetRows() {
    m_treeRows.reset();
    m_treeType = 0;
    m_search.reset();
    m_searchBranches.reset();
}

void CatalogueBrowser::readAgain(Database& db) {
    const std::optional<Search> search = m_search;
    const int type = m_treeType;
    const bool accessories = m_accessoryRows.has_value();
    forgetRows();
    m_accessoryRows.reset();
    if (search) {
        SearchRows found =
            SearchRows::read(db, search->text, search->accessoriesToo, search->indexed);
        m_treeRows = std::move(found.tree);
        m_searchBranches = std::move(found.branches);
        m_search = search;
        if (accessories && search->accessoriesToo && m_accessorySearch == *search) {
            m_accessoryRows = std::move(found.accessories);
            return;
        }
    } else if (type != 0) {
        m_treeRows = CoatingRows::readTypeTree(db, type);
        m_treeType = type;
    }
    if (accessories)
        m_accessoryRows =
            SearchRows::read(db, m_accessorySearch.text, true, m_accessorySearch.indexed)
                .accessories;
}

QString CatalogueBrowser::showBranchesFor(const QString& trayName, int typeKey, std::int64_t height,
                                          std::int64_t width) {
    m_branchFromSearch = false;
    m_branchStatement = [trayName, typeKey, height, width](int coating) {
        return catalogue::branchAutoSql(coating, trayName, typeKey, height, width);
    };
    return m_branchStatement(m_coating);
}

QString CatalogueBrowser::showBranchType(int typeKey) {
    m_branchFromSearch = false;
    m_branchStatement = [typeKey](int coating) {
        return catalogue::branchManualSql(coating, typeKey);
    };
    return m_branchStatement(m_coating);
}

QString CatalogueBrowser::accessoriesOf(int typeKey, bool generalHardware) const {
    return catalogue::accessoriesSql(m_coating, typeKey, m_mounting, generalHardware);
}
