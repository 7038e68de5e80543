#include "projects/Tproekti.h"

#include "app/TForm1.h"

Tproekti::Tproekti(TForm1* form) : QDialog(form), m_form(form) {
    setObjectName(QStringLiteral("proekti"));
    setWindowTitle(QStringLiteral("Проекты"));
}
