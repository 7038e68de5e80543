#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Statements of the project commands. Keys enter as decimal integers, names as quoted
// literals with their quotes doubled.

// The snapshot of a project's lines in arh: taken on opening and saving, dropped when the
// changes are kept, copied back into buy when they are thrown away.
QStringList takeSnapshotSql(int project);
QStringList dropSnapshotSql(int project);
QStringList restoreSnapshotSql(int project);
// The lines copied back from the snapshot, which stays: it equals them as a fresh one would.
QStringList revertToSnapshotSql(int project);

// What a project's snapshot left by an earlier run says: snapshotLines, projectLines,
// differentLines (lines without an equal one in the snapshot) and the project's Название.
QString leftSnapshotSql(int project);
bool snapshotDiffers(std::int64_t snapshotLines, std::int64_t projectLines,
                     std::int64_t differentLines);
QString leftChangesQuestion(const QString& projectName);

QString projectListSql();
QString insertProjectSql(const QString& name);
QString renameProjectSql(int key, const QString& name);
// The first save hands every line of the working specification (stored under working) to the
// new project.
QString moveWorkingLinesSql(int project, int working);
QString hasLinesSql(int project);

// Name checks: any project of that name, or one other than the project being renamed.
QString projectNamedSql(const QString& name);
QString otherProjectNamedSql(int key, const QString& name);

QString deleteProjectLinesSql(int key);
QString deleteProjectSql(int key);

// Every column of the lines, the designed quantity kolm included.
QString copyProjectLinesSql(int source, int target);
