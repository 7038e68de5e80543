#include "tests/TestSupport.h"

#include "store/Database.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "ui/MessageBox.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QProcess>

QString fixturesDir() {
    return QStringLiteral(ULMAR_FIXTURES_DIR);
}

ToolRun runTool(const QStringList& args, const QStringList& environment) {
    QProcess process;
    process.setEnvironment(QProcess::systemEnvironment() + environment);
    process.start(QStringLiteral(ULMAR_TOOL), args);
    process.waitForFinished(-1);
    ToolRun run;
    run.crashed = process.exitStatus() == QProcess::CrashExit;
    run.exitCode = run.crashed ? -1 : process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

std::string describe(const ToolRun& run) {
    return QStringLiteral("exit %1%2\n%3%4")
        .arg(run.exitCode)
        .arg(run.crashed ? QStringLiteral(" (crashed)") : QString())
        .arg(run.out, run.err)
        .toStdString();
}

TempStore::TempStore(const QStringList& statements) : m_previousDir(QDir::currentPath()) {
    {
        QFile file(path());
        file.open(QIODevice::WriteOnly);  // an empty file is an empty SQLite database
    }
    run(schema::createTables() + schema::createIndexes() + statements);
    QDir::setCurrent(m_dir.path());
}

TempStore::~TempStore() {
    QDir::setCurrent(m_previousDir);
}

void TempStore::run(const QStringList& statements) const {
    auto db = Database::open(path());
    for (const QString& sql : statements)
        db->execute(sql);
}

QString TempStore::scalar(const QString& sql) const {
    auto db = Database::open(path());
    Query q(*db, QStringLiteral("scalar"));
    q.setSql(sql);
    q.open();
    return q.recordCount() > 0 ? q.value(0, 0).toText() : QString();
}

std::unique_ptr<TForm1> openMainWindow() {
    auto form = std::make_unique<TForm1>();
    form->createDialogs();
    form->show();
    QApplication::processEvents();
    return form;
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setSilent(true);  // no test waits for a person to close a box
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
