// Saving, the project list and leaving the program: the session does the work, the window
// shows the outcome and asks the user.
#include "app/TForm1.h"
#include "projects/gui/TProekt.h"
#include "projects/gui/Tproekti.h"
#include "store/StoreError.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

bool TForm1::confirm(const QString& question) {
    return MessageBox::question(this, question);
}

void TForm1::tell(const QString& message) {
    MessageBox::information(this, message);
}

QString TForm1::newProjectName() {
    runModal(Proekt);
    return Proekt->name();
}

void TForm1::BitBtn8Click() {
    showSpec(m_session->save());
}

void TForm1::BitBtn7Click() {
    showSpec(m_session->settleBeforeList());
    proekti->setOpenProject(m_session->project());
    runModal(proekti);
    try {
        showSpec(m_session->open(proekti->chosenProject()));
    } catch (const StoreError&) {
        // The list may have renamed the open project or deleted it with its lines.
        showSpec(m_session->viewAfterFailedOpen(proekti->deletedOpenProject()));
        throw;
    }
}

bool TForm1::FormClose() {
    return m_session->close();
}
