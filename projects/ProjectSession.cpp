#include "projects/ProjectSession.h"

#include "projects/ProjectSql.h"
#include "specification/QuantityRules.h"
#include "specification/Reprice.h"
#include "specification/SpecSql.h"
#include "store/StoreError.h"

#include <QLocale>

ProjectSession::ProjectSession(ProjectStore& store, SessionQuestions& questions)
    : m_store(store), m_questions(questions) {}

SpecView ProjectSession::marked(SpecView view) const {
    if (m_readOnly)
        view.caption += QStringLiteral(" (только просмотр)");
    return view;
}

SpecView ProjectSession::view() {
    return marked(m_store.readView(m_project));
}

SpecView ProjectSession::commit(const std::function<int()>& change) {
    const auto transaction = m_store.transaction();
    const int project = change();
    SpecView shown = m_store.readView(project);
    transaction->commit();
    m_project = project;
    return shown;
}

// --- lines ---

bool ProjectSession::ownsProject() {
    return m_project == 0 || (!m_readOnly && m_store.holds(m_project));
}

void ProjectSession::requireOwned() {
    if (!ownsProject())
        throw StoreError(m_store.readOnlySentence(m_project));
}

void ProjectSession::refuseIfReadOnly() {
    if (m_readOnly)
        throw StoreError(m_store.readOnlySentence(m_project));
}

SpecView ProjectSession::commitChange(const std::function<void()>& change) {
    SpecView shown = commit([&] {
        requireOwned();
        change();
        return m_project;
    });
    m_modified = true;
    return shown;
}

SpecChange ProjectSession::commitLines(const std::function<void(Touched&)>& change) {
    const auto transaction = m_store.transaction();
    requireOwned();
    Touched touched;
    change(touched);
    SpecChange changed =
        m_store.readChange(m_project, touched.lines, touched.vids, touched.lineInserted);
    transaction->commit();
    m_modified = true;
    return changed;
}

void ProjectSession::addTo(Touched& touched, const ProjectStore::NewLine& line, Fixed4 kol,
                           Fixed4 kolm) {
    if (const auto key = m_store.lineKey(m_project, line.product, line.coating)) {
        m_store.addToLine(m_project, line.product, line.coating, kol, kolm);
        touched.lines.push_back(*key);
    } else {
        touched.lines.push_back(m_store.insertLine(m_project, line, kol, kolm));
        touched.lineInserted = true;
    }
}

std::optional<SpecChange> ProjectSession::add(const Addition& addition) {
    // An add that adds nothing marks the project all the same (at worst the question on leaving
    // comes once too often); one that fails leaves the flag as it was.
    const auto nothingAdded = [this](const char* message = nullptr) {
        m_modified = true;
        if (message)
            m_questions.tell(QString::fromUtf8(message));
        return std::nullopt;
    };
    const bool fromTree = addition.source == TreeSource;
    if (!fromTree && addition.source != BranchSource && addition.source != AccessorySource)
        return nothingAdded();
    const std::optional<SourceRow>& row = addition.row;
    // Subtype rows of the tree and products without a price in this coating add nothing.
    if (!row || row->price.isZero())
        return nothingAdded();
    const int p = m_project;
    const int c = addition.coating;
    const ProjectStore::NewLine line{row->product,  c,        row->itemCode, row->price,
                                     row->parentId, row->unit};
    if (!fromTree) {
        // Branch elements and accessories: one piece per add.
        const Fixed4 onePiece = Fixed4::fromInt(1);
        return commitLines([&](Touched& touched) { addTo(touched, line, onePiece, onePiece); });
    }
    const Fixed4 length = addition.length;
    if (length.isZero())
        return nothingAdded("Длина не может равняться нулю!");
    if (length < Fixed4())
        return nothingAdded("Длина не может быть отрицательной!");
    bool coverMissing = false;
    SpecChange changed = commitLines([&](Touched& touched) {
        coverMissing = false;
        Fixed4 surplus;
        if (usesSurplus(row->stockLength, row->unit)) {
            if (const auto had = m_store.lineQuantities(p, row->product, c))
                surplus = lineSurplus(had->kol, had->kolm);
        }
        const TrayAddition add = trayAddition(length, row->stockLength, row->unit, surplus);
        addTo(touched, line, add.order, length);
        // The cover gets the tray's order quantity as it is.
        if (row->coverCode > 0 && addition.withCover) {
            const auto cover = m_store.cover(c, row->coverCode);
            if (!cover)
                coverMissing = true;
            else
                addTo(touched, *cover, add.order, length);
        }
    });
    if (coverMissing)
        m_questions.tell(QStringLiteral(
            "Крышка к этому товару не найдена в каталоге, товар добавлен без крышки."));
    return changed;
}

