#pragma once

#include <QString>

class ProjectStore;

// The commands of the project list, each one step on the store. The name checks come first,
// in the dialogs, which tell the user when a name is taken. A project another designer has open
// is neither renamed nor deleted: the command throws StoreError naming who holds it.
int addProject(ProjectStore& store, const QString& name);
void renameProject(ProjectStore& store, int key, const QString& name);
// The project goes with its lines and its snapshot, or not at all.
void deleteProject(ProjectStore& store, int key);
// A copy is named after its source; copying a copy adds the prefix again.
QString copyName(const QString& name);
// A copy either has all the lines of its source or does not exist; returns its key.
int copyProject(ProjectStore& store, int source, const QString& name);
