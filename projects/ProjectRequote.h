#pragma once

#include "catalogue/CatalogueArchive.h"
#include "specification/Reprice.h"

#include <QString>
#include <map>
#include <vector>

class Database;
class Query;

// Projects whose prices differ from the catalogue in use, and their repricing one project at a
// time, each in a transaction of its own.

struct PriceDrift {
    int lines = 0;  // lines that repricing would change
    Fixed4 before;
    Fixed4 after;
};
// The working specification (key 0) and every project that repricing would change, by key.
std::map<int, PriceDrift> priceDrift(Query& q);

struct RequoteOutcome {
    int project = 0;
    QString title;
    RepriceTotals totals;
    QString refusal;  // why the project was left as it was; empty when repriced
};
// Gives a project the catalogue's prices in one transaction and, for a named one, records the
// list they come from. A project holding a snapshot that no window has open was left by a crash: it
// is refused, since «Нет» to its question would bring back the old prices. Throws StoreError when
// the store fails; nothing is changed then.
RequoteOutcome requoteProject(Database& db, Query& q, int project, const QString& name);

// The list a project's prices were last taken from; empty for one never repriced.
catalogueArchive::Origin projectPriceOrigin(Query& q, int project);
// Within the caller's transaction: records that a named project's prices now come from the
// list in use. The working specification records none: its lines leave it when it is saved.
void recordPriceOrigin(Database& db, Query& q, int project);
