#include "projects/SqlProjectStore.h"

#include "projects/ProjectHold.h"
#include "projects/ProjectProperties.h"
#include "projects/ProjectSql.h"
#include "projects/WorkingSpecification.h"
#include "specification/SourceRow.h"
#include "specification/SpecRows.h"
#include "specification/SpecSql.h"
#include "store/Database.h"
#include "store/PgDatabase.h"
#include "store/Statement.h"
#include "store/StoreError.h"

namespace {

class SqlTransaction : public ProjectStore::Transaction {
public:
    explicit SqlTransaction(Database& db) : m_transaction(db) {}
    void commit() override { m_transaction.commit(); }

private:
    Database::Transaction m_transaction;
};

}  // namespace

SqlProjectStore::SqlProjectStore(Database& db)
    : m_db(db), m_query(db, QStringLiteral("Q_all")), m_working(storedProjectKey(db, 0)) {}

std::unique_ptr<ProjectStore::Transaction> SqlProjectStore::transaction() {
    return std::make_unique<SqlTransaction>(m_db);
}

void SqlProjectStore::run(const QStringList& statements) {
    for (const QString& sql : statements)
        m_query.execute(sql);
}

// The lines and the groups' order are read one after the other in the command's transaction
// (or the read's own), so they agree.
SpecView SqlProjectStore::readView(int project) {
    SpecView view{readCaption(project), emptyRows(QStringLiteral("Q_buy"))};
    ResultRows groups = fetch(specGroupOrderSql(stored(project)));
    view.rows->openRows(specViewRows(fetch(specLinesSql(stored(project))), groups, amountEngine()));
    return view;
}

ResultRows SqlProjectStore::fetch(const QString& sql) {
    ResultRows rows;
    Statement(m_db, sql).fetchAll(rows);
    return rows;
}

amountCells::Engine SqlProjectStore::amountEngine() const {
    return m_db.engine() == Database::Engine::Postgres ? amountCells::Engine::Server
                                                       : amountCells::Engine::File;
}

QString SqlProjectStore::readCaption(int project) {
    m_query.open(specCaptionSql(stored(project)));
    const QString caption = specCaption(
        m_query.recordCount() > 0 ? std::optional<QString>(m_query.field(u"Название").toText())
                                  : std::nullopt);
    m_query.close();
    return caption;
}

Query SqlProjectStore::emptyRows(const QString& name) {
    return Query(m_db, name);
}

SpecChange SqlProjectStore::readChange(int project, const std::vector<std::int64_t>& lines,
                                       const std::vector<std::int64_t>& vids, bool lineInserted) {
    SpecChange change{emptyRows(QStringLiteral("Q_buy")), lines, {}};
    change.touched.insert(change.touched.end(), vids.begin(), vids.end());
    const ResultRows groups = fetch(specGroupOrderSql(stored(project)));
    if (lineInserted)
        for (int g = 0; g < groups.count; ++g)
            change.groupOrder.push_back(
                groups.cells[std::size_t(g) * std::size_t(groups.columns.size())].integer);
    // The lines touched, and what their groups' sums take from all of their lines.
    const ResultRows amounts = fetch(specGroupAmountsSql(stored(project), lines, vids));
    change.rows.openRows(specViewRows(fetch(specLinesByKeySql(stored(project), lines)), groups,
                                      amountEngine(), &amounts));
    return change;
}

std::optional<ProjectStore::LineQuantities> SqlProjectStore::lineQuantities(int project,
                                                                            std::int64_t product,
                                                                            int coating) {
    m_query.open(lineQuantitiesSql(stored(project), product, coating));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    return LineQuantities{m_query.field(u"kol").toFixed(), m_query.field(u"kolm").toFixed()};
}

std::optional<std::int64_t> SqlProjectStore::lineKey(int project, std::int64_t product,
                                                     int coating) {
    m_query.open(lineKeySql(stored(project), product, coating));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    return m_query.value(0, 0).toInt();
}

std::optional<std::int64_t> SqlProjectStore::lineGroup(std::int64_t line) {
    m_query.open(lineGroupSql(line));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    return m_query.value(0, 0).toInt();
}

bool SqlProjectStore::hasLines(int project) {
    m_query.open(hasLinesSql(stored(project)));
    return m_query.field(u"has").toInt() != 0;
}

std::int64_t SqlProjectStore::insertLine(int project, const NewLine& line, Fixed4 kol,
                                         Fixed4 kolm) {
    m_query.execute(insertLineSql(stored(project), line.product, line.coating, line.itemCode,
                                  line.price, line.parentId, line.unit, kol, kolm));
    return m_db.lastInsertKey();
}

void SqlProjectStore::addToLine(int project, std::int64_t product, int coating, Fixed4 kol,
                                Fixed4 kolm) {
    m_query.execute(addToLineSql(stored(project), product, coating, kol, kolm));
}

