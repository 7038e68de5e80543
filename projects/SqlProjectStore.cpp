#include "projects/SqlProjectStore.h"

#include "projects/ProjectProperties.h"
#include "projects/ProjectSql.h"
#include "specification/SourceRow.h"
#include "specification/SpecSql.h"
#include "store/Database.h"

namespace {

class SqlTransaction : public ProjectStore::Transaction {
public:
    explicit SqlTransaction(Database& db) : m_transaction(db) {}
    void commit() override { m_transaction.commit(); }

private:
    Database::Transaction m_transaction;
};

}  // namespace

SqlProjectStore::SqlProjectStore(Database& db) : m_db(db), m_query(db, QStringLiteral("Q_all")) {}

std::unique_ptr<ProjectStore::Transaction> SqlProjectStore::transaction() {
    return std::make_unique<SqlTransaction>(m_db);
}

void SqlProjectStore::run(const QStringList& statements) {
    for (const QString& sql : statements)
        m_query.execute(sql);
}

SpecView SqlProjectStore::readView(int project) {
    SpecView view{readCaption(project), emptyRows(QStringLiteral("Q_buy"))};
    view.rows->open(specViewSql(project));
    return view;
}

QString SqlProjectStore::readCaption(int project) {
    m_query.open(specCaptionSql(project));
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
    change.rows.open(specRowsSql(project, lines, vids));
    if (lineInserted) {
        m_query.open(specGroupOrderSql(project));
        for (int r = 0; r < m_query.recordCount(); ++r)
            change.groupOrder.push_back(m_query.value(r, 0).toInt());
        m_query.close();
    }
    return change;
}

std::optional<ProjectStore::LineQuantities> SqlProjectStore::lineQuantities(int project,
                                                                            std::int64_t product,
                                                                            int coating) {
    m_query.open(lineQuantitiesSql(project, product, coating));
    if (m_query.recordCount() == 0)
        return std::nullopt;
    return LineQuantities{m_query.field(u"kol").toFixed(), m_query.field(u"kolm").toFixed()};
}

std::optional<std::int64_t> SqlProjectStore::lineKey(int project, std::int64_t product,
                                                     int coating) {
    m_query.open(lineKeySql(project, product, coating));
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
    m_query.open(hasLinesSql(project));
    return m_query.field(u"has").toInt() != 0;
}

std::int64_t SqlProjectStore::insertLine(int project, const NewLine& line, Fixed4 kol,
                                         Fixed4 kolm) {
    m_query.execute(insertLineSql(project, line.product, line.coating, line.itemCode, line.price,
                                  line.parentId, line.unit, kol, kolm));
    return m_db.lastInsertKey();
}

void SqlProjectStore::addToLine(int project, std::int64_t product, int coating, Fixed4 kol,
                                Fixed4 kolm) {
    m_query.execute(addToLineSql(project, product, coating, kol, kolm));
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
    m_query.execute(clearSpecSql(project));
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
    return readRepriceLines(m_query, project);
}

void SqlProjectStore::setListPrices(const std::vector<RepriceLine>& lines) {
    run(repriceSql(lines));
}

void SqlProjectStore::takeSnapshot(int project) {
    run(takeSnapshotSql(project));
}

void SqlProjectStore::dropSnapshot(int project) {
    run(dropSnapshotSql(project));
}

void SqlProjectStore::restoreSnapshot(int project) {
    run(restoreSnapshotSql(project));
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
    m_query.execute(copyProjectLinesSql(source, target));
}

void SqlProjectStore::moveWorkingLines(int project) {
    m_query.execute(moveWorkingLinesSql(project));
}

ProjectProperties SqlProjectStore::properties(int project) {
    return loadProjectProperties(m_query, project);
}

void SqlProjectStore::saveProperties(int project, const ProjectProperties& properties) {
    saveProjectProperties(m_db, project, properties);
}

void SqlProjectStore::copyProperties(int source, int target) {
    m_query.execute(copyPropertiesSql(source, target));
}
