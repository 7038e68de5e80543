#include "app/StoreMaker.h"

#include "store/StoreReplacement.h"

#include <signal.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

StoreMaker::StoreMaker(const QString& tool, const QString& folder, QObject* parent)
    : QObject(parent),
      m_tool(tool),
      m_folder(QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath())),
      m_target(QDir(folder).absoluteFilePath(QStringLiteral("base.mdb"))) {
    m_process.setStandardOutputFile(QProcess::nullDevice());
    // A group of its own, so that a tool that does not end on request is stopped together
    // with the Access reader it runs.
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(&m_process, &QProcess::finished, this, &StoreMaker::toolEnded);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            emit finished(
                QStringLiteral("Не запускается программа %1, которая создаёт каталог (%2). "
                               "Установите Улмар заново.")
                    .arg(QDir::toNativeSeparators(m_tool), m_process.errorString()));
    });
}

StoreMaker::~StoreMaker() {
    blockSignals(true);
    cancel();
}

void StoreMaker::makeDemo() {
    start({QStringLiteral("demo-db"), m_folder});
}

void StoreMaker::importAccess(const QString& source) {
    start({QStringLiteral("import-mdb"), source, m_folder});
}

void StoreMaker::start(const QStringList& args) {
    m_cancelled = false;
    // Told before the tool would fail at its first file, in the user's terms.
    if (!QFileInfo(m_folder).isWritable()) {
        emit finished(
            QStringLiteral("В папку %1 нельзя записать: нет прав на запись. Каталог не создан; "
                           "запустите программу в папке, доступной для записи.")
                .arg(m_folder));
        return;
    }
    m_process.start(m_tool, args);
}

void StoreMaker::cancel() {
    if (!isRunning())
        return;
    m_cancelled = true;
    // Interrupted, the tool removes its half-made store and stops its reader first.
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        ::kill(-pid_t(m_process.processId()), SIGKILL);
        m_process.waitForFinished(-1);
    }
}

void StoreMaker::toolEnded(int code, QProcess::ExitStatus status) {
    const bool made = status == QProcess::NormalExit && code == 0 && QFileInfo::exists(m_target);
    if (made) {
        emit finished(QString());
        return;
    }
    // A tool stopped before it could clean up leaves its hidden new file beside the target.
    removeAbandonedStores(m_target);
    const QString unchanged = QStringLiteral("Папка %1 осталась без изменений.").arg(m_folder);
    if (m_cancelled) {
        emit finished(QStringLiteral("Отменено: каталог не создан. ") + unchanged);
        return;
    }
    const QString said = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    if (status == QProcess::CrashExit || said.isEmpty())
        emit finished(QStringLiteral("Программа %1 завершилась аварийно: каталог не создан. ")
                          .arg(QFileInfo(m_tool).fileName()) +
                      unchanged);
    else
        emit finished(said + QLatin1Char('\n') + unchanged);
}

QString companionToolPath() {
    const QDir dir(QCoreApplication::applicationDirPath());
    const QString installed = dir.filePath(QStringLiteral("ulmar-tool"));
    if (QFileInfo::exists(installed))
        return installed;
    return QDir::cleanPath(dir.filePath(QStringLiteral("../tools/ulmar-tool")));
}
