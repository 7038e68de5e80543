#include "projects/gui/NameCheck.h"

#include "projects/ProjectStore.h"
#include "ui/MessageBox.h"

bool nameTaken(QWidget* parent, ProjectStore& store, const QString& name, int exceptKey) {
    const bool taken = store.nameTaken(name, exceptKey);
    if (taken)
        MessageBox::information(parent, QStringLiteral("Проект с таким именем уже есть!"));
    return taken;
}
