#include "ui/MessageBox.h"

#include "ui/BusyCursor.h"

#include <QMessageBox>

void MessageBox::information(QWidget* parent, const QString& text) {
    record(text);
    const UserCursor arrow;
    if (!s_silent)
        QMessageBox::information(parent, QStringLiteral("Улмар"), text);
}

void MessageBox::error(QWidget* parent, const QString& text) {
    record(text);
    const UserCursor arrow;
    if (!s_silent)
        QMessageBox::critical(parent, QStringLiteral("Улмар"), text);
}

bool MessageBox::question(QWidget* parent, const QString& text) {
    record(text);
    if (s_nextAnswer) {
        const bool answer = *s_nextAnswer;
        s_nextAnswer.reset();
        return answer;
    }
    if (s_silent)
        return false;
    const UserCursor arrow;
    return QMessageBox::question(parent, QStringLiteral("Улмар"), text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MessageBox::setNextAnswer(bool yes) {
    s_nextAnswer = yes;
}
void MessageBox::setSilent(bool silent) {
    s_silent = silent;
}
QStringList MessageBox::shown() {
    return s_shown;
}
void MessageBox::clearShown() {
    s_shown.clear();
}

void MessageBox::record(const QString& text) {
    // Only a silent run (a test) keeps the texts: a person's run would collect them for ever.
    if (s_silent)
        s_shown << text;
}
