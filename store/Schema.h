#pragma once

#include <QString>
#include <QStringList>

// Tables, codes and sign conventions of base.mdb. Cyrillic names are written exactly as the
// schema spells them: the engine folds the case of Latin letters only.
namespace schema {

// Product types of cable-carrying systems (the type lists and the search) and of fastening
// accessories, as they stand in the statements.
inline const QString trayTypes = QStringLiteral("64,65,66,67,68,69,70,71,75,76");
inline const QString accessoryTypes = QStringLiteral("72,79,80");

// The accessory type that lists all its products whatever the mounting method.
inline const QString generalHardware = QStringLiteral("Фурнитура общая");

// Subtype of branch elements: left out of the product tree, the only one of the branch list.
constexpr int branchSubtype = 5;

// Unit of products counted in running metres.
inline const QString runningMetre = QStringLiteral("м.п.");

constexpr int coatingCount = 5;
// Name of a coating code in the specification; any other code reads "0".
QString coatingName(int code);
// The same names as an expression over the column that holds the code; any other code gives
// the text 0.
QString coatingNameSql(const QString& codeColumn);

// Statements that create an empty store of this program: the catalogue tables and the
// program's own tables buy, arh and project. The program itself never runs them; the
// companion tool does, for the demo catalogue, the import and the tests.
QStringList createTables();
// The properties of each project for its printed form (key 0: the working specification). A
// store made before they existed gains the table on first use, so it is created only if missing.
QString createPropertiesTable();
// Indexes the program's statements need to stay fast on a maker's full catalogue, and the
// planner's statistics; run after the catalogue is filled.
QStringList createIndexes();

}  // namespace schema
