#include "tests/office/OfficeState.h"

#include "projects/ProjectStore.h"
#include "specification/SpecColumns.h"
#include "store/Query.h"

#include <QStringList>

QString designerPrefix(int designer) {
    return QStringLiteral("К%1-").arg(designer);
}

std::vector<int> projectsNamed(ProjectStore& store, const QString& prefix) {
    Query list = store.emptyRows(QStringLiteral("Q_list"));
    store.readProjectList(list);
    const int key = list.columnIndex(u"Ключ");
    const int name = list.columnIndex(u"Название");
    std::vector<int> keys;
    for (int r = 0; r < list.recordCount(); ++r)
        if (list.value(r, name).toText().startsWith(prefix))
            keys.push_back(int(list.value(r, key).toInt()));
    return keys;
}

QJsonObject projectLines(ProjectStore& store, int project) {
    const SpecView view = store.readView(project);
    const Query& rows = *view.rows;
    const auto field = [&](int r, SpecColumn c) {
        return rows.value(r, rows.columnIndex(columnName(c))).toText();
    };
    QJsonObject out;
    for (int r = 0; r < rows.recordCount(); ++r) {
        if (field(r, SpecColumn::Key).toLongLong() == 0)
            continue;  // a group row
        out.insert(field(r, SpecColumn::Key),
                   QStringList{field(r, SpecColumn::Product), field(r, SpecColumn::CoatingName),
                               field(r, SpecColumn::Kol), field(r, SpecColumn::Kolm),
                               field(r, SpecColumn::Price)}
                       .join(':'));
    }
    return out;
}

QJsonObject designerState(ProjectStore& store, int designer) {
    QJsonObject out;
    out.insert(QStringLiteral("0"), projectLines(store, 0));
    for (int key : projectsNamed(store, designerPrefix(designer)))
        out.insert(QString::number(key), projectLines(store, key));
    return out;
}
