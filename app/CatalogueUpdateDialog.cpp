#include "app/CatalogueUpdateDialog.h"

#include "app/StoreMaker.h"
#include "catalogue/PriceListUpdate.h"
#include "export/ExportTarget.h"
#include "export/Spreadsheet.h"
#include "store/Database.h"
#include "store/StoreError.h"
#include "ui/BusyCursor.h"
#include "ui/FileDialog.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/PriceReportTable.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextDocument>
#include <QVBoxLayout>

CatalogueUpdateDialog::CatalogueUpdateDialog(Database& db, const QString& source,
                                             const QString& tool, QWidget* parent)
    : QDialog(parent),
      report(new PriceReportTable),
      updateButton(new QPushButton(QStringLiteral("Обновить"))),
      saveButton(new QPushButton(QStringLiteral("Сохранить отчёт…"))),
      printButton(new QPushButton(QStringLiteral("Печать…"))),
      cancelButton(new QPushButton(QStringLiteral("Отмена"))),
      m_db(db),
      m_tool(tool),
      m_source(QFileInfo(source).absoluteFilePath()),
      m_doing(new QLabel),
      m_progress(new QProgressBar),
      m_summary(new QLabel),
      m_failure(new QLabel) {
    setWindowTitle(QStringLiteral("Обновление каталога"));
    setObjectName(QStringLiteral("catalogueUpdate"));
    updateButton->setObjectName(QStringLiteral("updateButton"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_doing->setWordWrap(true);
    m_summary->setWordWrap(true);
    m_failure->setWordWrap(true);
    m_failure->setStyleSheet(QStringLiteral("color: #b00000"));
    m_failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // How long a conversion takes is not known in advance: the bar only shows it is going.
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveButton);
    buttons->addWidget(printButton);
    buttons->addStretch(1);
    buttons->addWidget(updateButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_doing);
    layout->addWidget(m_progress);
    layout->addWidget(m_summary);
    layout->addWidget(report, 1);
    layout->addWidget(m_failure);
    layout->addLayout(buttons);
    report->hide();
    m_progress->hide();
    m_failure->hide();
    for (QPushButton* b : {updateButton, saveButton, printButton})
        b->setEnabled(false);
    resize(1200, 600);

    connect(cancelButton, &QPushButton::clicked, this, &CatalogueUpdateDialog::reject);
    connect(updateButton, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { takeList(); }); });
    connect(saveButton, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { saveReport(); }); });
    connect(printButton, &QPushButton::clicked, this, [this] { printReport(); });
}

// The list stays attached to the store until the dialog goes.
CatalogueUpdateDialog::~CatalogueUpdateDialog() = default;

void CatalogueUpdateDialog::start() {
    if (!isJetFile(m_source)) {
        readList(m_source);
        return;
    }
    m_converted.emplace();
    if (!m_converted->isValid()) {
        showFailure(QStringLiteral("Не удалось создать временную папку для преобразования."));
        return;
    }
    m_maker = new StoreMaker(m_tool, m_converted->path(), this);
    connect(m_maker, &StoreMaker::finished, this, &CatalogueUpdateDialog::converted);
    m_doing->setText(
        QStringLiteral("Преобразуется прайс-лист %1…").arg(QDir::toNativeSeparators(m_source)));
    m_progress->show();
    m_maker->importAccess(m_source);
}

void CatalogueUpdateDialog::converted(const QString& failure) {
    m_progress->hide();
    if (!failure.isEmpty()) {
        showFailure(failure.contains(QStringLiteral("Отменено"))
                        ? QStringLiteral("Отменено: каталог не изменён.")
                        : QStringLiteral("Прайс-лист %1 не прочитан: %2\nКаталог не изменён.")
                              .arg(QDir::toNativeSeparators(m_source), failure));
        return;
    }
    readList(m_converted->filePath(QStringLiteral("base.mdb")));
}

