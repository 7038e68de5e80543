#include "projects/gui/RequoteDialog.h"

#include "store/StoreError.h"
#include "ui/Guard.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString shown(Fixed4 value) {
    return value.toString().replace(QLatin1Char('.'), QLocale().decimalPoint());
}

QString signedShown(Fixed4 value) {
    return (value > Fixed4() ? QStringLiteral("+") : QString()) + shown(value);
}

}  // namespace

RequoteDialog::RequoteDialog(Database& db, int openProject, OpenRequote requoteOpen,
                             QWidget* parent)
    : QDialog(parent),
      table(new QTableWidget),
      requoteButton(new QPushButton(QStringLiteral("Обновить цены"))),
      outcome(new QLabel),
      m_db(db),
      m_q(db, QStringLiteral("requote")),
      m_openProject(openProject),
      m_requoteOpen(std::move(requoteOpen)) {
    setWindowTitle(QStringLiteral("Цены проектов"));
    setObjectName(QStringLiteral("requote"));
    table->setObjectName(QStringLiteral("requoteTable"));
    requoteButton->setObjectName(QStringLiteral("requoteButton"));
    table->setColumnCount(5);
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Проект"), QStringLiteral("Строк с другой ценой"),
         QStringLiteral("Итого → по каталогу"), QStringLiteral("Разница"),
         QStringLiteral("Цены из прайс-листа")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    outcome->setObjectName(QStringLiteral("requoteOutcome"));
    outcome->setWordWrap(true);
    outcome->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* hint = new QLabel(QStringLiteral(
        "Отмечены (●) проекты, в которых цены строк расходятся с каталогом. Выберите один или "
        "несколько (Ctrl, Shift) и нажмите «Обновить цены»."));
    hint->setWordWrap(true);
    auto* close = new QPushButton(QStringLiteral("Закрыть"));
    close->setObjectName(QStringLiteral("closeButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(requoteButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(table, 1);
    layout->addWidget(outcome);
    layout->addLayout(buttons);
    resize(820, 440);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(requoteButton, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { requoteChosen(); }); });
}

void RequoteDialog::reload() {
    std::vector<std::pair<int, QString>> projects = {{0, QString()}};
    m_q.open(QStringLiteral("select Ключ, Название from project order by Название, Ключ"));
    for (int row = 0; row < m_q.recordCount(); ++row)
        projects.emplace_back(int(m_q.value(row, 0).toInt()), m_q.value(row, 1).toText());
    m_q.close();
    std::map<int, PriceDrift> drift = priceDrift(m_q);
    table->setRowCount(int(projects.size()));
    for (int r = 0; r < int(projects.size()); ++r) {
        const auto& [key, name] = projects[std::size_t(r)];
        const auto found = drift.find(key);
        const bool differs = found != drift.end();
        const catalogueArchive::Origin origin = projectPriceOrigin(m_q, key);
        QString title = repriceTitle(key, name);
        if (key == m_openProject)
            title += QStringLiteral(" — открыт");
        const QStringList cells = {
            (differs ? QStringLiteral("● ") : QStringLiteral("   ")) + title,
            differs ? QString::number(found->second.lines) : QString(),
            differs
                ? shown(found->second.before) + QStringLiteral(" → ") + shown(found->second.after)
                : QString(),
            differs ? signedShown(found->second.after - found->second.before) : QString(),
            origin.source.isEmpty() && origin.taken.isEmpty()
                ? QStringLiteral("—")
                : catalogueArchive::originText(origin)};
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            item->setData(Qt::UserRole, key);
            if (c >= 1 && c <= 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (differs && c == 0)
                item->setForeground(QColor(0xb0, 0, 0));
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
}

void RequoteDialog::choose(const std::vector<int>& projects) {
    table->clearSelection();
    for (int r = 0; r < table->rowCount(); ++r)
        for (int key : projects)
            if (table->item(r, 0)->data(Qt::UserRole).toInt() == key)
                table->selectionModel()->select(
                    table->model()->index(r, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void RequoteDialog::requoteChosen() {
    std::vector<std::pair<int, QString>> chosen;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
        const int key = table->item(index.row(), 0)->data(Qt::UserRole).toInt();
        QString name;
        m_q.open(QStringLiteral("select Название from project where Ключ = %1").arg(key));
        if (m_q.recordCount() > 0)
            name = m_q.value(0, 0).toText();
        m_q.close();
        chosen.emplace_back(key, name);
    }
    if (chosen.empty())
        return;
    QStringList lines;
    for (const auto& [key, name] : chosen) {
        // One project at a time: a failure leaves it as it was and the others as done.
        try {
            RequoteOutcome done;
            if (key == m_openProject) {
                done.title = repriceTitle(key, name);
                done.totals = m_requoteOpen();
            } else {
                done = requoteProject(m_db, m_q, key, name);
            }
            if (!done.refusal.isEmpty())
                lines << QStringLiteral("%1: не обновлён — %2.").arg(done.title, done.refusal);
            else
                lines << QStringLiteral("%1: итого %2 → %3%4")
                             .arg(done.title, shown(done.totals.before), shown(done.totals.after),
                                  key == m_openProject && key != 0
                                      ? QStringLiteral(" (открыт в окне: «Нет» на вопрос о "
                                                       "сохранении вернёт прежние цены)")
                                      : QString());
        } catch (const StoreError& e) {
            lines
                << QStringLiteral("%1: не обновлён — %2").arg(repriceTitle(key, name), e.message());
        }
    }
    outcome->setText(lines.join(QLatin1Char('\n')));
    reload();
}
