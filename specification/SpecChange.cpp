#include "specification/SpecChange.h"

#include "specification/SpecColumns.h"

#include <algorithm>
#include <climits>
#include <tuple>
#include <unordered_map>

namespace {

// Where a row stands in the view's order, and which row it is.
struct Place {
    std::int64_t id = 0;
    std::int64_t vid = 0;   // the line's group, or the group's own
    std::int64_t line = 0;  // the line's key; 0 on a group row, which so comes first
    bool named = false;     // the subtype has a name; rows without one come last
};

std::vector<Place> placesOf(const Query& rows) {
    const int id = rows.columnIndex(columnName(SpecColumn::Id));
    const int vid = rows.columnIndex(u"vid");
    const int line = rows.columnIndex(columnName(SpecColumn::Key));
    const int podvid = rows.columnIndex(u"podvid");
    std::vector<Place> places(std::size_t(rows.recordCount()));
    for (int r = 0; r < rows.recordCount(); ++r)
        places[std::size_t(r)] = {rows.value(r, id).toInt(), rows.value(r, vid).toInt(),
                                  rows.value(r, line).toInt(), !rows.isNull(r, podvid)};
    return places;
}

int indexOf(const std::vector<Place>& places, std::int64_t id) {
    const auto it =
        std::find_if(places.begin(), places.end(), [id](const Place& p) { return p.id == id; });
    return it == places.end() ? -1 : int(it - places.begin());
}

}  // namespace

std::optional<std::vector<SpecEdit>> specEdits(const Query& shown, const SpecChange& change) {
    if (!shown.isOpen() || shown.columnCount() != change.rows.columnCount())
        return std::nullopt;
    std::vector<Place> places = placesOf(shown);
    const std::vector<Place> fresh = placesOf(change.rows);
    std::vector<SpecEdit> edits;
    const auto freshRow = [&](std::int64_t id) { return indexOf(fresh, id); };

    // Lines before groups, so a group goes only once its lines have gone.
    for (const bool lines : {true, false})
        for (const std::int64_t id : change.touched) {
            const int row = indexOf(places, id);
            if ((id > 0) == lines && row >= 0 && freshRow(id) < 0) {
                edits.push_back({SpecEdit::Remove, row});
                places.erase(places.begin() + row);
            }
        }
    for (std::size_t from = 0; from < fresh.size(); ++from) {
        const int row = indexOf(places, fresh[from].id);
        if (row >= 0)
            edits.push_back({SpecEdit::Replace, row, int(from)});
    }

    // The order of the rows: the rank of their group's name, unnamed last, then vid and line.
    std::unordered_map<std::int64_t, int> rankOfVid;
    for (std::size_t i = 0; i < change.groupOrder.size(); ++i)
        rankOfVid.emplace(change.groupOrder[i], int(i));
    bool unranked = false;
    const auto orderOf = [&](const Place& p) {
        int rank = INT_MAX;
        if (p.named) {
            const auto it = rankOfVid.find(p.vid);
            if (it == rankOfVid.end())
                unranked = true;
            else
                rank = it->second;
        }
        return std::make_tuple(rank, p.vid, p.line);
    };
    // Groups before lines, so a line finds its group standing.
    for (const bool lines : {false, true})
        for (std::size_t from = 0; from < fresh.size(); ++from) {
            const Place& place = fresh[from];
            if ((place.id > 0) != lines || indexOf(places, place.id) >= 0)
                continue;
            const auto at = std::upper_bound(
                places.begin(), places.end(), place,
                [&](const Place& a, const Place& b) { return orderOf(a) < orderOf(b); });
            if (unranked)
                return std::nullopt;
            edits.push_back({SpecEdit::Insert, int(at - places.begin()), int(from)});
            places.insert(at, place);
        }
    return edits;
}
