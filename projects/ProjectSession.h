#pragma once

#include "catalogue/AddSource.h"
#include "projects/ProjectStore.h"
#include "specification/SourceRow.h"
#include "specification/SpecChange.h"
#include "specification/SpecView.h"

#include <QString>
#include <functional>
#include <optional>

// What a project command asks the user on the way; the window answers with dialogs, a test
// with answers of its own.
class SessionQuestions {
public:
    virtual ~SessionQuestions() = default;
    // A yes/no question; true for yes.
    virtual bool confirm(const QString& question) = 0;
    virtual void tell(const QString& message) = 0;
    // The name of a new project; empty when the user gave none.
    virtual QString newProjectName() = 0;
};

// One catalogue row to turn into a line, as the window read it from a grid.
struct Addition {
    int source = NoAddSource;      // an AddSource; any other value adds nothing
    std::optional<SourceRow> row;  // nothing: no row, or one that can not become a line
    int coating = 0;
    Fixed4 length;           // the route length in metres, for a tray
    bool withCover = false;  // a tray brings its cover
};

// The open project and every command on its lines and on the projects: adding, editing,
// removing, clearing and repricing lines, saving, opening, leaving and closing.
//
// Each command is one transaction. It returns the view to show (caption and rows, read before
// the commit; the caption alone when the rows shown already stay; only the rows that changed
// after a change to a few lines), nothing when there is nothing new to show, or throws with
// the store and the session's project as they were.
//
// While a named project is open its snapshot holds the version last opened or saved. Leaving
// the project for good drops the snapshot, so a snapshot found when a project is opened was
// left by a run that ended without leaving it (a crash, a kill, a power cut).
//
// On a server the window holds the named project it has open. One that another designer's
// window holds opens for reading only: every change is refused with the sentence naming who
// holds it, and neither its lines nor its snapshot are written. A connection made again has
// lost the hold: the project is then read only too, until it is opened again.
class ProjectSession {
public:
    ProjectSession(ProjectStore& store, SessionQuestions& questions);

    int project() const { return m_project; }  // 0: the working specification
    bool modified() const { return m_modified; }
    // Open for reading only: another designer's window holds the project on the server.
    bool readOnly() const { return m_readOnly; }

    // The open project read afresh.
    SpecView view();
    // Before a dialog that leads to a change of the lines: a project open for reading only is
    // refused at once with the sentence the change would get, not after the user filled it in.
    void refuseIfReadOnly();

    // --- lines ---
    // Adding, editing and removing lines return the rows they changed, for the rows shown to
    // follow; the other commands the whole view.
    std::optional<SpecChange> add(const Addition& addition);
    // Marks the project changed by a change made to its lines outside the session's commands.
    void markModified() { m_modified = true; }
    SpecChange setQuantities(std::int64_t line, Fixed4 kol, Fixed4 kolm);
    // A group row has key 0 and so removes nothing.
    SpecChange deleteLine(std::int64_t line);
    SpecView clear();
    // Gives the lines the catalogue's prices once the user agreed to the question.
    std::optional<SpecView> reprice();
    // The same without the question, for the several projects repriced together, whose dialog
    // asked already: the figures, and the view to show when a price changed.
    struct Requote {
        RepriceTotals totals;
        std::optional<SpecView> view;
    };
    Requote requote();

    // --- projects ---
    // Keeps the changes of a named project; the working specification becomes a project under
    // the name the user gives.
    std::optional<SpecView> save();
    // Before the project list: the changes of a named project are kept or thrown away, as the
    // user answers, and the project stays open with a fresh snapshot.
    std::optional<SpecView> settleBeforeList();
    // Opens a project (0: the working specification) with a fresh snapshot, asking first about
    // changes an earlier run left unconfirmed; the previous project stays open when it fails.
    SpecView open(int project);
    // After open() failed on the list's choice: the list may have deleted the open project, so
    // the working specification is open again; the view to show when the store lets it be read.
    std::optional<SpecView> viewAfterFailedOpen(bool openProjectDeleted);
    // Leaving the program. False when the answer about unsaved changes could not be carried
    // out: the window stays.
    bool close();

    // --- snapshots ---
    void takeSnapshot();
    void dropSnapshot();
    SpecView restoreSnapshot();

private:
    friend struct SessionAccess;  // tests stand the session on a state without a command

    // Runs a change as one transaction: change() writes and names the project to show; the
    // view is read before the commit, so the session takes it only together with the store.
    SpecView commit(const std::function<int()>& change);
    // A change to the open project's lines, which marks it changed once it is committed.
    SpecView commitChange(const std::function<void()>& change);
    // The caption of a project open for reading only says so.
    SpecView marked(SpecView view) const;
    // What a change to a few lines touched.
    struct Touched {
        std::vector<std::int64_t> lines;
        std::vector<std::int64_t> vids;  // groups the lines may have left
        bool lineInserted = false;
    };
    // A change to a few lines of the open project as one transaction: the rows it touched are
    // read before the commit, and the project is marked changed once it is committed.
    SpecChange commitLines(const std::function<void(Touched&)>& change);
    // Adds the quantities to the project's line of the product and coating, or makes one.
    void addTo(Touched& touched, const ProjectStore::NewLine& line, Fixed4 kol, Fixed4 kolm);
    bool askKeepChanges();
    // Whether this window may write the open project: its own working specification, or a
    // project it holds.
    bool ownsProject();
    // Inside a command's transaction, where a connection made again has already shown itself:
    // throws the sentence unless the window owns the project.
    void requireOwned();

    ProjectStore& m_store;
    SessionQuestions& m_questions;
    int m_project = 0;
    bool m_modified = false;
    bool m_readOnly = false;
};