void CatalogueUpdateDialog::readList(const QString& store) {
    const BusyCursor busy;  // reading the list against every project takes a moment
    try {
        m_update =
            std::make_unique<PriceListUpdate>(m_db, store, QDir::toNativeSeparators(m_source));
        const std::vector<ProjectLines> projects = m_update->projects();
        report->setReport(priceReportRows(projects), projectTotals(projects));
        m_risk = m_update->risk().text();
        m_doing->setText(
            QStringLiteral("Новый прайс-лист: %1").arg(QDir::toNativeSeparators(m_source)));
        m_summary->setText(m_update->summary().trimmed() +
                           QStringLiteral("\nЦены в проектах не меняются: их обновляет «Обновить "
                                          "цены». Прежний каталог сохранится в базе."));
        if (!m_risk.isEmpty()) {
            m_failure->setText(m_risk + QStringLiteral(" Проверьте, тот ли это файл."));
            m_failure->show();
        }
        report->show();
        for (QPushButton* b : {updateButton, saveButton, printButton})
            b->setEnabled(true);
        updateButton->setDefault(true);
    } catch (const StoreError& e) {
        m_update.reset();
        showFailure(e.message() + QStringLiteral("\nКаталог не изменён."));
    }
}

void CatalogueUpdateDialog::showFailure(const QString& text) {
    m_doing->clear();
    m_failure->setText(text);
    m_failure->show();
    cancelButton->setText(QStringLiteral("Закрыть"));
}

QString CatalogueUpdateDialog::failure() const {
    return m_failure->isHidden() ? QString() : m_failure->text();
}

void CatalogueUpdateDialog::reject() {
    if (m_maker && m_maker->isRunning()) {
        m_maker->cancel();
        return;
    }
    QDialog::reject();
}

void CatalogueUpdateDialog::takeList() {
    if (!m_update)
        return;
    if (!m_risk.isEmpty() &&
        !MessageBox::question(this, m_risk + QStringLiteral("\nВсё равно заменить каталог этим "
                                                            "прайс-листом?")))
        return;
    {
        const BusyCursor busy;
        Database::Transaction transaction(m_db);
        m_update->apply({QFileInfo(m_source).fileName(), catalogueArchive::now()});
        transaction.commit();
    }
    m_update.reset();
    accept();
}

void CatalogueUpdateDialog::saveReport() {
    const QString path = FileDialog::getSaveFileName(
        this, QFileInfo(m_source).completeBaseName() + QStringLiteral("-отчёт.xml"),
        QStringLiteral("Таблица XML (*.xml)"), QStringLiteral("xml"));
    if (path.isEmpty())
        return;
    const QString refusal = databaseTargetRefusal(path, m_db.path());
    if (!refusal.isEmpty())
        throw StoreError(refusal);
    const QString failed = saveSpreadsheet(
        path, priceReportSpreadsheet(QStringLiteral("Новый прайс-лист: %1").arg(m_source),
                                     report->shownRows(), report->shownTotals()));
    if (!failed.isEmpty())
        throw StoreError(failed);
}

void CatalogueUpdateDialog::printReport() {
    const auto escaped = [](const QString& text) { return text.toHtmlEscaped(); };
    const auto number = [](Fixed4 value) {
        return value.toString().replace(QLatin1Char('.'), QLocale().decimalPoint());
    };
    QString html = QStringLiteral(
                       "<h3>Новый прайс-лист: %1</h3><table width=100% border=1 cellspacing=0 "
                       "cellpadding=2><tr><th>Проект</th><th>Артикул</th>"
                       "<th>Наименование</th><th>Кол-во</th><th>Ед.</th><th>Цена "
                       "было</th><th>Цена стало</th><th>Сумма было</th><th>Сумма "
                       "стало</th><th>Причина</th></tr>")
                       .arg(escaped(m_source));
    for (const PriceReportRow& row : report->shownRows())
        html += QStringLiteral(
                    "<tr><td>%1</td><td>%2</td><td>%3</td><td align=right>%4</td>"
                    "<td>%5</td><td align=right>%6</td><td align=right>%7</td>"
                    "<td align=right>%8</td><td align=right>%9</td><td>%10</td></tr>")
                    .arg(escaped(row.projectTitle), escaped(row.article), escaped(row.name),
                         number(row.kol), escaped(row.unit), number(row.oldPrice),
                         number(row.newPrice), number(row.oldSum), number(row.newSum))
                    .arg(escaped(row.reason));
    html += QStringLiteral("</table><p>");
    for (const ProjectTotal& total : report->shownTotals())
        html += QStringLiteral("%1: итого %2 → %3<br>")
                    .arg(escaped(total.title), number(total.before), number(total.after));
    QTextDocument document;
    document.setHtml(html + QStringLiteral("</p>"));
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* p) { document.print(p); });
    preview.exec();
}
