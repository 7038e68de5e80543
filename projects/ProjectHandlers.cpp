// The working copy of the open project and its snapshot: saving, opening through the project
// list, and the question about unsaved changes on leaving a project.
#include "app/TForm1.h"
#include "projects/ProjectSql.h"
#include "projects/TProekt.h"
#include "projects/Tproekti.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <QLineEdit>

void TForm1::runProjectStatements(const QStringList& statements) {
    for (const QString& sql : statements) {
        Q_all.execute(sql);
    }
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
    Database::Transaction transaction(ADOConn());
    runProjectStatements(restoreSnapshotSql(curProject));
    transaction.commit();
}

void TForm1::askKeepChanges() {
    if (curProject == 0 || modified != 1)
        return;
    if (MessageBox::question(this, QStringLiteral("Сохранить изменения в проекте?")))
        dropSnapshot();
    else
        restoreSnapshot();
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
    const QString name = Proekt->namepro->text();
    if (name.isEmpty())
        return;
    // The new project, its lines and its snapshot are written together: a failure leaves the
    // lines in the working specification and no empty project behind.
    Database::Transaction transaction(ADOConn());
    runProjectStatements({insertProjectSql(name)});
    const int key = int(ADOConn().lastInsertKey());
    runProjectStatements(QStringList{moveWorkingLinesSql(key)} + takeSnapshotSql(key));
    transaction.commit();
    curProject = key;
    modified = 0;
    reloadSpec();
}

void TForm1::BitBtn7Click() {
    askKeepChanges();
    runModal(proekti);
    // However the list was left, the project open now starts unchanged from a fresh snapshot.
    takeSnapshot();
    modified = 0;
    reloadSpec();
}

void TForm1::FormClose() {
    askKeepChanges();
}
