#include "projects/ProjectProperties.h"

#include "projects/ProjectHold.h"
#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/SqlLiteral.h"
#include "store/StoreError.h"
#include "store/TableCheck.h"

#include <QStringList>

namespace {

// The table's columns in the order of the fields.
const std::array<const char*, ProjectProperties::FieldCount> columns = {
    "object",    "code",    "title",       "organization", "stage",
    "developer", "checker", "normcontrol", "chief"};

// Texts longer than these would no longer fit their cell in the smallest letters the form
// allows; a person's name with initials is far shorter.
const std::array<int, ProjectProperties::FieldCount> maxLengths = {200, 60, 160, 120, 1,
                                                                   40,  40, 40,  40};

bool isControl(QChar c) {
    return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
           c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool tableExists(Query& scratch) {
    return storeTables(scratch.database())
        .contains(QStringLiteral("project_properties"), Qt::CaseInsensitive);
}

// Every field takes the new value where the project has its row already: one statement text
// both engines take.
QString replacingFields() {
    QStringList set;
    for (const char* column : columns)
        set << QStringLiteral("%1 = excluded.%1").arg(QLatin1String(column));
    return QStringLiteral(" on conflict (project) do update set ") + set.join(QStringLiteral(", "));
}

}  // namespace

QString defaultDocumentTitle() {
    return QStringLiteral("Спецификация оборудования, изделий и материалов");
}

QString ProjectProperties::documentTitle() const {
    const QString& title = (*this)[Title];
    return title.isEmpty() ? defaultDocumentTitle() : title;
}

QString propertyLabel(ProjectProperties::Field field) {
    static const std::array<QString, ProjectProperties::FieldCount> labels = {
        QStringLiteral("Объект"),
        QStringLiteral("Обозначение"),
        QStringLiteral("Наименование документа"),
        QStringLiteral("Организация"),
        QStringLiteral("Стадия"),
        QStringLiteral("Разраб."),
        QStringLiteral("Пров."),
        QStringLiteral("Н. контр."),
        QStringLiteral("ГИП"),
    };
    return labels[std::size_t(field)];
}

int propertyMaxLength(ProjectProperties::Field field) {
    return maxLengths[std::size_t(field)];
}

ProjectProperties trimmedProperties(const ProjectProperties& properties) {
    ProjectProperties trimmed;
    for (int f = 0; f < ProjectProperties::FieldCount; ++f)
        trimmed.values[std::size_t(f)] = properties.values[std::size_t(f)].trimmed();
    return trimmed;
}

QString propertiesProblem(const ProjectProperties& properties) {
    for (int f = 0; f < ProjectProperties::FieldCount; ++f) {
        const auto field = ProjectProperties::Field(f);
        const QString& text = properties[field];
        if (std::any_of(text.begin(), text.end(), isControl))
            return QStringLiteral(
                       "В поле «%1» есть управляющие символы (перевод строки, табуляция): "
                       "оставьте только текст в одну строку.")
                .arg(propertyLabel(field));
    }
    const QString& stage = properties[ProjectProperties::Stage];
    if (!stage.isEmpty() && stage != QStringLiteral("П") && stage != QStringLiteral("Р"))
        return QStringLiteral("Стадия — П (проектная документация) или Р (рабочая).");
    for (int f = 0; f < ProjectProperties::FieldCount; ++f) {
        const auto field = ProjectProperties::Field(f);
        const QString& text = properties[field];
        if (text.size() > propertyMaxLength(field))
            return QStringLiteral("Поле «%1» не длиннее %2 знаков, введено %3.")
                .arg(propertyLabel(field))
                .arg(propertyMaxLength(field))
                .arg(text.size());
    }
    return QString();
}

QString propertiesSql(int project) {
    QStringList names;
    for (const char* column : columns)
        names << QLatin1String(column);
    return QStringLiteral("select %1 from project_properties where project = %2")
        .arg(names.join(QStringLiteral(", ")), sqlInt(project));
}

QString savePropertiesSql(int project, const ProjectProperties& properties) {
    QStringList names{QStringLiteral("project")};
    QStringList values{sqlInt(project)};
    for (int f = 0; f < ProjectProperties::FieldCount; ++f) {
        names << QLatin1String(columns[std::size_t(f)]);
        values << sqlText(properties.values[std::size_t(f)]);
    }
    return QStringLiteral("insert into project_properties (%1) values (%2)")
               .arg(names.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))) +
           replacingFields();
}

QString copyPropertiesSql(int source, int target) {
    QStringList names;
    for (const char* column : columns)
        names << QLatin1String(column);
    const QString list = names.join(QStringLiteral(", "));
    return QStringLiteral(
               "insert into project_properties (project, %1) select %2, %1 "
               "from project_properties where project = %3")
               .arg(list, sqlInt(target), sqlInt(source)) +
           replacingFields();
}

QString deletePropertiesSql(int project) {
    return QStringLiteral("delete from project_properties where project = %1").arg(sqlInt(project));
}

bool bringPropertiesForward(Database& db) {
    try {
        Query scratch(db, QStringLiteral("properties"));
        if (tableExists(scratch))
            return true;
        Database::Transaction transaction(db);
        db.execute(schema::createPropertiesTable());
        transaction.commit();
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

ProjectProperties loadProjectProperties(Query& scratch, int project) {
    ProjectProperties properties;
    if (!tableExists(scratch))
        return properties;
    scratch.open(propertiesSql(project));
    if (scratch.recordCount() > 0)
        for (int f = 0; f < ProjectProperties::FieldCount; ++f)
            properties.values[std::size_t(f)] = scratch.value(0, f).toText();
    scratch.close();
    return properties;
}

void saveProjectProperties(Database& db, int project, const ProjectProperties& properties) {
    Database::Transaction transaction(db);
    if (const auto refused = projectHold::refusal(db, project))
        throw StoreError(*refused);
    db.execute(schema::createPropertiesTable());
    db.execute(savePropertiesSql(project, properties));
    transaction.commit();
}
