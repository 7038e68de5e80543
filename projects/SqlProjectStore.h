#pragma once

#include "projects/ProjectStore.h"
#include "store/AmountCells.h"
#include "store/Query.h"

#include <map>

class Database;

// The project store on the program's connection, a file's or a server's, through the statement
// builders of the specification and the project list.
class SqlProjectStore : public ProjectStore {
public:
    explicit SqlProjectStore(Database& db);

    std::unique_ptr<Transaction> transaction() override;

    SpecView readView(int project) override;
    QString readCaption(int project) override;
    Query emptyRows(const QString& name) override;
    SpecChange readChange(int project, const std::vector<std::int64_t>& lines,
                          const std::vector<std::int64_t>& vids, bool lineInserted) override;

    std::optional<LineQuantities> lineQuantities(int project, std::int64_t product,
                                                 int coating) override;
    std::optional<std::int64_t> lineKey(int project, std::int64_t product, int coating) override;
    std::optional<std::int64_t> lineGroup(std::int64_t line) override;
    bool hasLines(int project) override;
    std::int64_t insertLine(int project, const NewLine& line, Fixed4 kol, Fixed4 kolm) override;
    void addToLine(int project, std::int64_t product, int coating, Fixed4 kol,
                   Fixed4 kolm) override;
    std::optional<NewLine> cover(int coating, std::int64_t coverCode) override;
    void deleteLine(std::int64_t line) override;
    void clearLines(int project) override;
    void setLineQuantities(std::int64_t line, Fixed4 kol, Fixed4 kolm) override;
    std::optional<ProductLength> productLength(std::int64_t product) override;
    std::vector<RepriceLine> repriceLines(int project) override;
    void setListPrices(const std::vector<RepriceLine>& lines) override;

    void takeSnapshot(int project) override;
    void dropSnapshot(int project) override;
    void restoreSnapshot(int project) override;
    void revertToSnapshot(int project) override;
    std::optional<QString> leftChanges(int project) override;

    void readProjectList(Query& rows) override;
    bool nameTaken(const QString& name, int exceptKey) override;
    int insertProject(const QString& name) override;
    void renameProject(int key, const QString& name) override;
    void deleteProject(int key) override;
    void copyLines(int source, int target) override;
    void moveWorkingLines(int project) override;

    int storedKey(int project) override;
    std::optional<QString> hold(int project) override;
    void release(int project) override;
    bool holds(int project) override;
    void refuseIfHeld(int project) override;
    QString readOnlySentence(int project) override;

    ProjectProperties properties(int project) override;
    void saveProperties(int project, const ProjectProperties& properties) override;
    void copyProperties(int source, int target) override;

private:
    void run(const QStringList& statements);
    ResultRows fetch(const QString& sql);
    // How the engine gives amounts, for the group sums made from the lines read.
    amountCells::Engine amountEngine() const;
    int stored(int project) const { return project == 0 ? m_working : project; }
    // The connection's count of being made again, which ends the holds it had.
    int reconnections() const;

    Database& m_db;
    Query m_query;              // every statement: closed, given its text, opened or executed
    int m_working;              // where the working specification is stored
    std::map<int, int> m_held;  // projects held, by the reconnections when the hold was taken
};
