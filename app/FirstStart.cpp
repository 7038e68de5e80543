#include "app/FirstStart.h"

#include "app/StoreMaker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

FirstStartDialog::FirstStartDialog(const QString& folder, const QString& tool, QWidget* parent)
    : QDialog(parent),
      m_maker(new StoreMaker(tool, folder, this)),
      m_demo(new QPushButton(QStringLiteral("Создать демонстрационный каталог"))),
      m_import(new QPushButton(QStringLiteral("Взять каталог производителя (Access .mdb)…"))),
      m_exit(new QPushButton(QStringLiteral("Выход"))),
      m_doing(new QLabel),
      m_progress(new QProgressBar),
      m_cancel(new QPushButton(QStringLiteral("Отмена"))),
      m_failure(new QLabel) {
    setWindowTitle(QStringLiteral("Улмар"));
    auto* intro = new QLabel(
        QStringLiteral("В папке %1 ещё нет базы base.mdb, в которой программа хранит каталог "
                       "товаров и проекты. Создайте её:")
            .arg(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath())));
    intro->setWordWrap(true);
    m_doing->setWordWrap(true);
    m_failure->setWordWrap(true);
    m_failure->setStyleSheet(QStringLiteral("color: #b00000"));
    m_failure->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // How long a conversion takes is not known in advance: the bar only shows it is going.
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_demo);
    layout->addWidget(m_import);
    layout->addWidget(m_doing);
    layout->addWidget(m_progress);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    layout->addWidget(m_failure);
    layout->addStretch();
    layout->addWidget(m_exit, 0, Qt::AlignRight);
    setRunning(false);
    m_failure->hide();
    m_demo->setDefault(true);
    resize(460, 240);

    connect(m_demo, &QPushButton::clicked, this, [this] {
        begin(QStringLiteral("Создаётся демонстрационный каталог…"));
        m_maker->makeDemo();
    });
    connect(m_import, &QPushButton::clicked, this, [this] {
        const QString source = QFileDialog::getOpenFileName(
            this, QStringLiteral("Каталог производителя"), QDir::homePath(),
            QStringLiteral("Каталоги Access (*.mdb *.MDB);;Все файлы (*)"));
        if (!source.isEmpty())
            importCatalogue(source);
    });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cancel, &QPushButton::clicked, m_maker, &StoreMaker::cancel);
    connect(m_maker, &StoreMaker::finished, this, &FirstStartDialog::runEnded);
}

void FirstStartDialog::importCatalogue(const QString& source) {
    begin(QStringLiteral("Преобразуется каталог %1…")
              .arg(QDir::toNativeSeparators(QFileInfo(source).absoluteFilePath())));
    m_maker->importAccess(source);
}

QString FirstStartDialog::failure() const {
    return m_failure->isHidden() ? QString() : m_failure->text();
}

void FirstStartDialog::reject() {
    if (m_maker->isRunning())
        m_maker->cancel();
    else
        QDialog::reject();
}

void FirstStartDialog::begin(const QString& doing) {
    m_doing->setText(doing);
    m_failure->hide();
    setRunning(true);
}

void FirstStartDialog::setRunning(bool running) {
    for (QWidget* w : {m_demo, m_import, m_exit})
        w->setEnabled(!running);
    for (QWidget* w : std::initializer_list<QWidget*>{m_doing, m_progress, m_cancel})
        w->setVisible(running);
}

void FirstStartDialog::runEnded(const QString& failure) {
    if (failure.isEmpty()) {
        accept();
        return;
    }
    setRunning(false);
    m_failure->setText(failure);
    m_failure->show();
}

bool ensureStore(const QString& path) {
    const QFileInfo store(path);
    // A file that is there, even a broken link, is opened (or refused) as it is.
    if (store.exists() || store.isSymLink())
        return true;
    FirstStartDialog dialog(store.absolutePath(), companionToolPath());
    return dialog.exec() == QDialog::Accepted;
}
