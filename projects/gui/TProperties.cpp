#include "projects/gui/TProperties.h"

#include "projects/ProjectStore.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

const std::array<const char*, ProjectProperties::FieldCount> objectNames = {
    "object",    "code",    "title",       "organization", "stage",
    "developer", "checker", "normControl", "chief"};

}  // namespace

TProperties::TProperties(ProjectStore& store, int project, QWidget* parent)
    : QDialog(parent), m_store(store), m_project(project) {
    setObjectName(QStringLiteral("properties"));
    setWindowTitle(QStringLiteral("Свойства проекта"));
    const ProjectProperties stored = m_store.properties(project);

    auto* form = new QFormLayout(this);
    for (int f = 0; f < ProjectProperties::FieldCount; ++f) {
        const auto field = ProjectProperties::Field(f);
        QWidget* control;
        if (field == ProjectProperties::Stage) {
            m_stage = new QComboBox(this);
            m_stage->addItems({QString(), QStringLiteral("П"), QStringLiteral("Р")});
            m_stage->setCurrentText(stored[field]);
            control = m_stage;
        } else {
            auto* edit = new QLineEdit(stored[field], this);
            // Room to type a little more than fits, so a long text is told, not cut silently.
            edit->setMaxLength(propertyMaxLength(field) + 100);
            if (field == ProjectProperties::Title)
                edit->setPlaceholderText(defaultDocumentTitle());
            edit->setMinimumWidth(420);
            m_edits[std::size_t(f)] = edit;
            control = edit;
        }
        control->setObjectName(QLatin1String(objectNames[std::size_t(f)]));
        form->addRow(propertyLabel(field) + QLatin1Char(':'), control);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TProperties::reject);
    form->addRow(buttons);
}

ProjectProperties TProperties::typed() const {
    ProjectProperties p;
    for (int f = 0; f < ProjectProperties::FieldCount; ++f)
        p.values[std::size_t(f)] = f == ProjectProperties::Stage ? m_stage->currentText()
                                                                 : m_edits[std::size_t(f)]->text();
    return p;
}

void TProperties::accept() {
    guarded(this, [this] {
        const ProjectProperties properties = trimmedProperties(typed());
        const QString problem = propertiesProblem(properties);
        if (!problem.isEmpty()) {
            MessageBox::information(this, problem);
            return;
        }
        m_store.saveProperties(m_project, properties);
        QDialog::accept();
    });
}

void editProjectProperties(QWidget* parent, ProjectStore& store, int project) {
    TProperties dialog(store, project, parent);
    runModal(&dialog);
}