SpecChange ProjectSession::setQuantities(std::int64_t line, Fixed4 kol, Fixed4 kolm) {
    return commitLines([&](Touched& touched) {
        m_store.setLineQuantities(line, kol, kolm);
        touched.lines.push_back(line);
    });
}

SpecChange ProjectSession::deleteLine(std::int64_t line) {
    return commitLines([&](Touched& touched) {
        // Its group may go with it.
        if (const auto vid = m_store.lineGroup(line))
            touched.vids.push_back(*vid);
        m_store.deleteLine(line);
        touched.lines.push_back(line);
    });
}

SpecView ProjectSession::clear() {
    return commitChange([&] { m_store.clearLines(m_project); });
}

std::optional<SpecView> ProjectSession::reprice() {
    // Refused before the question, which would only raise hopes.
    requireOwned();
    const std::vector<RepriceLine> lines = m_store.repriceLines(m_project);
    if (lines.empty())
        return std::nullopt;
    const RepriceTotals totals = repriceTotals(lines);
    if (totals.changed == 0) {
        m_questions.tell(QStringLiteral("Цены строк совпадают с каталогом.") +
                         (totals.productChanged > 0 ? productChangedNote(totals) : QString()));
        return std::nullopt;
    }
    if (!m_questions.confirm(repriceQuestion(totals, QLocale().decimalPoint())))
        return std::nullopt;
    // A change like any other: leaving the project without keeping it brings the snapshot's
    // prices back.
    return commitChange([&] { m_store.setListPrices(lines); });
}

ProjectSession::Requote ProjectSession::requote() {
    const std::vector<RepriceLine> lines = m_store.repriceLines(m_project);
    Requote done{repriceTotals(lines), std::nullopt};
    if (done.totals.changed > 0)
        done.view.emplace(commitChange([&] { m_store.setListPrices(lines); }));
    return done;
}

// --- projects ---

bool ProjectSession::askKeepChanges() {
    return m_questions.confirm(QStringLiteral("Сохранить изменения в проекте?"));
}

std::optional<SpecView> ProjectSession::save() {
    if (m_project != 0) {
        takeSnapshot();
        m_modified = false;
        return std::nullopt;
    }
    if (!m_store.hasLines(0)) {
        m_questions.tell(QStringLiteral("Ваш проект пустой!"));
        return std::nullopt;
    }
    const QString name = m_questions.newProjectName();
    if (name.isEmpty())
        return std::nullopt;
    // The new project, its lines and its snapshot are written together: a failure leaves the
    // lines in the working specification and no empty project behind.
    int key = 0;
    std::optional<SpecView> shown;
    try {
        const auto transaction = m_store.transaction();
        key = m_store.insertProject(name);
        // The window holds the new project from its first moment on.
        m_store.hold(key);
        // The lines keep their keys and no row shows the project, so the rows shown are the
        // new project's as they stand, unless a store from elsewhere left lines under the key.
        const bool rowsStay = !m_store.hasLines(key);
        m_store.moveWorkingLines(key);
        // The new project takes the working specification's properties with its lines.
        m_store.copyProperties(0, key);
        m_store.takeSnapshot(key);
        shown.emplace(rowsStay ? SpecView{m_store.readCaption(key), std::nullopt}
                               : m_store.readView(key));
        transaction->commit();
    } catch (...) {
        if (key != 0)
            m_store.release(key);
        throw;
    }
    m_project = key;
    m_modified = false;
    return shown;
}

std::optional<SpecView> ProjectSession::settleBeforeList() {
    // A project this window does not hold is not its to settle: a snapshot of its own that it
    // left is asked about when the project is opened again.
    if (m_project == 0 || !m_modified || !ownsProject())
        return std::nullopt;
    // Either way the project stays open with a snapshot equal to its lines until another one
    // is open. An answer that can not be carried out ends here: nothing is shown and the
    // question comes again next time.
    // Changes kept leave the lines, and so the rows shown, as they are.
    if (askKeepChanges()) {
        takeSnapshot();
        m_modified = false;
        return std::nullopt;
    }
    SpecView shown = commit([&] {
        requireOwned();
        m_store.revertToSnapshot(m_project);
        return m_project;
    });
    m_modified = false;
    return shown;
}

