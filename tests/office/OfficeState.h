#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

class ProjectStore;

// What the office concurrency test compares: the lines of a designer's own projects, keyed by
// line, as product:coating:kol:kolm:price.
inline const QString kSharedPrefix = QStringLiteral("Общий");
QString designerPrefix(int designer);
std::vector<int> projectsNamed(ProjectStore& store, const QString& prefix);
QJsonObject projectLines(ProjectStore& store, int project);
// The working specification ("0") and every project named with the designer's prefix.
QJsonObject designerState(ProjectStore& store, int designer);
