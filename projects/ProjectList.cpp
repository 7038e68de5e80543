#include "projects/ProjectList.h"

#include "projects/ProjectStore.h"

int addProject(ProjectStore& store, const QString& name) {
    return store.insertProject(name);
}

void renameProject(ProjectStore& store, int key, const QString& name) {
    const auto transaction = store.transaction();
    store.refuseIfHeld(key);
    store.renameProject(key, name);
    transaction->commit();
}

void deleteProject(ProjectStore& store, int key) {
    // A snapshot left behind could be taken for unsaved changes of a later project under the
    // same key.
    const auto transaction = store.transaction();
    store.refuseIfHeld(key);
    store.deleteProject(key);
    store.dropSnapshot(key);
    transaction->commit();
}

QString copyName(const QString& name) {
    return QStringLiteral("Копия ") + name;
}

int copyProject(ProjectStore& store, int source, const QString& name) {
    const auto transaction = store.transaction();
    const int copy = store.insertProject(name);
    store.copyLines(source, copy);
    store.copyProperties(source, copy);
    transaction->commit();
    return copy;
}
