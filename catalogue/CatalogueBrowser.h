#pragma once

#include "catalogue/AddSource.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// What the catalogue part of the window is showing: the coating, the mounting method, whether
// a search result stands in the grids, the rows the grids stood on and the grid an add takes
// its row from. Each grid's rows are kept as a statement of the coating, so a coating change
// shows the same rows at the new coating's codes and prices.
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
    std::optional<QString> treeRows() const { return rowsOf(m_treeRows); }
    std::optional<QString> branchRows() const { return rowsOf(m_branchRows); }
    std::optional<QString> searchedAccessoryRows() const { return rowsOf(m_accessoryRows); }

    // The products of a tray type.
    QString showType(int typeKey);
    // What the search text finds among trays and branch elements; accessories too unless the
    // accessory grid keeps the general hardware list. indexed: the store's search index is
    // ready, so the statements look through it.
    void showSearch(const QString& text, bool accessoriesToo, bool indexed = false);
    // The branch elements that fit a tray, or of a type chosen by hand.
    QString showBranchesFor(const QString& trayName, int typeKey, std::int64_t height,
                            std::int64_t width);
    QString showBranchType(int typeKey);
    void clearBranches() { m_branchRows = nullptr; }
    // The accessories of a type for the current mounting method.
    QString accessoriesOf(int typeKey, bool generalHardware) const;

private:
    using CoatingRows = std::function<QString(int coating)>;
    std::optional<QString> rowsOf(const CoatingRows& rows) const;

    int m_coating = 2;
    int m_mounting = 1;
    bool m_searching = false;
    int m_treeRow = -1;
    int m_accessoryRow = 0;
    bool m_manualBranch = false;
    int m_addSource = NoAddSource;
    CoatingRows m_treeRows;
    CoatingRows m_branchRows;
    CoatingRows m_accessoryRows;  // set by the search only
};
