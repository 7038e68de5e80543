#include "projects/Tproektedit.h"

#include "app/TForm1.h"

Tproektedit::Tproektedit(TForm1* form) : QDialog(form), m_form(form) {
    setObjectName(QStringLiteral("proektedit"));
    setWindowTitle(QStringLiteral("Проект"));
}
