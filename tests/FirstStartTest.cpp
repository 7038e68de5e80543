// The first start: a folder without a store, the window that makes one through ulmar-tool,
// and a run that fails or is cancelled leaving the folder as it was.
#include "app/FirstStart.h"
#include "store/Database.h"
#include "store/TableCheck.h"
#include "tests/TestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QPushButton* button(QWidget* window, const QString& text) {
    for (QPushButton* b : window->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// Everything in the folder, hidden files (a half-made store) included.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                               QDir::NoDotAndDotDot);
}

const QString demoButton = QStringLiteral("Создать демонстрационный каталог");

TEST(FirstStart, DemoButtonMakesAStoreTheWindowOpens) {
    QTemporaryDir dir;
    FirstStartDialog dialog(dir.path(), QStringLiteral(ULMAR_TOOL));
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(button(&dialog, demoButton), Qt::LeftButton);
    ASSERT_TRUE(accepted.wait(60000)) << dialog.failure().toStdString();
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("base.mdb")});
    auto db = Database::open(dir.filePath(QStringLiteral("base.mdb")));
    EXPECT_NO_THROW(requireProgramTables(*db, QStringLiteral("base.mdb")));
}

// Cancelled by «Отмена» or by Esc while the half-made store is being written: the window stays,
// says so, and the folder is empty again.
TEST(FirstStart, CancelledRunLeavesTheFolderEmpty) {
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Esc" : "Отмена");
        QTemporaryDir dir;
        FirstStartDialog dialog(dir.path(), QStringLiteral(ULMAR_TOOL));
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QTest::mouseClick(button(&dialog, demoButton), Qt::LeftButton);
        // The tool's new file appears at once and lives while the catalogue is written.
        QDeadlineTimer deadline(30000);
        while (entries(dir.path()).isEmpty() && !deadline.hasExpired())
            QThread::msleep(1);
        ASSERT_FALSE(entries(dir.path()).isEmpty());
        for (const QString& file : entries(dir.path()))
            ASSERT_TRUE(file.startsWith(QLatin1String(".base.mdb.demo-"))) << file.toStdString();
        if (byEscape)
            dialog.reject();
        else
            QTest::mouseClick(button(&dialog, QStringLiteral("Отмена")), Qt::LeftButton);
        EXPECT_EQ(entries(dir.path()), QStringList());
        EXPECT_TRUE(dialog.failure().startsWith(QStringLiteral("Отменено: каталог не создан.")))
            << dialog.failure().toStdString();
        EXPECT_EQ(rejected.count(), 0);
        EXPECT_TRUE(button(&dialog, demoButton)->isEnabled());
    }
}

// What can go wrong before a store is made, in the window's words, and nothing left behind.
TEST(FirstStart, FailureIsToldAndNothingIsLeft) {
    QTemporaryDir sources;
    const QString text = sources.filePath(QStringLiteral("прайс.mdb"));
    writeFile(text, "Артикул;Цена\n");
    struct Case {
        const char* what;
        QString tool;
        QString source;
        const char* says;
    } cases[] = {
        {"a file that is no Access catalogue", QStringLiteral(ULMAR_TOOL), text,
         "— не база Microsoft Access (Jet)."},
        {"a missing file", QStringLiteral(ULMAR_TOOL), sources.filePath(QStringLiteral("нет.mdb")),
         "Не найден файл"},
        {"the tool missing", sources.filePath(QStringLiteral("ulmar-tool")), text,
         "Не запускается программа"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        FirstStartDialog dialog(dir.path(), c.tool);
        QSignalSpy accepted(&dialog, &QDialog::accepted);
        dialog.importCatalogue(c.source);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.failure().isEmpty(), 30000);
        EXPECT_TRUE(dialog.failure().contains(QString::fromUtf8(c.says)))
            << dialog.failure().toStdString();
        EXPECT_EQ(accepted.count(), 0);
        EXPECT_EQ(entries(dir.path()), QStringList());
    }
}

TEST(FirstStart, FolderWithoutWriteAccessIsTold) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into any folder";
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    FirstStartDialog dialog(dir.path(), QStringLiteral(ULMAR_TOOL));
    QTest::mouseClick(button(&dialog, demoButton), Qt::LeftButton);
    EXPECT_TRUE(dialog.failure().contains(QStringLiteral("нельзя записать")))
        << dialog.failure().toStdString();
    EXPECT_EQ(entries(dir.path()), QStringList());
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
