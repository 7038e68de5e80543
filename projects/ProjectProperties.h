#pragma once

#include <QString>
#include <array>

class Database;
class Query;

// What a project's printed form says about its document: the construction object, the
// document's code and name, the organisation, the stage and who signs it. Kept per project
// (key 0: the working specification) in a table of its own.
struct ProjectProperties {
    enum Field {
        Object,
        Code,
        Title,
        Organization,
        Stage,
        Developer,
        Checker,
        NormControl,
        Chief,
        FieldCount
    };
    std::array<QString, FieldCount> values;

    const QString& operator[](Field field) const { return values[std::size_t(field)]; }
    QString& operator[](Field field) { return values[std::size_t(field)]; }
    // The document's name as printed: the default when none is given.
    QString documentTitle() const;
};

QString defaultDocumentTitle();
// The field's label in the dialog and in messages: «Объект», «Разраб.» and so on.
QString propertyLabel(ProjectProperties::Field field);
// The longest text a field takes: what still fits its cell of the main inscription.
int propertyMaxLength(ProjectProperties::Field field);

// Surrounding blanks removed. The first fault as a sentence in Russian (too long, control
// characters, a stage other than П or Р), or an empty text when the properties can be stored.
ProjectProperties trimmedProperties(const ProjectProperties& properties);
QString propertiesProblem(const ProjectProperties& properties);

// Statements; keys enter as decimal integers, texts as quoted literals.
QString propertiesSql(int project);
QString savePropertiesSql(int project, const ProjectProperties& properties);
QString copyPropertiesSql(int source, int target);
QString deletePropertiesSql(int project);

// A store made by an earlier version gains the table here, in a transaction of its own. A
// store that takes no change (read-only, busy) is left as it is and false returned: reading
// it still works, the properties read empty.
bool bringPropertiesForward(Database& db);

// The project's properties; empty ones when it has none or the store has no table for them.
ProjectProperties loadProjectProperties(Query& scratch, int project);
// Stores them in one transaction, the table made first where an old store lacks it; throws
// StoreError, also with the sentence naming who holds the project in another window.
void saveProjectProperties(Database& db, int project, const ProjectProperties& properties);
