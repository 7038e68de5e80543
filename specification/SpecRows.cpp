#include "specification/SpecRows.h"

#include "store/StoreError.h"

#include <optional>
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

// The columns of specGroupAmountsSql.
enum AmountColumn : std::size_t { AmountVid, AmountKol, AmountSum, AmountKolm, AmountColumnCount };

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

// The rows of one vid, next to each other in the rows read.
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

// Rows ordered by vid, split into the runs of each vid.
struct Runs {
    Runs(const ResultRows& rows, std::size_t vidColumn) {
        const std::size_t columns = std::size_t(rows.columns.size());
        std::int64_t last = 0;
        for (std::size_t row = 0; row < std::size_t(rows.count); ++row) {
            const std::int64_t vid = vidOf(rows.cells[row * columns + vidColumn]);
            if (runs.empty() || vid != last) {
                ofVid[vid] = runs.size();
                runs.push_back({row, 0});
                last = vid;
            }
            ++runs.back().count;
        }
    }
    Run* find(std::int64_t vid) {
        const auto it = ofVid.find(vid);
        return it == ofVid.end() ? nullptr : &runs[it->second];
    }

    std::vector<Run> runs;
    std::unordered_map<std::int64_t, std::size_t> ofVid;
};

}  // namespace

ResultRows specViewRows(ResultRows lines, const ResultRows& groups, amountCells::Engine engine,
                        const ResultRows* amounts) {
    if (lines.columns.size() != ColumnCount || groups.columns.size() != GroupColumnCount ||
        (amounts && amounts->columns.size() != AmountColumnCount))
        throw StoreError(QStringLiteral("Строки спецификации прочитаны не в тех столбцах."));
    const auto line = [&](std::size_t row) { return &lines.cells[row * ColumnCount]; };
    Runs lineRuns(lines, Vid);
    // The amounts summed: the lines' own, or those read aside.
    struct Layout {
        std::size_t columns, vid, kol, sum, kolm;
    };
    const Layout layout =
        amounts ? Layout{AmountColumnCount, AmountVid, AmountKol, AmountSum, AmountKolm}
                : Layout{ColumnCount, Vid, Kol, Sum, Kolm};
    std::optional<Runs> amountRuns;
    if (amounts)
        amountRuns.emplace(*amounts, layout.vid);
    Runs& sumRuns = amounts ? *amountRuns : lineRuns;

    ResultRows rows;
    rows.columns = lines.columns;
    rows.buffer = std::move(lines.buffer);
    rows.cells.reserve(lines.cells.size() + groups.cells.size() / GroupColumnCount * ColumnCount);
    const std::string& amountBuffer = amounts ? amounts->buffer : rows.buffer;
    const Cell* const amountCellsRead = amounts ? amounts->cells.data() : lines.cells.data();

    // A group's row with the sums of its amounts, then its lines, each of which shows the group's
    // name.
    const auto place = [&](std::int64_t vidKey, const Cell* group) {
        Cell name;
        Run* const sums = sumRuns.find(vidKey);
        Run* const run = lineRuns.find(vidKey);
        const bool linesDue = run && !run->placed;
        if (group && sums) {
            name = group[GroupName];
            if (name.type == Cell::Text || name.type == Cell::Blob) {
                const auto offset = std::uint32_t(rows.buffer.size());
                rows.buffer.append(groups.buffer, name.slice.offset, name.slice.length);
                name.slice.offset = offset;
            }
            amountCells::Sum kol(engine), sum(engine), kolm(engine);
            for (std::size_t row = sums->first; row < sums->first + sums->count; ++row) {
                const Cell* amount = amountCellsRead + row * layout.columns;
                kol.add(amount[layout.kol], amountBuffer);
                sum.add(amount[layout.sum], amountBuffer);
                kolm.add(amount[layout.kolm], amountBuffer);
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
        if (sums)
            sums->placed = true;
        if (!linesDue)
            return;
        run->placed = true;
        for (std::size_t row = run->first; row < run->first + run->count; ++row) {
            const Cell* cells = line(row);
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
        const std::int64_t vid = vidOf(group[GroupVid]);
        if (!sumRuns.find(vid))
            continue;
        if (group[GroupName].type == Cell::Null)
            unnamed.emplace(vid, group);
        else
            place(vid, group);
    }
    // Rows without a name sort last, by vid: the order the rows were read in.
    const auto placeRest = [&](const Runs& runs, const Cell* read, std::size_t columns,
                               std::size_t vidColumn) {
        for (const Run& run : runs.runs) {
            if (run.placed)
                continue;
            const std::int64_t vid = vidOf(read[run.first * columns + vidColumn]);
            const auto group = unnamed.find(vid);
            place(vid, group == unnamed.end() ? nullptr : group->second);
        }
    };
    placeRest(sumRuns, amountCellsRead, layout.columns, layout.vid);
    placeRest(lineRuns, lines.cells.data(), ColumnCount, Vid);
    return rows;
}
