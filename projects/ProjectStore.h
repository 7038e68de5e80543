#pragma once

#include "projects/ProjectProperties.h"
#include "specification/Reprice.h"
#include "specification/SpecChange.h"
#include "specification/SpecView.h"
#include "store/Fixed4.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// What the project commands and the project dialogs read and write: lines, snapshots and the
// project list. Each call is one statement or one fixed group of them; a command holds several
// in one transaction. The engine behind it is the implementation's business.
class ProjectStore {
public:
    virtual ~ProjectStore() = default;

    // Rolled back unless committed.
    class Transaction {
    public:
        virtual ~Transaction() = default;
        virtual void commit() = 0;
    };
    virtual std::unique_ptr<Transaction> transaction() = 0;

    // --- the view of a project's lines ---
    // The caption and the rows of the project's specification as the grid shows them.
    virtual SpecView readView(int project) = 0;
    // The caption alone, for rows that stay as they are shown.
    virtual QString readCaption(int project) = 0;
    // An empty result, for a grid that shows nothing yet or rows read later.
    virtual Query emptyRows(const QString& name) = 0;
    // The rows of some lines of the project and of some groups (by vid) as a full read gives
    // them, with the groups' order when a line was inserted.
    virtual SpecChange readChange(int project, const std::vector<std::int64_t>& lines,
                                  const std::vector<std::int64_t>& vids, bool lineInserted) = 0;

    // --- lines ---
    struct LineQuantities {
        Fixed4 kol;
        Fixed4 kolm;
    };
    // The one line of a product in a coating, if the project has it.
    virtual std::optional<LineQuantities> lineQuantities(int project, std::int64_t product,
                                                         int coating) = 0;
    // The key of that line, if the project has it.
    virtual std::optional<std::int64_t> lineKey(int project, std::int64_t product, int coating) = 0;
    // The vid of a line, if there is such a line.
    virtual std::optional<std::int64_t> lineGroup(std::int64_t line) = 0;
    virtual bool hasLines(int project) = 0;
    struct NewLine {
        std::int64_t product = 0;
        int coating = 0;
        std::int64_t itemCode = 0;
        Fixed4 price;
        std::int64_t parentId = 0;
        QString unit;
    };
    // Gives the new line's key.
    virtual std::int64_t insertLine(int project, const NewLine& line, Fixed4 kol, Fixed4 kolm) = 0;
    virtual void addToLine(int project, std::int64_t product, int coating, Fixed4 kol,
                           Fixed4 kolm) = 0;
    // The cover whose item code in the coating is coverCode; nothing when the catalogue has no
    // such cover or it has no price there.
    virtual std::optional<NewLine> cover(int coating, std::int64_t coverCode) = 0;
    virtual void deleteLine(std::int64_t line) = 0;
    virtual void clearLines(int project) = 0;
    virtual void setLineQuantities(std::int64_t line, Fixed4 kol, Fixed4 kolm) = 0;
    struct ProductLength {
        Fixed4 stockLength;
        QString unit;
    };
    virtual std::optional<ProductLength> productLength(std::int64_t product) = 0;
    virtual std::vector<RepriceLine> repriceLines(int project) = 0;
    // Every line whose price changes takes the list's price, in one statement.
    virtual void setListPrices(const std::vector<RepriceLine>& lines) = 0;

    // --- snapshots ---
    virtual void takeSnapshot(int project) = 0;
    virtual void dropSnapshot(int project) = 0;
    virtual void restoreSnapshot(int project) = 0;
    // The lines back as the snapshot holds them, the snapshot kept: the project stays open
    // with a snapshot equal to its lines, without writing all of them once more.
    virtual void revertToSnapshot(int project) = 0;
    // A snapshot left by a run that ended without leaving the project: the project's name when
    // it differs from the lines.
    virtual std::optional<QString> leftChanges(int project) = 0;

    // --- projects ---
    // The list as the project dialog shows it (Ключ, Название).
    virtual void readProjectList(Query& rows) = 0;
    // Whether a project other than exceptKey (0: any) has the name.
    virtual bool nameTaken(const QString& name, int exceptKey = 0) = 0;
    virtual int insertProject(const QString& name) = 0;
    virtual void renameProject(int key, const QString& name) = 0;
    // The project row, its lines and its properties; its snapshot is dropped apart.
    virtual void deleteProject(int key) = 0;
    virtual void copyLines(int source, int target) = 0;
    // The first save hands every line of the working specification to the project.
    virtual void moveWorkingLines(int project) = 0;

    // --- the working specification and holds (projects/ProjectHold.h) ---
    // The key a project is stored under: 0, the working specification, is the designer's own
    // on a server.
    virtual int storedKey(int project) = 0;
    // Takes this window's hold of a named project: the sentence naming who holds it when
    // another window does.
    virtual std::optional<QString> hold(int project) = 0;
    // Never throws: it runs where a command has already failed or done its work.
    virtual void release(int project) = 0;
    // Whether the hold taken lasts: a connection made again has lost it. Always on a file.
    virtual bool holds(int project) = 0;
    // Within a transaction: throws StoreError with the sentence when another window holds it.
    virtual void refuseIfHeld(int project) = 0;
    // What a window is told when it may not change the project it has open.
    virtual QString readOnlySentence(int project) = 0;

    // --- properties (project 0: the working specification) ---
    virtual ProjectProperties properties(int project) = 0;
    virtual void saveProperties(int project, const ProjectProperties& properties) = 0;
    virtual void copyProperties(int source, int target) = 0;
};