SpecView ProjectSession::open(int project) {
    const int previous = m_project;
    const bool owned = ownsProject();
    const bool wasReadOnly = m_readOnly;
    if (project == previous && owned) {
        // The list left with the same project open (or «Отмена»): its snapshot already equals
        // its lines and the list changes no line of it, so nothing is written and the rows shown
        // stay; the caption may name a project renamed in the list.
        SpecView shown{m_store.readCaption(project), std::nullopt};
        m_modified = false;
        return shown;
    }
    // Held by another window, the project opens for reading only: its snapshot is that
    // window's, so it is neither asked about nor written.
    const std::optional<QString> heldBy = project != 0 ? m_store.hold(project) : std::nullopt;
    const bool writes = !heldBy;
    // A snapshot that differs from the lines of a project not open in this run holds the
    // version the user saved last, and the lines hold changes never confirmed.
    bool keepLeftChanges = true;
    std::optional<SpecView> shown;
    try {
        if (project != 0 && writes) {
            if (const auto name = m_store.leftChanges(project))
                keepLeftChanges = m_questions.confirm(leftChangesQuestion(*name));
        }
        // The working specification has no saved version to go back to, so no snapshot either.
        shown.emplace(commit([&] {
            if (previous != 0 && previous != project && owned)
                m_store.dropSnapshot(previous);
            if (writes && !keepLeftChanges)
                m_store.revertToSnapshot(project);
            else if (writes && project != 0)
                m_store.takeSnapshot(project);
            return project;
        }));
    } catch (...) {
        if (project != 0 && writes)
            m_store.release(project);
        throw;
    }
    if (previous != 0 && previous != project)
        m_store.release(previous);
    m_readOnly = !writes;
    m_modified = false;
    // Left open for reading only (the list's «Отмена»), the project needs no second telling.
    if (heldBy && !(project == previous && wasReadOnly))
        m_questions.tell(*heldBy +
                         QStringLiteral(".\n\nПроект открыт только для просмотра: его можно "
                                        "печатать и экспортировать, но не изменять."));
    return marked(std::move(*shown));
}

std::optional<SpecView> ProjectSession::viewAfterFailedOpen(bool openProjectDeleted) {
    // A deleted project leaves the working specification open; either way the view is read
    // again when the store lets it be read, and is never left showing deleted lines.
    if (openProjectDeleted) {
        m_store.release(m_project);
        m_project = 0;
        m_modified = false;
        m_readOnly = false;
    }
    try {
        return view();
    } catch (const StoreError&) {
        if (m_project == 0)
            return SpecView{specCaption(std::nullopt), m_store.emptyRows(QStringLiteral("Q_buy"))};
    }
    return std::nullopt;
}

bool ProjectSession::close() {
    // A project this window does not hold keeps whatever its holder left in it.
    if (m_project == 0 || !ownsProject())
        return true;
    try {
        if (m_modified) {
            const bool keepChanges = askKeepChanges();
            const auto transaction = m_store.transaction();
            // The connection made again meanwhile lost the hold: the snapshot stays for the
            // question when the project is opened again.
            if (!ownsProject())
                return true;
            if (keepChanges)
                m_store.dropSnapshot(m_project);
            else
                m_store.restoreSnapshot(m_project);
            transaction->commit();
            return true;
        }
    } catch (const StoreError& e) {
        throw StoreError(e.message() +
                         QStringLiteral("\n\nОкно остаётся открытым: изменения проекта не "
                                        "сохранены и не отменены. Закройте его ещё раз."));
    }
    // Unchanged: the snapshot equals the lines, and one left behind only costs a comparison
    // on the next opening; the window closes even when the store can not take the statement.
    try {
        dropSnapshot();
    } catch (const StoreError&) {
    }
    return true;
}

// --- snapshots ---

void ProjectSession::takeSnapshot() {
    const auto transaction = m_store.transaction();
    requireOwned();
    m_store.takeSnapshot(m_project);
    transaction->commit();
}

void ProjectSession::dropSnapshot() {
    const auto transaction = m_store.transaction();
    requireOwned();
    m_store.dropSnapshot(m_project);
    transaction->commit();
}

SpecView ProjectSession::restoreSnapshot() {
    // The lines go only together with their replacement from the snapshot.
    return commit([&] {
        requireOwned();
        m_store.restoreSnapshot(m_project);
        return m_project;
    });
}
