#include "projects/NameCheck.h"

#include "store/Query.h"
#include "ui/MessageBox.h"

bool nameTaken(QWidget* parent, Query& q, const QString& lookupSql) {
    q.open(lookupSql);
    const bool taken = q.recordCount() > 0;
    q.close();
    if (taken)
        MessageBox::information(parent, QStringLiteral("Проект с таким именем уже есть!"));
    return taken;
}
