// The working copy of the open project and its snapshot: saving, opening through the project
// list, and the question about unsaved changes on leaving a project.
//
// While a named project is open its snapshot in arh holds the version last opened or saved.
// Leaving the project for good drops the snapshot, so a snapshot found when a project is opened
// was left by a run that ended without leaving it (a crash, a kill, a power cut).
#include "app/TForm1.h"
#include "projects/ProjectProperties.h"
#include "projects/ProjectSql.h"
#include "projects/TProekt.h"
#include "projects/Tproekti.h"
#include "specification/SpecSql.h"
#include "store/StoreError.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

void TForm1::runProjectStatements(const QStringList& statements) {
    for (const QString& sql : statements)
        Q_all.execute(sql);
}

void TForm1::takeSnapshot() {
    Database::Transaction transaction(ADOConn());
    runProjectStatements(takeSnapshotSql(curProject));
    transaction.commit();
}

void TForm1::dropSnapshot() {
    Database::Transaction transaction(ADOConn());
    runProjectStatements(dropSnapshotSql(curProject));
    transaction.commit();
}

void TForm1::restoreSnapshot() {
    // The lines go only together with their replacement from the snapshot.
    commitLines([this] {
        runProjectStatements(restoreSnapshotSql(curProject));
        return curProject;
    });
}

bool TForm1::askKeepChanges() {
    return MessageBox::question(this, QStringLiteral("Сохранить изменения в проекте?"));
}

void TForm1::BitBtn8Click() {
    if (curProject != 0) {
        takeSnapshot();
        modified = 0;
        return;
    }
    if (Q_buy.recordCount() == 0) {
        MessageBox::information(this, QStringLiteral("Ваш проект пустой!"));
        return;
    }
    runModal(Proekt);
    const QString name = Proekt->name();
    if (name.isEmpty())
        return;
    // The new project, its lines and its snapshot are written together: a failure leaves the
    // lines in the working specification and no empty project behind.
    commitLines([&] {
        runProjectStatements({insertProjectSql(name)});
        const int key = int(ADOConn().lastInsertKey());
        // The new project takes the working specification's properties with its lines.
        runProjectStatements(QStringList{moveWorkingLinesSql(key), copyPropertiesSql(0, key)} +
                             takeSnapshotSql(key));
        return key;
    });
    modified = 0;
}

void TForm1::BitBtn7Click() {
    if (curProject != 0 && modified == 1) {
        // Either way the project stays open with a snapshot equal to its lines until another
        // one is open. An answer that can not be carried out ends here: nothing is shown and the
        // question comes again next time.
        const bool keep = askKeepChanges();
        commitLines([&] {
            if (!keep)
                runProjectStatements(restoreSnapshotSql(curProject));
            runProjectStatements(takeSnapshotSql(curProject));
            return curProject;
        });
        modified = 0;
    }
    proekti->setOpenProject(curProject);
    runModal(proekti);
    try {
        openProject(proekti->chosenProject());
    } catch (const StoreError&) {
        // The list may have renamed the open project or deleted it with its lines. A deleted
        // one leaves the working specification open; either way the view is read again when
        // the store lets it be read, and is never left showing deleted lines.
        if (proekti->deletedOpenProject()) {
            curProject = 0;
            modified = 0;
        }
        try {
            reloadSpec();
        } catch (const StoreError&) {
            if (curProject == 0) {
                Query none(ADOConn(), Q_buy.name());
                showSpec(none, specCaption(std::nullopt));
            }
        }
        throw;
    }
}

void TForm1::openProject(int project) {
    const int previous = curProject;
    if (project == previous) {
        // The list left with the same project open (or "Отмена"): its snapshot already equals
        // its lines, so nothing is written; the caption may name a project renamed in the list.
        reloadSpec();
        modified = 0;
        return;
    }
    // A snapshot that differs from the lines of a project not open in this run holds the
    // version the user saved last, and the lines hold changes never confirmed.
    bool keepLeftChanges = true;
    if (project != 0) {
        Q_all.open(leftSnapshotSql(project));
        const bool differs =
            Q_all.recordCount() > 0 && snapshotDiffers(Q_all.field(u"snapshotLines").toInt(),
                                                       Q_all.field(u"projectLines").toInt(),
                                                       Q_all.field(u"differentLines").toInt());
        const QString name = differs ? Q_all.field(u"Название").toText() : QString();
        Q_all.close();
        if (differs)
            keepLeftChanges = MessageBox::question(this, leftChangesQuestion(name));
    }
    // The working specification has no saved version to go back to, so no snapshot either.
    commitLines([&] {
        if (previous != 0)
            runProjectStatements(dropSnapshotSql(previous));
        if (!keepLeftChanges)
            runProjectStatements(restoreSnapshotSql(project));
        if (project != 0)
            runProjectStatements(takeSnapshotSql(project));
        return project;
    });
    modified = 0;
}

bool TForm1::FormClose() {
    if (curProject == 0)
        return true;
    try {
        if (modified == 1) {
            const bool keep = askKeepChanges();
            Database::Transaction transaction(ADOConn());
            runProjectStatements(keep ? dropSnapshotSql(curProject)
                                      : restoreSnapshotSql(curProject));
            transaction.commit();
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
