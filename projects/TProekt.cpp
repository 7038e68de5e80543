#include "projects/TProekt.h"

#include "app/TForm1.h"

TProekt::TProekt(TForm1* form) : QDialog(form), m_form(form) {
    setObjectName(QStringLiteral("Proekt"));
    setWindowTitle(QStringLiteral("Сохранение проекта"));
}
