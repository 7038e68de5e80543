#pragma once

#include "catalogue/AddSource.h"
#include "catalogue/CoatingRows.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

class Database;

// What the catalogue part of the window is showing: the coating, the mounting method, whether
// a search result stands in the grids, the rows the grids stood on and the grid an add takes
// its row from. Each grid's rows are kept so that a coating change shows the same rows at the
// new coating's codes and prices.
class CatalogueBrowser {
public:
    // As the window starts: galvanised, the first mounting method, the branch elements of the
    // current tray.
    void start();

    int coating() const { return m_coating; }
    void setCoating(int code) { m_coating = code; }
    int mounting() const { return m_mounting; }
    void setMounting(int code) { m_mounting = code; }

    // A search result stands in the grids until a type is chosen.
    bool searching() const { return m_searching; }
    void setSearching(bool on) { m_searching = on; }

    // The tree's row to stand on again after a coating change; -1: the first row.
    int treeRow() const { return m_treeRow; }
    void setTreeRow(int recNo) { m_treeRow = recNo; }
    int accessoryRow() const { return m_accessoryRow; }
    void setAccessoryRow(int recNo) { m_accessoryRow = recNo; }

    // A branch type chosen by hand, rather than the elements that fit the current tray.
    bool manualBranch() const { return m_manualBranch; }
    void setManualBranch(bool on) { m_manualBranch = on; }

    int addSource() const { return m_addSource; }
    void setAddSource(int source) { m_addSource = source; }

    // --- what each grid shows, in the current coating; nothing when it shows nothing yet ---
    // A type's tree and a search's lists are read once for every coating; the branch elements
    // of a tray or type are a statement of the coating.
    using Shown = std::shared_ptr<const RowSource>;
    using Rows = std::variant<Shown, QString>;
    std::optional<Shown> treeRows() const;
    std::optional<Rows> branchRows() const;
    std::optional<Shown> searchedAccessoryRows() const;

    // The products of a tray type. The rows read are taken again while the type stays the
    // same, so a coating change reads nothing; forgetRows() makes the next call read.
    Shown showType(Database& db, int typeKey);
    // What the search text finds among trays and branch elements; accessories too unless the
    // accessory grid keeps the general hardware list. indexed: the store's search index is
    // ready. The same search again takes the rows read the last time.
    void showSearch(Database& db, const QString& text, bool accessoriesToo, bool indexed = false);
    // The next type or search reads the store again.
    void forgetRows();
    // After the catalogue changed: the rows held are read again, for the same type or search.
    void readAgain(Database& db);
    // The branch elements that fit a tray, or of a type chosen by hand.
    QString showBranchesFor(const QString& trayName, int typeKey, std::int64_t height,
                            std::int64_t width);
    QString showBranchType(int typeKey);
    void clearBranches() {
        m_branchFromSearch = false;
        m_branchStatement = nullptr;
    }
    // The accessories of a type for the current mounting method.
    QString accessoriesOf(int typeKey, bool generalHardware) const;

private:
    std::optional<Shown> inCoating(const std::optional<CoatingRows>& rows) const;

    int m_coating = 2;
    int m_mounting = 1;
    bool m_searching = false;
    int m_treeRow = -1;
    int m_accessoryRow = 0;
    bool m_manualBranch = false;
    int m_addSource = NoAddSource;
    struct Search {
        QString text;
        bool accessoriesToo = false;
        bool indexed = false;
        bool operator==(const Search& other) const {
            return text == other.text && accessoriesToo == other.accessoriesToo &&
                   indexed == other.indexed;
        }
    };
    std::optional<CoatingRows> m_treeRows;
    int m_treeType = 0;              // the type m_treeRows were read for; 0: none or a search
    std::optional<Search> m_search;  // the search m_treeRows and m_searchBranches were read for
    std::optional<CoatingRows> m_searchBranches;
    bool m_branchFromSearch = false;  // else the branch grid shows m_branchStatement
    std::function<QString(int coating)> m_branchStatement;
    // Set by a search with accessories only; it stays when a later search leaves them.
    std::optional<CoatingRows> m_accessoryRows;
    Search m_accessorySearch;
};
