#pragma once

#include "store/Fixed4.h"
#include "ui/GridModel.h"

#include <QWidget>
#include <functional>

class CellDelegate;
class QLabel;
class QTreeView;
class Query;

// A data-aware grid over one of the window's queries: a flat grid, or a tree when key and
// parent fields are set, with an optional footer that sums one field over all rows.
// The query's current row and the grid's current row are kept the same. Only the user's own
// moves are reported through currentRowChanged; moves the program makes are silent.
class DataGrid : public QWidget {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    void setQuery(Query* query) { m_query = query; }
    Query* query() const { return m_query; }
    void setColumns(const QList<GridColumn>& columns);
    // A row indicator column before the columns, and lines between rows and columns, as the
    // project list draws them.
    void setRowIndicatorAndLines();
    void setTreeFields(const QString& keyField, const QString& parentField);
    // The footer sums sumField over all rows and shows it under the column showing underField.
    void setFooter(const QString& sumField, const QString& underField);
    // When the grid is first shown, the figure columns are widened to hold the largest figure
    // whole in the font the grid draws with, and the columns are made to fit beside a vertical
    // scroll bar: the width comes from the column of this text field.
    void takeRoomFrom(const QString& field);
    QLabel* footer() const { return m_footer; }
    Fixed4 footerTotal() const { return m_total; }

    // Rebuilds the rows from the query (after it was opened or closed) and stands on the
    // query's current row, without reporting a move. Throws StoreError when the footer's total
    // leaves the range of an amount (the footer then stays empty).
    void reload();
    // For a few rows changed among many, in place of reload(): edit() changes the query's rows
    // through the model (GridModel::insertRecord, removeRecord, recordChanged). The grid then
    // opens the groups, stands on the query's current row without reporting a move and sums the
    // footer again; throws as reload() does.
    void editRows(const std::function<void()>& edit);
    // Closes the query (the grid goes empty, so a failing statement leaves nothing stale),
    // gives it the statement, opens it and shows its rows.
    void reopen(const QString& sql);
    // Puts the grid on the query's current row, without reporting a move.
    void syncToQuery();

    QTreeView* view() const { return m_view; }
    GridModel* model() const { return m_model; }

signals:
    void currentRowChanged();  // the user moved to another row; the query already stands there
    void doubleClicked();
    void returnPressed();  // Enter on the current row
    void deletePressed();  // Delete on the current row
    void cellClicked();
    void keyReleased();
    void focusEntered();
    void focusLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onCurrentChanged(const QModelIndex& current);
    void updateFooter();
    void placeFooter();
    void makeRoom();

    Query* m_query = nullptr;
    GridModel* m_model;
    QTreeView* m_view;
    CellDelegate* m_delegate;
    QWidget* m_footerStrip = nullptr;
    QLabel* m_footer = nullptr;
    QString m_sumField;
    QString m_footerUnder;
    Fixed4 m_total;
    bool m_programMove = false;
    QString m_roomField;  // gives and takes width at the first showing
};
