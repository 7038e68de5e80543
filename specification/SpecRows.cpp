#include "specification/SpecRows.h"

#include "store/StoreError.h"

#include <unordered_map>
#include <vector>

namespace {

using Cell = ResultRows::Cell;

// The columns of a line row, as lineRowsSql selects them.
enum LineColumn : std::size_t {
    Key,
    Product,
    Coating,
    Kol,
    ItemCode,
    Price,
    ParentId,
    Id,
    Name,
    Sum,
    CoatingName,
    LineSum,
    Article,
    Unit,
    Kolm,
    SubtypeName,
    Vid,
    ColumnCount
};

// The columns of specGroupOrderSql.
enum GroupColumn : std::size_t { GroupVid, GroupLine, GroupName, GroupColumnCount };

Cell integer(std::int64_t value) {
    Cell cell;
    cell.type = Cell::Integer;
    cell.integer = value;
    return cell;
}

Cell emptyText() {
    Cell cell;
    cell.type = Cell::Text;
    cell.slice = {0, 0};
    return cell;
}

// The lines of one vid, next to each other in the rows read.
struct Run {
    std::size_t first = 0;
    std::size_t count = 0;
    bool placed = false;
};

// A vid as a key: a line without one has a run of its own.
constexpr std::int64_t noVid = INT64_MIN;

std::int64_t vidOf(const Cell& cell) {
    return cell.type == Cell::Integer ? cell.integer : noVid;
}

}  // namespace

ResultRows specViewRows(ResultRows lines, const ResultRows& groups, amountCells::Engine engine,
                        const std::unordered_set<std::int64_t>* onlyLines) {
    if (lines.columns.size() != ColumnCount || groups.columns.size() != GroupColumnCount)
        throw StoreError(QStringLiteral("Строки спецификации прочитаны не в тех столбцах."));
    const auto line = [&](std::size_t row) { return &lines.cells[row * ColumnCount]; };

    std::vector<Run> runs;
    std::unordered_map<std::int64_t, std::size_t> runOfVid;
    for (std::size_t row = 0; row < std::size_t(lines.count); ++row) {
        const std::int64_t vid = vidOf(line(row)[Vid]);
        if (runs.empty() || vidOf(line(runs.back().first)[Vid]) != vid) {
            runOfVid[vid] = runs.size();
            runs.push_back({row, 0});
        }
        ++runs.back().count;
    }

    ResultRows rows;
    rows.columns = lines.columns;
    rows.buffer = std::move(lines.buffer);
    rows.cells.reserve(lines.cells.size() + groups.cells.size() / GroupColumnCount * ColumnCount);

    // A group's row, then its lines, each of which shows the group's name.
    const auto place = [&](Run& run, const Cell* group) {
        run.placed = true;
        Cell name;
        if (group) {
            name = group[GroupName];
            if (name.type == Cell::Text || name.type == Cell::Blob) {
                const auto offset = std::uint32_t(rows.buffer.size());
                rows.buffer.append(groups.buffer, name.slice.offset, name.slice.length);
                name.slice.offset = offset;
            }
            amountCells::Sum kol(engine), sum(engine), kolm(engine);
            for (std::size_t row = run.first; row < run.first + run.count; ++row) {
                kol.add(line(row)[Kol], rows.buffer);
                sum.add(line(row)[Sum], rows.buffer);
                kolm.add(line(row)[Kolm], rows.buffer);
            }
            const Cell zero = integer(0), zeroAmount = amountCells::zero(engine);
            const Cell vid = group[GroupVid];
            const Cell cells[ColumnCount] = {zero,
                                             zero,
                                             zero,
                                             kol.cell(rows.buffer),
                                             zero,
                                             zeroAmount,
                                             zero,
                                             vid,
                                             name,
                                             sum.cell(rows.buffer),
                                             emptyText(),
                                             zeroAmount,
                                             emptyText(),
                                             emptyText(),
                                             kolm.cell(rows.buffer),
                                             name,
                                             vid};
            rows.cells.insert(rows.cells.end(), std::begin(cells), std::end(cells));
            ++rows.count;
        }
        for (std::size_t row = run.first; row < run.first + run.count; ++row) {
            const Cell* cells = line(row);
            if (onlyLines && !onlyLines->count(cells[Key].integer))
                continue;
            const auto at = rows.cells.size();
            rows.cells.insert(rows.cells.end(), cells, cells + ColumnCount);
            rows.cells[at + LineSum] = cells[Sum];
            rows.cells[at + SubtypeName] = name;
            ++rows.count;
        }
    };

    std::unordered_map<std::int64_t, const Cell*> unnamed;
    for (std::size_t g = 0; g < std::size_t(groups.count); ++g) {
        const Cell* group = &groups.cells[g * GroupColumnCount];
        const auto run = runOfVid.find(vidOf(group[GroupVid]));
        if (run == runOfVid.end())
            continue;
        if (group[GroupName].type == Cell::Null)
            unnamed.emplace(run->first, group);
        else
            place(runs[run->second], group);
    }
    // Rows without a name sort last, by vid: the order the lines were read in.
    for (Run& run : runs) {
        if (run.placed)
            continue;
        const auto group = unnamed.find(vidOf(line(run.first)[Vid]));
        place(run, group == unnamed.end() ? nullptr : group->second);
    }
    return rows;
}
