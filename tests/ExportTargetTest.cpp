// A document is never written over a database: not over the store under any of its names, not
// over another SQLite or Access file. The tool, the window's «Экспорт» and the print preview's
// «Печать в файл» refuse in words and change nothing.
#include "tests/TestSupport.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"
#include "ui/Modal.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

namespace {

const QStringList kLines = {
    "insert into EXPORT_PODVID (Ключ, Название) values (1, 'Лотки')",
    "insert into EXPORT_TMC (Ключ, Название, Номер, Вид, Подвид, ЕИ) values "
    "(101, 'Лоток 100х50', 'ЛНК-100', 64, 1, 'м.п.')",
    "insert into buy (project, TMC, Pokr, TMC2, price, kol, kolm, izm, vid) values "
    "(0, 101, 2, 1012, 412.5, 6, 6, 'м.п.', -1)",
};

QByteArray hashOf(const QString& path) {
    return QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
}

// The names a user may give the store, and other databases, in the store's folder.
struct Target {
    const char* what;
    QString path;
    const char* said;
};

std::vector<Target> databaseTargets(const TempStore& store) {
    const QString dir = store.dir();
    EXPECT_TRUE(QFile::link(store.path(), dir + "/ссылка.xml"));
    EXPECT_EQ(::link(QFile::encodeName(store.path()).constData(),
                     QFile::encodeName(dir + "/жёсткая.pdf").constData()),
              0);
    createStore(dir + "/другая.xml");
    EXPECT_TRUE(QFile::copy(fixturesDir() + "/catalogue-jet4.mdb", dir + "/access.pdf"));
    const char* store_ = "база программы со всеми проектами";
    return {
        {"relative", "base.mdb", store_},
        {"dotted", "./../" + QDir(dir).dirName() + "/base.mdb", store_},
        {"absolute", store.path(), store_},
        {"symbolic link", dir + "/ссылка.xml", store_},
        {"hard link", dir + "/жёсткая.pdf", store_},
        {"another store", dir + "/другая.xml", "— база данных"},
        {"an Access file", dir + "/access.pdf", "— база данных"},
        {"the journal's name", "base.mdb-journal", "служебный файл базы"},
        {"the write-ahead log's name", dir + "/base.mdb-wal", "служебный файл базы"},
        {"the shared memory's name", "./base.mdb-shm", "служебный файл базы"},
    };
}

}  // namespace

TEST(ExportTarget, TheToolRefusesEveryNameOfADatabase) {
    TempStore store(kLines);
    for (const Target& t : databaseTargets(store)) {
        const QByteArray before = hashOf(t.path);
        for (const char* command : {"export", "pdf"}) {
            const ToolRun run = runTool({command, t.path});
            EXPECT_EQ(run.exitCode, 1) << command << " " << t.what;
            EXPECT_TRUE(run.err.contains(QString::fromUtf8(t.said)) &&
                        run.err.contains("ничего не записано"))
                << command << " " << t.what << ": " << run.err.toStdString();
            EXPECT_EQ(hashOf(t.path), before) << command << " " << t.what;
        }
    }
    EXPECT_EQ(store.scalar("select count(*) from buy"), "1");
    // An ordinary file is still written.
    EXPECT_EQ(runTool({"export", "спецификация.xml"}).exitCode, 0);
    EXPECT_EQ(runTool({"pdf", "спецификация.pdf"}).exitCode, 0);
}

TEST(ExportTarget, TheWindowRefusesItInExportAndInPrintToFile) {
    TempStore store(kLines);
    auto form = openMainWindow();
    const std::vector<Target> targets = databaseTargets(store);
    for (const Target& t : targets) {
        const QByteArray before = hashOf(t.path);
        MessageBox::clearShown();
        FileDialog::setNextFileName(t.path);
        QTest::mouseClick(form->findChild<QPushButton*>("BitBtn5"), Qt::LeftButton);
        ASSERT_EQ(MessageBox::shown().size(), 1) << t.what;
        EXPECT_TRUE(MessageBox::shown().first().contains(QString::fromUtf8(t.said))) << t.what;
        EXPECT_EQ(hashOf(t.path), before) << t.what;
    }

    // The print dialog's file is the store: the preview paints nothing into it.
    const QByteArray before = hashOf(store.path());
    setModalHandler([&](QDialog* dialog) {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(dialog);
        if (!preview)
            return int(QDialog::Rejected);
        preview->printer()->setOutputFormat(QPrinter::PdfFormat);
        preview->printer()->setOutputFileName(store.path());
        dialog->findChild<QPrintPreviewWidget*>()->print();
        return int(QDialog::Accepted);
    });
    MessageBox::clearShown();
    QTest::mouseClick(form->findChild<QPushButton*>("BitBtn10"), Qt::LeftButton);
    setModalHandler(nullptr);
    ASSERT_FALSE(MessageBox::shown().isEmpty());
    EXPECT_TRUE(MessageBox::shown().last().contains("база программы со всеми проектами"));
    EXPECT_EQ(hashOf(store.path()), before);
    EXPECT_EQ(store.scalar("select count(*) from buy"), "1");
}