std::optional<ProjectStore::NewLine> SqlProjectStore::cover(int coating, std::int64_t coverCode) {
    m_query.open(coverLookupSql(coating, coverCode));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    const auto key = numberField(m_query.field(u"Ключ"));
    const auto price = numberField(m_query.field(u"pp"));
    if (!key || !price)
        return std::nullopt;
    return NewLine{m_query.field(u"Ключ").toInt(),
                   coating,
                   coverCode,
                   *price,
                   m_query.field(u"parentid").toInt(),
                   m_query.field(u"ЕИ").toText()};
}

void SqlProjectStore::deleteLine(std::int64_t line) {
    m_query.execute(deleteLineSql(line));
}

void SqlProjectStore::clearLines(int project) {
    m_query.execute(clearSpecSql(stored(project)));
}

void SqlProjectStore::setLineQuantities(std::int64_t line, Fixed4 kol, Fixed4 kolm) {
    m_query.execute(updateLineQuantitiesSql(kol, kolm, line));
}

std::optional<ProjectStore::ProductLength> SqlProjectStore::productLength(std::int64_t product) {
    m_query.open(productLengthSql(product));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    return ProductLength{m_query.field(u"Длина").toFixed(), m_query.field(u"ЕИ").toText()};
}

std::vector<RepriceLine> SqlProjectStore::repriceLines(int project) {
    return readRepriceLines(m_query, stored(project));
}

void SqlProjectStore::setListPrices(const std::vector<RepriceLine>& lines) {
    run(repriceSql(lines));
}

void SqlProjectStore::takeSnapshot(int project) {
    run(takeSnapshotSql(stored(project)));
}

void SqlProjectStore::dropSnapshot(int project) {
    run(dropSnapshotSql(stored(project)));
}

void SqlProjectStore::restoreSnapshot(int project) {
    run(restoreSnapshotSql(stored(project)));
}

void SqlProjectStore::revertToSnapshot(int project) {
    run(revertToSnapshotSql(stored(project)));
}

std::optional<QString> SqlProjectStore::leftChanges(int project) {
    m_query.open(leftSnapshotSql(project));
    const bool differs =
        m_query.recordCount() > 0 && snapshotDiffers(m_query.field(u"snapshotLines").toInt(),
                                                     m_query.field(u"projectLines").toInt(),
                                                     m_query.field(u"differentLines").toInt());
    const QString name = differs ? m_query.field(u"Название").toText() : QString();
    m_query.close();
    if (!differs)
        return std::nullopt;
    return name;
}

void SqlProjectStore::readProjectList(Query& rows) {
    rows.open(projectListSql());
}

bool SqlProjectStore::nameTaken(const QString& name, int exceptKey) {
    m_query.open(exceptKey == 0 ? projectNamedSql(name) : otherProjectNamedSql(exceptKey, name));
    const bool taken = m_query.recordCount() > 0;
    m_query.close();
    return taken;
}

int SqlProjectStore::insertProject(const QString& name) {
    m_query.execute(insertProjectSql(name));
    return int(m_db.lastInsertKey());
}

void SqlProjectStore::renameProject(int key, const QString& name) {
    m_query.execute(renameProjectSql(key, name));
}

void SqlProjectStore::deleteProject(int key) {
    m_query.execute(deleteProjectLinesSql(key));
    m_query.execute(deleteProjectSql(key));
    m_query.execute(deletePropertiesSql(key));
}

void SqlProjectStore::copyLines(int source, int target) {
    m_query.execute(copyProjectLinesSql(stored(source), stored(target)));
}

void SqlProjectStore::moveWorkingLines(int project) {
    m_query.execute(moveWorkingLinesSql(project, m_working));
}

ProjectProperties SqlProjectStore::properties(int project) {
    return loadProjectProperties(m_query, stored(project));
}

void SqlProjectStore::saveProperties(int project, const ProjectProperties& properties) {
    saveProjectProperties(m_db, stored(project), properties);
}

void SqlProjectStore::copyProperties(int source, int target) {
    m_query.execute(copyPropertiesSql(stored(source), stored(target)));
}

int SqlProjectStore::storedKey(int project) {
    return stored(project);
}

int SqlProjectStore::reconnections() const {
    const auto* server = dynamic_cast<const PgDatabase*>(&m_db);
    return server ? server->reconnections() : 0;
}

std::optional<QString> SqlProjectStore::hold(int project) {
    auto refused = projectHold::take(m_db, project);
    if (!refused)
        m_held[project] = reconnections();
    return refused;
}

void SqlProjectStore::release(int project) {
    // A hold lost with its connection is no longer the server's to release; one the server
    // can not release now ends with the connection at the latest.
    try {
        if (project != 0 && holds(project))
            projectHold::release(m_db, project);
    } catch (const StoreError&) {
    }
    m_held.erase(project);
}

bool SqlProjectStore::holds(int project) {
    if (project == 0 || m_db.engine() != Database::Engine::Postgres)
        return true;
    const auto held = m_held.find(project);
    return held != m_held.end() && held->second == reconnections();
}

void SqlProjectStore::refuseIfHeld(int project) {
    if (const auto refused = projectHold::refusal(m_db, project))
        throw StoreError(*refused);
}

QString SqlProjectStore::readOnlySentence(int project) {
    return projectHold::readOnlySentence(m_db, project);
}
