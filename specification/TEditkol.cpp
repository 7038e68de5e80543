#include "specification/TEditkol.h"

#include "app/TForm1.h"

TEditkol::TEditkol(TForm1* form) : QDialog(form), m_form(form) {
    setObjectName(QStringLiteral("Editkol"));
    setWindowTitle(QStringLiteral("Редактирование"));
}
