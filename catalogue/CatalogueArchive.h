#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class Database;
class Query;

// The catalogue in use and the lists it replaced. A new price list keeps the catalogue it
// replaces inside the store, in tables of their own, so that the previous list can come back
// in one step; only the last few are kept, so the store does not grow with every list.
namespace catalogueArchive {

// How many replaced lists the store keeps.
constexpr int keptCount = 3;

// The six tables of the maker's catalogue, as the store names them.
const QStringList& catalogueTables();

// Where a price list came from: the file's name and when it was taken into the store
// (yyyy-MM-dd HH:mm). Both empty for a catalogue no update brought.
struct Origin {
    QString source;
    QString taken;
};
struct KeptList {
    int id = 0;
    Origin origin;
    QString replaced;  // when a newer list took its place
};

// Whether the store has the table: the tables of this record are made by the first update, so
// older stores lack them.
bool hasTable(Query& q, const QString& table);
// The list in use.
Origin currentOrigin(Query& q);
// The replaced lists, newest first.
std::vector<KeptList> keptLists(Query& q);
// How an origin reads for the user: "file.mdb от 11.12.2026"; for none, the store's own
// catalogue.
QString originText(const Origin& origin);

// Within the caller's transaction: keeps the catalogue in use as the newest replaced list,
// drops the oldest beyond keptCount, and records the list that now takes its place.
void keepCurrent(Database& db, Query& q, const Origin& next);
// Within the caller's transaction: puts the newest replaced list back in place of the
// catalogue in use, with its origin. Projects are not touched. Throws StoreError when the
// store keeps none.
KeptList restoreNewest(Database& db, Query& q);

// Within the caller's transaction: the catalogue's indexes, its statistics and (on a file) the
// search index made again after its tables were replaced.
void rebuildIndexes(Database& db);

// The time now as an origin records it.
QString now();

}  // namespace catalogueArchive
